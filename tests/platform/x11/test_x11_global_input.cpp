// The global input monitor over the real X server: other applications'
// clicks and keys (xdotool's synthetic input included) are reported with the
// pointer and the modifiers; clicks on this process's windows and the
// keystrokes X11KeyboardEvents posts are not.

#include "base/Clock.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11PostedKeys.h"
#include "support/X11TestApps.h"

#include <QWidget>

#include <X11/Xlib.h>

using namespace mendo;
using namespace mendo::testing;

namespace {

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The active window's frame-less geometry, as xdotool reports it.
Geometry activeWindowGeometry()
{
    Geometry g;
    const QByteArray out = runTool(QStringLiteral("xdotool"),
        { QStringLiteral("getactivewindow"), QStringLiteral("getwindowgeometry"), QStringLiteral("--shell") });
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() != 2)
            continue;
        const int value = pair[1].toInt();
        if (pair[0] == "X")
            g.x = value;
        else if (pair[0] == "Y")
            g.y = value;
        else if (pair[0] == "WIDTH")
            g.width = value;
        else if (pair[0] == "HEIGHT")
            g.height = value;
    }
    return g;
}

QString describe(const GlobalInputEvent& e)
{
    static const QHash<GlobalInputEvent::Type, QString> names { { GlobalInputEvent::Type::leftMouseDown, "leftDown" },
        { GlobalInputEvent::Type::leftMouseUp, "leftUp" }, { GlobalInputEvent::Type::rightMouseDown, "rightDown" },
        { GlobalInputEvent::Type::keyDown, "keyDown" }, { GlobalInputEvent::Type::keyUp, "keyUp" } };
    QString text = names.value(e.type, QStringLiteral("other")) + QLatin1Char(' ') + QString::number(e.detail);
    if (e.modifiers & Qt::ControlModifier)
        text += QStringLiteral(" +control");
    return text;
}

}  // namespace

class TestX11GlobalInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportsOtherApplicationsOnly();
};

void TestX11GlobalInput::reportsOtherApplicationsOnly()
{
    RealClock clock;
    x11::X11Connection connection;
    x11::X11PostedKeys posted(clock);
    X11GlobalInputMonitor monitor(connection, posted);
    QVERIFY(monitor.available());
    X11KeyboardEvents keyboard;
    keyboard.setPostedKeys(&posted);

    auto target = startTargetApp(QStringLiteral("target"));
    QTRY_VERIFY_WITH_TIMEOUT(activeWindowGeometry().width > 0, 10000);
    const Geometry field = activeWindowGeometry();

    // A window of this process, well away from the target.
    QWidget own;
    own.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    own.setAttribute(Qt::WA_ShowWithoutActivating);
    own.setGeometry(field.x + field.width + 100, field.y, 200, 120);
    own.show();
    QVERIFY(QTest::qWaitForWindowExposed(&own));

    QList<GlobalInputEvent> events;
    const int token = monitor.addMonitor(
        GlobalInputEvent::mouseDowns() | GlobalInputEvent::Type::keyDown | GlobalInputEvent::Type::keyUp,
        [&](const GlobalInputEvent& e) { events << e; });
    QVERIFY(token != 0);
    const int controlCode = XKeysymToKeycode(connection.display(), XStringToKeysym("Control_L"));
    const int xCode = XKeysymToKeycode(connection.display(), XStringToKeysym("x"));

    // A click on the other application, with Control held: reported with
    // the pointer and the modifier.
    const QPoint inField(field.x + 40, field.y + 20);
    xdotool({ "mousemove", QString::number(inField.x()), QString::number(inField.y()) });
    xdotool({ "keydown", "ctrl", "click", "1", "keyup", "ctrl" });
    auto seenSoFar = [&] {
        QStringList seen;
        for (const GlobalInputEvent& e : events)
            seen << describe(e);
        return seen.join(QStringLiteral(", "));
    };
    QTRY_VERIFY_WITH_TIMEOUT(events.size() >= 3, 5000);
    QTest::qWait(200);
    // (xdotool may release the modifier twice.)
    QVERIFY2(
        seenSoFar().startsWith(QStringLiteral("keyDown %1 +control, leftDown 1 +control, keyUp %1").arg(controlCode)),
        qPrintable(seenSoFar()));
    QCOMPARE(events[1].position, inField);

    // A click on this process's window is Qt's, not the monitor's. Raw
    // events carry no position, so the monitor asks where the pointer is when
    // it reads the press: held as long as a finger holds it, not a 0 ms tap
    // that moves away before a loaded machine gets to the press.
    events.clear();
    const QPoint inOwn = own.geometry().center();
    xdotool({ "mousemove", QString::number(inOwn.x()), QString::number(inOwn.y()), "mousedown", "1", "sleep", "0.15",
        "mouseup", "1" });
    xdotool({ "mousemove", QString::number(inField.x()), QString::number(inField.y()) });
    // The Control+C MendoAI posts is not reported; a key of another program
    // right after it is.
    QCOMPARE(keyboard.postShortcut(EditShortcut::Copy), ShortcutResult::Posted);
    // Every posted key seen (the server holds the shortcut's keys for 20 ms:
    // a key typed meanwhile would rightly come with Control).
    QTRY_VERIFY_WITH_TIMEOUT(posted.empty(), 5000);
    xdotool({ "key", "x" });
    QTRY_VERIFY_WITH_TIMEOUT(events.size() >= 2, 5000);
    QTest::qWait(200);
    QCOMPARE(seenSoFar(), QStringLiteral("keyDown %1, keyUp %1").arg(xCode));

    // Nothing selected once the last monitor goes.
    monitor.removeMonitor(token);
    monitor.removeMonitor(token);
    events.clear();
    xdotool({ "click", "1" });
    QTest::qWait(200);
    QVERIFY(events.isEmpty());
}

QTEST_MAIN(TestX11GlobalInput)
#include "test_x11_global_input.moc"
