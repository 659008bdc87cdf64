// How fast the floating panels come up in the real mendo under Xvfb: from
// tapping the hotkey (through XTest from this process, as a keyboard sends
// it) until the panel's window is mapped, for the first show, which builds
// the panel, and for later shows (median of 20), with a Qt field in front:
//  - Alt+Q, the quick panel (goals: under 50 ms, later under 20 ms);
//  - Alt+I, the assistant, over the field's text selected (its context);
//  - Alt+R, the translation preview, over the field's text selected: it
//    shows once the selection is read. Without a selection it shows as well,
//    with "No selected text." after a copy was tried: that case is timed too;
//  - Alt+V, the clipboard window.
// The panel hotkeys read the selection only once the chord is let go, so a
// tap is timed; a key held longer adds its time. Goal for the later shows of
// the last three: under 50 ms. Each panel is put away between shows as a user
// does: Alt+Q and Alt+V again, the window manager's close button for the
// assistant and the translation preview, which take the focus.
// Run inside the test session: scripts/with-session.sh build/bench/bench_quick_panel

#include "MendoFromOutside.h"
#include "e2e/MendoSession.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

using namespace mendo;
using namespace mendo::bench;
using namespace mendo::e2e;

namespace {

constexpr int kLaterShows = 20;

struct Row {
    const PanelHotkey& panel;
    // The field's text is selected before the hotkey, else the caret is put
    // at its end.
    bool selected;
    const char* name;
    // The panel was built by an earlier row: its first show is a later one.
    bool builtBefore;
};

const Row kRows[] = {
    { quickPanel, false, quickPanel.name, false },
    { assistant, true, assistant.name, false },
    { translationPreview, true, translationPreview.name, false },
    { translationPreview, false, "Alt+R without a selection", true },
    { clipboardWindow, false, clipboardWindow.name, false },
};

bool fail(const Row& row, const char* what)
{
    std::fprintf(stderr, "%s: %s\n", row.name, what);
    return false;
}

// The field in front, its text selected or not, and the focus and the
// selection known to mendo's accessibility listener.
bool prepare(MendoSession& session, testing::OtherApp& field, const Row& row)
{
    if (!session.bringToFront(field))
        return fail(row, "the field never came to front");
    MendoSession::press(row.selected ? QStringLiteral("ctrl+a") : QStringLiteral("End"));
    QTest::qWait(200);
    return true;
}

// The panel's first and later shows.
bool measure(MendoSession& session, testing::OtherApp& field, Display* display, const Row& row, qint64* first,
    QList<qint64>* later)
{
    Window window = 0;
    if (!prepare(session, field, row))
        return false;
    if ((*first = showPanel(display, row.panel, &window)) < 0) {
        std::fprintf(stderr, "mendo shows: %s\n%s\n",
            qPrintable(session.visibleWindowTitles().join(QStringLiteral(", "))), session.mendoOutput().constData());
        return fail(row, "never showed");
    }
    for (int i = 0; i < kLaterShows; ++i) {
        QTest::qWait(200);
        if (!hidePanel(display, row.panel, window))
            return fail(row, "never hid");
        QTest::qWait(200);
        if (!prepare(session, field, row))
            return false;
        const qint64 shown = showPanel(display, row.panel, &window);
        if (shown < 0)
            return fail(row, "never showed again");
        later->append(shown);
    }
    QTest::qWait(200);
    return hidePanel(display, row.panel, window) || fail(row, "never hid");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QJsonObject translation = serviceAnswer(200, { { QStringLiteral("result"), QStringLiteral("some text") } });
    translation.insert(QStringLiteral("repeat"), true);
    MendoSession session({ .answers = { translation }, .serviceDown = false, .defaults = {} });
    if (!session.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(session.failure()));
        return 1;
    }
    auto field = session.startInFront(
        QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--text"), QStringLiteral("ein Text") });
    Display* display = XOpenDisplay(nullptr);
    if (!field || !display) {
        std::fprintf(stderr, "no target app or no X display\n");
        return 1;
    }
    std::printf("hotkey tapped until the panel's window is mapped (ms):\n");
    for (const Row& row : kRows) {
        qint64 first = -1;
        QList<qint64> later;
        if (!measure(session, *field, display, row, &first, &later))
            return 1;
        std::sort(later.begin(), later.end());
        std::printf("  %-34s first show %s%4lld, later shows median %3lld, worst %3lld\n", row.name,
            row.builtBefore ? "(built before) " : "", first, median(later), later.last());
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
