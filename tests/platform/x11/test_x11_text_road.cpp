// The main road against real applications: PasteboardService and
// FocusService over the X11 clipboard, XTest keystrokes and the EWMH
// workspace, reading a selection out of a Qt and a GTK field and pasting the
// result back, with the user's clipboard given back byte for byte.

#include "support/X11TestApps.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "engine/PasteboardServiceError.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/XkbInputSources.h"

#include <QTemporaryDir>

using namespace mendo;
using namespace mendo::testing;

Q_DECLARE_METATYPE(mendo::PasteboardTiming)

namespace {

// Everything the service needs, real where the desktop is concerned.
struct Road {
    RealClock clock;
    x11::X11Connection connection;
    X11Pasteboard pasteboard{connection};
    X11KeyboardEvents keyboard;
    ApplicationIdResolver resolver{QStringList{}};
    X11Workspace workspace{connection, resolver};
    FocusService focus{workspace};
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focusedText;
    PasteboardService service{clock, pasteboard, keyboard, focus, history, focusedText};
};

// The standard preset's waits are there for slow applications; the paste's
// restore delay must still leave the target time to fetch the text.
const PasteboardTiming kTimings[] = {PasteboardTiming::standard(), PasteboardTiming::quick()};

}  // namespace

class TestX11TextRoad : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void readsAndPastesInAQtField_data();
    void readsAndPastesInAQtField();
    void readsAndPastesInAGtkField();
    void aHeldAltDoesNotBreakTheCopy();
    void copiesWhileTheRussianLayoutIsActive();
    void terminalIsNeverInterrupted();
    void aSlowTargetGetsTheResult();
    void aRefilledClipboardIsNoSelection();

private:
    // Puts text plus a password manager's hint and an image on the
    // clipboard, owned by another process, as a user's copy would.
    std::unique_ptr<OtherApp> userCopies();
    void verifyUsersClipboardIsBack();
    std::unique_ptr<OtherApp> startFront(Road& road, std::unique_ptr<OtherApp> app);

    QTemporaryDir m_dir;
    const QList<QPair<QString, QByteArray>> m_usersClipboard{
        {QStringLiteral("text/plain"), QByteArray("my password \xc3\xa9")},
        {QStringLiteral("x-kde-passwordManagerHint"), QByteArray("secret")},
        {QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\xff", 11)},
    };
};

void TestX11TextRoad::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
}

std::unique_ptr<OtherApp> TestX11TextRoad::userCopies()
{
    return offerClipboard(m_dir.path(), m_usersClipboard);
}

void TestX11TextRoad::verifyUsersClipboardIsBack()
{
    const QByteArray targets = runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "TARGETS"});
    for (const auto& [type, bytes] : m_usersClipboard) {
        QVERIFY2(targets.contains(type.toUtf8()), targets.constData());
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", type}), bytes);
    }
}

std::unique_ptr<OtherApp> TestX11TextRoad::startFront(Road& road, std::unique_ptr<OtherApp> app)
{
    if (!waitUntilFrontmost(road.workspace, app->pid()))
        return nullptr;
    // The focus memory learns of it from the activation notice.
    QDeadlineTimer deadline(5000);
    while (road.focus.rememberedProcessIdentifier() != app->pid() && !deadline.hasExpired())
        QTest::qWait(10);
    return app;
}

void TestX11TextRoad::readsAndPastesInAQtField_data()
{
    QTest::addColumn<PasteboardTiming>("timing");
    QTest::newRow("standard") << kTimings[0];
    QTest::newRow("quick") << kTimings[1];
}

void TestX11TextRoad::readsAndPastesInAQtField()
{
    QFETCH(PasteboardTiming, timing);
    Road road;
    auto clipboard = userCopies();
    QVERIFY(clipboard);
    auto target = startFront(road, startTargetApp(QStringLiteral("  teh quick brown fox ")));
    QVERIFY(target);

    const QString selected = QCoro::waitFor(road.service.readSelectedTextTransient(true, false, timing));
    QCOMPARE(selected, QStringLiteral("  teh quick brown fox "));
    verifyUsersClipboardIsBack();

    // The whole field is still selected: the result replaces it.
    QCoro::waitFor(road.service.pasteTransient(QStringLiteral("The quick brown fox."), std::nullopt, timing));
    QTRY_COMPARE(target->reportedText(), QStringLiteral("The quick brown fox."));
    verifyUsersClipboardIsBack();
}

void TestX11TextRoad::readsAndPastesInAGtkField()
{
    Road road;
    auto clipboard = userCopies();
    QVERIFY(clipboard);
    auto zenity = startFront(road, std::make_unique<OtherApp>(QStringLiteral("zenity"),
                                                              QStringList{"--entry", "--entry-text=gtk wrods"}));
    QVERIFY(zenity);

    const PasteboardTiming timing = PasteboardTiming::standard();
    QCOMPARE(QCoro::waitFor(road.service.readSelectedTextTransient(true, false, timing)), QStringLiteral("gtk wrods"));
    QCoro::waitFor(road.service.pasteTransient(QStringLiteral("gtk words"), road.focus.rememberedBundleIdentifier(),
                                               timing));
    verifyUsersClipboardIsBack();

    // zenity prints the field's text when the dialog is accepted.
    runTool(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "Return"});
    QTRY_COMPARE(zenity->output().trimmed(), QByteArray("gtk words"));
}

void TestX11TextRoad::aHeldAltDoesNotBreakTheCopy()
{
    Road road;
    auto target = startFront(road, startTargetApp(QStringLiteral("held alt")));
    QVERIFY(target);

    // The hotkey was Alt+something, and the user's finger is still on Alt.
    runTool(QStringLiteral("xdotool"), {"keydown", "alt"});
    QCOMPARE(road.keyboard.heldModifiers(), Qt::KeyboardModifiers(Qt::AltModifier));
    // No waiting for the key to come up: the events themselves must carry
    // Control alone.
    const auto outcome = QCoro::waitFor(capture(road.service.readSelectedTextTransient(true, false,
                                                                                       PasteboardTiming::quick())));
    runTool(QStringLiteral("xdotool"), {"keyup", "alt"});
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.value, std::optional<QString>(QStringLiteral("held alt")));
    QCOMPARE(road.keyboard.heldModifiers(), Qt::KeyboardModifiers());
}

// Users type Russian and press the hotkey: Control+C then arrives from the
// Russian group, where the key is "с", and must still copy.
void TestX11TextRoad::copiesWhileTheRussianLayoutIsActive()
{
    Road road;
    auto target = startFront(road, startTargetApp(QStringLiteral("привет")));
    QVERIFY(target);
    runTool(QStringLiteral("setxkbmap"), {"-layout", "us,ru"});
    XkbInputSources layouts(road.connection);
    const QList<InputSource> sources = layouts.sources();
    QCOMPARE(sources.size(), 2);
    layouts.select(sources[1]);
    QTRY_COMPARE(layouts.current(), std::optional<InputSource>(sources[1]));
    const auto outcome = QCoro::waitFor(capture(road.service.readSelectedTextTransient(true, false,
                                                                                       PasteboardTiming::quick())));
    runTool(QStringLiteral("setxkbmap"), {"-layout", "us"});
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.value, std::optional<QString>(QStringLiteral("привет")));
}

// A default xterm turns even Control+Shift+C into an interrupt: the program
// running in it must get no signal, its selection is read from PRIMARY and
// the result typed in with Shift+Insert.
void TestX11TextRoad::terminalIsNeverInterrupted()
{
    Road road;
    X11Pasteboard primary(road.connection, X11Pasteboard::Selection::Primary);
    road.service.setPrimarySelection(primary);
    auto clipboard = userCopies();
    QVERIFY(clipboard);
    const QString interrupts = m_dir.filePath(QStringLiteral("interrupts"));
    const QString typed = m_dir.filePath(QStringLiteral("typed"));
    const QString program = QStringLiteral("trap 'echo INT >> \"%1\"' INT; printf 'teh text\\n'; stty -echo -icanon; "
                                           "while :; do cat >> \"%2\"; done")
                                .arg(interrupts, typed);
    auto xterm = startFront(
        road, std::make_unique<OtherApp>(QStringLiteral("xterm"), QStringList { "-e", "sh", "-c", program }));
    QVERIFY(xterm);
    QTRY_VERIFY(QFile::exists(typed));

    // The user triple-clicks the first line.
    const QByteArray window = runTool(QStringLiteral("xdotool"), { "getactivewindow" }).trimmed();
    runTool(QStringLiteral("xdotool"),
        { "mousemove", "--window", QString::fromLatin1(window), "20", "8", "click", "--repeat", "3", "1" });
    QTRY_COMPARE(runTool(QStringLiteral("xclip"), { "-selection", "primary", "-o" }).trimmed(), QByteArray("teh text"));
    const QByteArray selection = runTool(QStringLiteral("xclip"), { "-selection", "primary", "-o" });

    const auto read
        = QCoro::waitFor(capture(road.service.readSelectedTextTransient(true, false, PasteboardTiming::standard())));
    QCOMPARE(read.error, QString());
    QCOMPARE(read.value.value_or(QString()).trimmed(), QStringLiteral("teh text"));
    QCoro::waitFor(road.service.pasteTransient(QStringLiteral("the text"), std::nullopt, PasteboardTiming::standard()));

    const auto typedSoFar = [&typed] {
        QFile file(typed);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QTRY_COMPARE(typedSoFar(), QByteArray("the text"));
    QVERIFY(!QFile::exists(interrupts));
    QCOMPARE(runTool(QStringLiteral("xclip"), { "-selection", "primary", "-o" }), selection);
    verifyUsersClipboardIsBack();
}

// Chromium and Electron fields fetch the text well after the paste key; the
// quick timing's restore must not beat them to it.
void TestX11TextRoad::aSlowTargetGetsTheResult()
{
    Road road;
    auto clipboard = userCopies();
    QVERIFY(clipboard);
    auto target = startFront(road, startTargetApp(QStringLiteral("wrong"), { QStringLiteral("--paste-delay"), "400" }));
    QVERIFY(target);
    runTool(QStringLiteral("xdotool"), { "key", "--clearmodifiers", "ctrl+a" });

    QCoro::waitFor(road.service.pasteTransient(QStringLiteral("right"), std::nullopt, PasteboardTiming::quick()));
    QTRY_COMPARE(target->reportedText(), QStringLiteral("right"));
    verifyUsersClipboardIsBack();
}

// Some clipboard managers put the old contents back as soon as the clipboard
// is empty: a copy that got nothing must not take them for the selection.
void TestX11TextRoad::aRefilledClipboardIsNoSelection()
{
    Road road;
    QStringList arguments { QStringLiteral("--refill") };
    for (int i = 0; i < m_usersClipboard.size(); ++i) {
        QFile file(m_dir.filePath(QStringLiteral("refill%1").arg(i)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(m_usersClipboard[i].second) >= 0);
        arguments << m_usersClipboard[i].first + QLatin1Char('=') + file.fileName();
    }
    OtherApp manager(QStringLiteral(MENDO_CLIPBOARD_OWNER), arguments);
    QTRY_VERIFY(manager.output().contains("owning"));
    // The field has text, but none of it is selected.
    auto target = startFront(road, startTargetApp(QStringLiteral("nothing selected")));
    QVERIFY(target);

    const auto outcome
        = QCoro::waitFor(capture(road.service.readSelectedTextTransient(false, false, PasteboardTiming::quick())));
    QCOMPARE(outcome.error, QStringLiteral("No selected text."));
    verifyUsersClipboardIsBack();
}

QTEST_MAIN(TestX11TextRoad)
#include "test_x11_text_road.moc"
