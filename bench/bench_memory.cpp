// What the real mendo keeps resident under Xvfb once everything has been
// shown, and whether that grows over a long day's use:
//  - memory: mendo starts over a full clipboard history (1000 entries of
//    about 1 KB in its history file, the limit set to 1000); each page of the
//    settings window is selected in the sidebar with the pointer (the row
//    found through the accessibility bus, the page's title waited for), then
//    each floating panel is opened by its hotkey over a Qt field and put away
//    again. Then its resident set (goal: at most 80 MB).
//  - with --soak-minutes=N (ten for the figure): another client copies a new
//    text of about 1 KB every second (xclip owning the CLIPBOARD), and every
//    ten seconds the professional style's hotkey is held over the field's
//    selected text, the mock service answering; the resident set is printed
//    every minute (goal: it grows by at most 2 MB between the first minute
//    and the last). A copy due while a rewrite runs waits until the rewrite
//    has given the clipboard back (its own copy would read the other
//    client's text instead of the selection): 42 copies and 6 rewrites a
//    minute.
// Run inside the test session: scripts/with-session.sh build/bench/bench_memory [--soak-minutes=10]

#include "BenchTexts.h"
#include "MendoFromOutside.h"
#include "base/Text.h"
#include "clipboard/ClipboardHistoryService.h"
#include "e2e/MendoSession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

using namespace mendo;
using namespace mendo::bench;
using namespace mendo::e2e;

namespace {

constexpr int kHistoryEntries = 1000;
constexpr int kEntryChars = 1000;
constexpr int kTimeoutMs = 20000;
constexpr int kActionEverySeconds = 10;

// In the order of the sidebar.
const QStringList kPages { QStringLiteral("General"), QStringLiteral("Actions"), QStringLiteral("Styles"),
    QStringLiteral("AI Reply"), QStringLiteral("Quick Menu"), QStringLiteral("Clipboard"), QStringLiteral("Layout"),
    QStringLiteral("Permissions"), QStringLiteral("Shortcuts"), QStringLiteral("Updates") };

QByteArray fullHistory()
{
    QList<ClipboardHistoryItem> items;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < kHistoryEntries; ++i) {
        const QString text = copiedText(i, kEntryChars);
        items.append({ QStringLiteral("entry-%1").arg(i), text, now.addSecs(-i), text::graphemeCount(text) });
    }
    return ClipboardHistoryService::encode(items);
}

void printMemory(const char* when, qint64 pid)
{
    std::printf("%s: resident %.1f MB (anonymous %.1f, file %.1f, shared memory %.1f)\n", when,
        statusKb(pid, "VmRSS") / 1024.0, statusKb(pid, "RssAnon") / 1024.0, statusKb(pid, "RssFile") / 1024.0,
        statusKb(pid, "RssShmem") / 1024.0);
    std::fflush(stdout);
}

// Selects each page in the sidebar and waits until the page's title shows in
// place of the one before.
bool showEveryPage(const MendoSession& session)
{
    QString previous;
    for (const QString& page : kPages) {
        if (!clickAccessible(session.mendoPid(), page, ATSPI_ROLE_PUSH_BUTTON)) {
            std::fprintf(stderr, "no sidebar row %s\n", qPrintable(page));
            return false;
        }
        const bool shown = QTest::qWaitFor(
            [&] {
                return !accessibleRect(session.mendoPid(), page, ATSPI_ROLE_LABEL).isEmpty()
                    && (previous.isEmpty() || accessibleRect(session.mendoPid(), previous, ATSPI_ROLE_LABEL).isEmpty());
            },
            kTimeoutMs);
        if (!shown) {
            std::fprintf(stderr, "the %s page never showed\n", qPrintable(page));
            return false;
        }
        previous = page;
        // Drawn, and its lazily made parts made.
        QTest::qWait(500);
        if (page == QLatin1String("Clipboard")
            && !accessibleRect(session.mendoPid(), QStringLiteral("Clipboard history is empty."), ATSPI_ROLE_LABEL)
                    .isEmpty()) {
            std::fprintf(stderr, "mendo did not read the history\n");
            return false;
        }
    }
    return true;
}

// Each panel opened by its hotkey over the field's selected text, left up
// for a moment (the translation arrives meanwhile) and put away.
bool showEveryPanel(MendoSession& session, testing::OtherApp& field, Display* display)
{
    for (const PanelHotkey* panel : { &quickPanel, &assistant, &translationPreview, &clipboardWindow }) {
        if (!session.bringToFront(field)) {
            std::fprintf(stderr, "the field never came to front\n");
            return false;
        }
        MendoSession::press(QStringLiteral("ctrl+a"));
        QTest::qWait(200);
        Window window = 0;
        const qint64 shown = showPanel(display, *panel, &window);
        if (shown < 0) {
            std::fprintf(stderr, "%s: never showed; mendo shows %s, said:\n%s\n", panel->name,
                qPrintable(session.visibleWindowTitles().join(QStringLiteral(", "))),
                session.mendoOutput().constData());
            return false;
        }
        // The first show over the full history, as bench_quick_panel times it.
        std::printf("  %s: first show %lld ms\n", panel->name, shown);
        QTest::qWait(1000);
        if (!hidePanel(display, *panel, window)) {
            std::fprintf(stderr, "%s: never hid\n", panel->name);
            return false;
        }
    }
    return true;
}

// Another client's copies: xclip owning the CLIPBOARD with a new text each
// time, until the next one takes it.
class Copier {
public:
    // Copies the text and waits until its owner holds the CLIPBOARD.
    bool copy(const QString& text)
    {
        QFile file(m_dir.filePath(QStringLiteral("copy.txt")));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return false;
        file.close();
        const int before = m_changes.count();
        auto next = std::make_unique<testing::OtherApp>(QStringLiteral("xclip"),
            QStringList { QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-quiet"),
                QStringLiteral("-i"), file.fileName() });
        if (!QTest::qWaitFor([&] { return m_changes.count() > before; }, kTimeoutMs))
            return false;
        // The one before lost the CLIPBOARD and ended; its end is collected.
        m_owner = std::move(next);
        m_last = text;
        return true;
    }
    QString last() const { return m_last; }

private:
    QTemporaryDir m_dir;
    ClipboardOwnerChanges m_changes;
    std::unique_ptr<testing::OtherApp> m_owner;
    QString m_last;
};

// The professional style's hotkey held over the field's selected text; true
// once the answer replaced it and the clipboard holds the user's copy
// `clipboard` again.
bool rewrite(MendoSession& session, testing::OtherApp& field, const QString& clipboard)
{
    if (!session.bringToFront(field))
        return false;
    const QString before = field.reportedText();
    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::hold(QStringLiteral("alt+4"));
    if (!QTest::qWaitFor(
            [&] {
                const QString now = field.reportedText();
                return now != before && now.startsWith(QLatin1String("Answer number"));
            },
            kTimeoutMs))
        return false;
    if (clipboard.isEmpty()) {
        // Nothing was copied yet: the restore follows the paste's pause.
        QTest::qWait(1800);
        return true;
    }
    const QString type = QStringLiteral("UTF8_STRING");
    return QTest::qWaitFor(
        [&] { return MendoSession::clipboard({ type }).formats.value(0).second == clipboard.toUtf8(); }, kTimeoutMs);
}

bool soak(MendoSession& session, testing::OtherApp& field, int minutes)
{
    Copier copier;
    const qint64 pid = session.mendoPid();
    QList<qint64> perMinute;
    const ProcessSample start = ProcessSample::of(pid);
    QElapsedTimer clock;
    clock.start();
    int copies = 0;
    int actions = 0;
    int failedActions = 0;
    qint64 nextAction = 0;
    std::printf(
        "soak: a copy every second, a rewrite every %d seconds, for %d minutes\n", kActionEverySeconds, minutes);
    std::fflush(stdout);
    for (int minute = 1; minute <= minutes; ++minute) {
        const qint64 end = qint64(minute) * 60000;
        while (clock.elapsed() < end) {
            if (clock.elapsed() >= nextAction) {
                nextAction += kActionEverySeconds * 1000;
                ++actions;
                if (!rewrite(session, field, copier.last())) {
                    ++failedActions;
                    std::fprintf(stderr,
                        "minute %d: a rewrite's answer never arrived, or the clipboard was not given back\n", minute);
                }
            } else {
                if (!copier.copy(copiedText(100000 + copies, kEntryChars))) {
                    std::fprintf(stderr, "minute %d: a copy never owned the clipboard\n", minute);
                    return false;
                }
                ++copies;
            }
            // Until the next whole second.
            QTest::qWait(int(1000 - clock.elapsed() % 1000));
        }
        perMinute.append(statusKb(pid, "VmRSS"));
        std::printf("  minute %2d: resident %.1f MB (anonymous %.1f MB), %d copies and %d rewrites so far\n", minute,
            perMinute.last() / 1024.0, statusKb(pid, "RssAnon") / 1024.0, copies, actions);
        std::fflush(stdout);
    }
    const ProcessSample finish = ProcessSample::of(pid);
    // The last copy reached the history, which stayed full.
    QTest::qWait(1000);
    const QStringList history = session.storedHistory();
    const bool recorded = !history.isEmpty() && history.first() == copier.last().trimmed();
    std::printf("soak: %d copies, %d rewrites (%d without an answer); the history holds %lld entries, the last copy "
                "%s; CPU %.1f %% of one core\n",
        copies, actions, failedActions, qint64(history.size()), recorded ? "first" : "NOT RECORDED",
        100.0 * double(finish.cpuTicks - start.cpuTicks) / double(sysconf(_SC_CLK_TCK))
            / (double(clock.elapsed()) / 1000.0));
    std::printf("soak: resident %.1f MB after the first minute, %.1f MB after the last: %+.1f MB (goal: at most "
                "+2 MB)\n",
        perMinute.first() / 1024.0, perMinute.last() / 1024.0, (perMinute.last() - perMinute.first()) / 1024.0);
    return recorded && failedActions == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int minutes = app.arguments().filter(QStringLiteral("--soak-minutes=")).value(0).mid(15).toInt();

    // One answer for the translation preview, one per rewrite of the soak.
    QJsonArray answers;
    for (int i = 0; i < 2 + minutes * 60 / kActionEverySeconds + 10; ++i)
        answers.append(
            serviceAnswer(200, { { QStringLiteral("result"), QStringLiteral("Answer number %1.").arg(i) } }));
    MendoSession session({ .answers = answers,
        .serviceDown = false,
        .defaults = { { QStringLiteral("mendo.clipboardLimit"), kHistoryEntries } },
        .traceStartup = false,
        .clipboardHistory = fullHistory() });
    if (!session.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(session.failure()));
        return 1;
    }
    const qint64 pid = session.mendoPid();
    // For a tool to attach to (heaptrack -p).
    std::printf("mendo runs as process %lld\n", pid);
    QTest::qWait(2000);
    printMemory("started over the full history, the settings window's General page shown", pid);

    if (!showEveryPage(session))
        return 1;
    QTest::qWait(2000);
    printMemory("every settings page shown", pid);

    auto field = session.startInFront(
        QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--text"), QStringLiteral("hey can u send teh report") });
    Display* display = XOpenDisplay(nullptr);
    if (!field || !display) {
        std::fprintf(stderr, "no target app or no X display\n");
        return 1;
    }
    if (!showEveryPanel(session, *field, display))
        return 1;
    XCloseDisplay(display);
    QTest::qWait(2000);
    printMemory("and every panel shown (goal: at most 80 MB)", pid);

    if (minutes > 0 && !soak(session, *field, minutes))
        return 1;
    return 0;
}
