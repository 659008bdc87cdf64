// The Shortcuts page of the real mendo, used as a user uses it: controls found
// through the accessibility bus and clicked with the pointer, chords held on
// the keyboard through XTest. A chord recorded on a style's row works in
// another application at once and the old one is let go; the window-tiling
// switch lets its chords go and takes them back.

#include "e2e/MendoSession.h"
#include "platform/x11/X11Errors.h"

#include <QTest>

#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::clickAt;
using mendo::testing::runTool;

namespace {

constexpr int kTimeoutMs = 20000;

// Opens the Shortcuts page and scrolls the wheel until the control of that
// name lies well inside the window; empty when it never did.
QRect bringIntoView(MendoSession& session, const QString& name, AtspiRole role)
{
    const qint64 pid = session.mendoPid();
    QRect row;
    if (!QTest::qWaitFor(
            [&] { return !(row = accessibleRect(pid, QStringLiteral("Shortcuts"), ATSPI_ROLE_PUSH_BUTTON)).isEmpty(); },
            kTimeoutMs))
        return {};
    clickAt(row.center());
    QRect control;
    if (!QTest::qWaitFor([&] { return !(control = accessibleRect(pid, name, role)).isEmpty(); }, kTimeoutMs))
        return {};
    const QRect window = windowGeometry(session.mainWindow());
    // The wheel over the page, right of the sidebar.
    const QPoint over(window.left() + 450, window.top() + window.height() / 2);
    for (int turn = 0; turn < 60; ++turn) {
        control = accessibleRect(pid, name, role);
        if (control.top() > window.top() + 100 && control.bottom() < window.bottom() - 60)
            return control;
        runTool(QStringLiteral("xdotool"),
            { QStringLiteral("mousemove"), QString::number(over.x()), QString::number(over.y()) });
        runTool(QStringLiteral("xdotool"),
            { QStringLiteral("click"), control.top() <= window.top() + 100 ? QStringLiteral("4") : QStringLiteral("5") });
        QTest::qWait(80);
    }
    return {};
}

}  // namespace

class TestE2eShortcuts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aChordRecordedOnTheFixRowWorksAtOnce();
    void theTilingSwitchLetsGoAndTakesBack();
};

void TestE2eShortcuts::aChordRecordedOnTheFixRowWorksAtOnce()
{
    const QString selected = QStringLiteral("teh report is redy");
    const QString answer = QStringLiteral("The report is ready");
    MendoSession session(
        { .answers = { serviceAnswer(200, { { QStringLiteral("result"), answer } }) }, .serviceDown = false,
            .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(MendoSession::chordIsTaken(XK_1, Mod1Mask), kTimeoutMs);
    QVERIFY(!MendoSession::chordIsTaken(XK_9, Mod1Mask | ShiftMask));

    // The "Fix" style's row (the "Fix layout" row has a name of its own).
    const QRect field = bringIntoView(session, QStringLiteral("Fix"), ATSPI_ROLE_PUSH_BUTTON);
    QVERIFY(!field.isEmpty());
    clickAt(field.center());
    QTest::qWait(200);
    MendoSession::hold(QStringLiteral("alt+shift+9"));
    QTRY_VERIFY_WITH_TIMEOUT(MendoSession::chordIsTaken(XK_9, Mod1Mask | ShiftMask), kTimeoutMs);
    // The old chord is free for any other client.
    QTRY_VERIFY_WITH_TIMEOUT(!MendoSession::chordIsTaken(XK_1, Mod1Mask), kTimeoutMs);

    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), selected, QStringLiteral("--geometry"), QStringLiteral("500x120+100+100") });
    QVERIFY(target);
    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::hold(QStringLiteral("alt+shift+9"));
    QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kTimeoutMs);
    const QJsonObject body = session.requests().first().value(QStringLiteral("body")).toObject();
    QCOMPARE(body.value(QStringLiteral("text")).toString(), selected);
    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), answer, kTimeoutMs);
}

void TestE2eShortcuts::theTilingSwitchLetsGoAndTakesBack()
{
    MendoSession session({ .answers = {}, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(MendoSession::chordIsTaken(XK_u, ControlMask | Mod1Mask), kTimeoutMs);

    const QString name = QStringLiteral("Arrange windows with hotkeys");
    QRect toggle = bringIntoView(session, name, ATSPI_ROLE_CHECK_BOX);
    QVERIFY(!toggle.isEmpty());
    // Xvfb's one output is no laptop panel: the tiling rows without the display's.
    QVERIFY(!accessibleRect(session.mendoPid(), QStringLiteral("Swap with window below"), ATSPI_ROLE_PUSH_BUTTON)
                 .isEmpty());
    QVERIFY(accessibleRect(session.mendoPid(), QStringLiteral("Built-in display on/off"), ATSPI_ROLE_PUSH_BUTTON)
                .isEmpty());
    clickAt(toggle.center());
    QTRY_VERIFY_WITH_TIMEOUT(!MendoSession::chordIsTaken(XK_u, ControlMask | Mod1Mask), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(
        session.storedDefaults().value(QStringLiteral("mendo.windowTiling.enabled")).toBool(true), false, kTimeoutMs);

    // The rows below it went; the switch stays where it was.
    QTRY_VERIFY_WITH_TIMEOUT(
        accessibleRect(session.mendoPid(), QStringLiteral("Swap with window below"), ATSPI_ROLE_PUSH_BUTTON).isEmpty(),
        kTimeoutMs);
    toggle = accessibleRect(session.mendoPid(), name, ATSPI_ROLE_CHECK_BOX);
    QVERIFY(!toggle.isEmpty());
    clickAt(toggle.center());
    QTRY_VERIFY_WITH_TIMEOUT(MendoSession::chordIsTaken(XK_u, ControlMask | Mod1Mask), kTimeoutMs);
}

QTEST_MAIN(TestE2eShortcuts)
#include "test_e2e_shortcuts.moc"
