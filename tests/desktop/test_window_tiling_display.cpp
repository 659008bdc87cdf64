// Tiling real windows under openbox: the Qt target app in its window shapes,
// xterm with its character cells, RandR monitors made with xrandr and a
// trayer panel with a partial strut. Tile-all of four leaves its screenshot in
// the artifacts.

#include "base/Clock.h"
#include "desktop/WindowTilingService.h"
#include "platform/x11/Ewmh.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowSystem.h"
#include "support/X11TestApps.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

using namespace mendo;
using namespace mendo::testing;

Q_DECLARE_METATYPE(WindowTileSlot)

namespace {

const QList<WindowTileSlot> allSlots { WindowTileSlot::full, WindowTileSlot::leftHalf, WindowTileSlot::rightHalf,
    WindowTileSlot::topLeft, WindowTileSlot::topRight, WindowTileSlot::bottomLeft, WindowTileSlot::bottomRight };

// Splits the screen into RandR monitors for one test and puts it back after.
class Monitors {
public:
    // Each as "name WxH+X+Y"; the first takes over the real output.
    explicit Monitors(const QStringList& monitors)
    {
        for (int i = 0; i < monitors.size(); ++i) {
            const QStringList parts = monitors[i].split(QLatin1Char(' '));
            const QStringList size = parts[1].split(QRegularExpression(QStringLiteral("[x+]")));
            // Millimetres do not matter here; a plausible 96 dpi.
            const QString geometry = QStringLiteral("%1/%2x%3/%4+%5+%6")
                                         .arg(size[0], QString::number(size[0].toInt() * 254 / 960), size[1],
                                             QString::number(size[1].toInt() * 254 / 960), size[2], size[3]);
            runTool(QStringLiteral("xrandr"),
                { QStringLiteral("--setmonitor"), parts[0], geometry,
                    i == 0 ? QStringLiteral("screen") : QStringLiteral("none") });
            m_names << parts[0];
        }
    }
    ~Monitors()
    {
        for (const QString& name : m_names)
            runTool(QStringLiteral("xrandr"), { QStringLiteral("--delmonitor"), name });
    }

private:
    QStringList m_names;
};

}  // namespace

class TestWindowTilingDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void slotsFillTheirCells_data();
    void slotsFillTheirCells();
    void maximizedWindowAndTerminal();
    void tileAllOfOneToFive();
    void twoMonitorsAndAPanel();
    void aWindowTiledByIdLeavesTheFocusedOneAlone();
    void stackingSnapshotAgreesWithSingleReads();

private:
    // Starts the target app and waits until its window is managed and in
    // front.
    std::unique_ptr<OtherApp> start(const QStringList& arguments, WindowId* window);
    WindowId windowOf(qint32 pid);
    bool bringToFront(WindowId window);
    bool finish(Task<> task);
    QRect frame(WindowId window) { return m_windows.frame(window).value_or(QRect()); }

    x11::X11Connection m_connection;
    X11WindowSystem m_windows { m_connection };
    RealClock m_clock;
    WindowTilingService m_tiling { m_windows, m_clock };
};

// What a browser pop-out that saw no app window does: the browser window it
// remembered is tiled, while the user already works in another window; once
// the browser window is gone, nothing moves.
void TestWindowTilingDisplay::aWindowTiledByIdLeavesTheFocusedOneAlone()
{
    const QRect visible = m_windows.screens().first().visibleFrame;
    WindowId browser = 0;
    WindowId editor = 0;
    auto browserApp = start({ QStringLiteral("--geometry"), QStringLiteral("400x300+100+100") }, &browser);
    auto editorApp = start({ QStringLiteral("--geometry"), QStringLiteral("400x300+700+500") }, &editor);
    QVERIFY(browser && editor);
    QCOMPARE(m_windows.focusedWindow(), std::optional<WindowId>(editor));
    const QRect editorFrame = frame(editor);

    QVERIFY(finish(m_tiling.tileWindow(browser, WindowTileSlot::leftHalf)));
    QTRY_COMPARE(frame(browser), WindowTilingService::cell(WindowTileSlot::leftHalf, visible));
    QCOMPARE(frame(editor), editorFrame);
    QCOMPARE(m_windows.focusedWindow(), std::optional<WindowId>(editor));

    browserApp.reset();
    QTRY_VERIFY(!m_windows.frame(browser));
    QVERIFY(finish(m_tiling.tileWindow(browser, WindowTileSlot::rightHalf)));
    QTest::qWait(300);
    QCOMPARE(frame(editor), editorFrame);
}

void TestWindowTilingDisplay::initTestCase()
{
    QVERIFY(m_connection.isOpen());
    for (const char* tool : { "xrandr", "xterm", "trayer" })
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
}

WindowId TestWindowTilingDisplay::windowOf(qint32 pid)
{
    WindowId found = 0;
    (void)QTest::qWaitFor(
        [&] {
            for (const x11::XWindow window : x11::ewmh::clientsTopFirst(m_connection)) {
                // Managed once the window manager has framed it.
                if (x11::ewmh::processId(m_connection, window) == pid
                    && m_connection.cardinals(window, "_NET_FRAME_EXTENTS", 6 /* CARDINAL */)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        10000);
    return found;
}

bool TestWindowTilingDisplay::bringToFront(WindowId window)
{
    (void)x11::ewmh::requestActivation(m_connection, window);
    return QTest::qWaitFor([&] { return m_windows.focusedWindow() == window; }, 5000);
}

std::unique_ptr<OtherApp> TestWindowTilingDisplay::start(const QStringList& arguments, WindowId* window)
{
    auto app = startTargetApp(QString(), arguments);
    *window = windowOf(app->pid());
    if (*window && !arguments.contains(QStringLiteral("minimized")))
        bringToFront(*window);
    return app;
}

bool TestWindowTilingDisplay::finish(Task<> task)
{
    return QTest::qWaitFor([&] { return task.isReady(); }, 5000);
}

void TestWindowTilingDisplay::slotsFillTheirCells_data()
{
    QTest::addColumn<QStringList>("monitors");
    QTest::newRow("1920 x 1080") << QStringList();
    QTest::newRow("a monitor of odd width and height")
        << QStringList { QStringLiteral("odd 1439x1079+0+0"), QStringLiteral("rest 481x1080+1439+0") };
}

void TestWindowTilingDisplay::slotsFillTheirCells()
{
    QFETCH(QStringList, monitors);
    Monitors split(monitors);
    QTRY_COMPARE(m_windows.screens().first().frame.width(), monitors.isEmpty() ? 1920 : 1439);
    const QRect visible = m_windows.screens().first().visibleFrame;
    WindowId window = 0;
    auto app = start({ QStringLiteral("--geometry"), QStringLiteral("400x300+100+100") }, &window);
    QVERIFY(window);
    for (const WindowTileSlot slot : allSlots) {
        QVERIFY(finish(m_tiling.tileFocusedWindow(slot)));
        QTRY_COMPARE(frame(window), WindowTilingService::cell(slot, visible));
    }
}

void TestWindowTilingDisplay::maximizedWindowAndTerminal()
{
    const QRect visible = m_windows.screens().first().visibleFrame;
    WindowId maximized = 0;
    auto app = start({ QStringLiteral("--state"), QStringLiteral("maximized") }, &maximized);
    QVERIFY(maximized);
    QTRY_VERIFY(m_windows.facts(maximized)->maximized);
    QVERIFY(finish(m_tiling.tileFocusedWindow(WindowTileSlot::leftHalf)));
    QTRY_COMPARE(frame(maximized), WindowTilingService::cell(WindowTileSlot::leftHalf, visible));
    QVERIFY(!m_windows.facts(maximized)->maximized);

    // Character cells: the terminal ends a little smaller, at the cell's top
    // left.
    OtherApp xterm(QStringLiteral("xterm"), { QStringLiteral("-geometry"), QStringLiteral("80x24+300+300") });
    const WindowId terminal = windowOf(xterm.pid());
    QVERIFY(terminal);
    QVERIFY(bringToFront(terminal));
    QVERIFY(finish(m_tiling.tileFocusedWindow(WindowTileSlot::bottomRight)));
    const QRect cell = WindowTilingService::cell(WindowTileSlot::bottomRight, visible);
    QTRY_COMPARE(frame(terminal).topLeft(), cell.topLeft());
    QVERIFY2(cell.contains(frame(terminal)),
        qPrintable(QStringLiteral("%1,%2 %3x%4")
                       .arg(frame(terminal).x())
                       .arg(frame(terminal).y())
                       .arg(frame(terminal).width())
                       .arg(frame(terminal).height())));
    QVERIFY(frame(terminal).width() > cell.width() - 30 && frame(terminal).height() > cell.height() - 40);
}

void TestWindowTilingDisplay::tileAllOfOneToFive()
{
    const QRect visible = m_windows.screens().first().visibleFrame;
    std::vector<std::unique_ptr<OtherApp>> apps;
    QList<WindowId> windows;  // newest (frontmost) first
    // Not arranged: a dialog and a minimized window.
    WindowId dialog = 0, hidden = 0;
    auto dialogApp = start({ QStringLiteral("--window-type"), QStringLiteral("dialog") }, &dialog);
    auto hiddenApp = start({ QStringLiteral("--state"), QStringLiteral("minimized") }, &hidden);
    QVERIFY(dialog && hidden);
    const QRect dialogFrame = frame(dialog);
    for (int count = 1; count <= 5; ++count) {
        WindowId window = 0;
        apps.push_back(
            start({ QStringLiteral("--geometry"), QStringLiteral("300x200+%1+%2").arg(50 * count).arg(40 * count),
                      QStringLiteral("--title"), QStringLiteral("Window %1").arg(count) },
                &window));
        QVERIFY(window);
        windows.prepend(window);
        const QRect fifthBefore = count == 5 ? frame(windows.last()) : QRect();
        QVERIFY(finish(m_tiling.tileAllWindows()));
        const QList<WindowTileSlot> slots = WindowTilingService::layout(std::min(count, 4));
        for (int i = 0; i < slots.size(); ++i)
            QTRY_COMPARE(frame(windows[i]), WindowTilingService::cell(slots[i], visible));
        if (count == 5)
            QCOMPARE(frame(windows.last()), fifthBefore);
        if (count == 4) {
            const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
            QVERIFY(QDir().mkpath(dir));
            QTest::qWait(200);  // the applications repaint at their new sizes
            const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            QVERIFY(!shot.isNull());
            QVERIFY(shot.save(dir + QStringLiteral("/tile-all-four.png")));
        }
    }
    QCOMPARE(frame(dialog), dialogFrame);
    QVERIFY(m_windows.facts(hidden)->minimized);
}

void TestWindowTilingDisplay::twoMonitorsAndAPanel()
{
    Monitors split({ QStringLiteral("left 960x1080+0+0"), QStringLiteral("right 960x1080+960+0") });
    QTRY_COMPARE(m_windows.screens().size(), 2);
    WindowId window = 0;
    auto app = start({ QStringLiteral("--geometry"), QStringLiteral("400x300+1200+200") }, &window);
    QVERIFY(window);
    QVERIFY(finish(m_tiling.tileFocusedWindow(WindowTileSlot::leftHalf)));
    QTRY_COMPARE(frame(window), QRect(960, 0, 480, 1080));

    // A panel along the bottom of the left monitor only.
    OtherApp trayer(QStringLiteral("trayer"),
        { QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"), QStringLiteral("left"),
            QStringLiteral("--widthtype"), QStringLiteral("pixel"), QStringLiteral("--width"), QStringLiteral("300"),
            QStringLiteral("--height"), QStringLiteral("40"), QStringLiteral("--SetDockType"), QStringLiteral("true"),
            QStringLiteral("--SetPartialStrut"), QStringLiteral("true") });
    QTRY_COMPARE_WITH_TIMEOUT(m_windows.screens().first().visibleFrame, QRect(0, 0, 960, 1040), 10000);
    QCOMPARE(m_windows.screens().last().visibleFrame, QRect(960, 0, 960, 1080));
    QVERIFY(finish(m_tiling.tileFocusedWindow(WindowTileSlot::bottomRight)));
    QTRY_COMPARE(frame(window), QRect(1440, 540, 480, 540));
}

// The snapshot asks about every window at once; each answer must be what the
// window's own reads give.
void TestWindowTilingDisplay::stackingSnapshotAgreesWithSingleReads()
{
    WindowId normal = 0, dialog = 0, maximized = 0, full = 0, hidden = 0;
    auto normalApp = start({ QStringLiteral("--geometry"), QStringLiteral("300x200+100+80") }, &normal);
    auto dialogApp = start({ QStringLiteral("--window-type"), QStringLiteral("dialog") }, &dialog);
    auto maximizedApp = start({ QStringLiteral("--state"), QStringLiteral("maximized") }, &maximized);
    auto fullApp = start({ QStringLiteral("--state"), QStringLiteral("fullscreen") }, &full);
    auto hiddenApp = start({ QStringLiteral("--state"), QStringLiteral("minimized") }, &hidden);
    QVERIFY(normal && dialog && maximized && full && hidden);
    OtherApp trayer(QStringLiteral("trayer"),
        { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
            QStringLiteral("--width"), QStringLiteral("300"), QStringLiteral("--height"), QStringLiteral("30"),
            QStringLiteral("--SetDockType"), QStringLiteral("true"), QStringLiteral("--SetPartialStrut"),
            QStringLiteral("true") });
    QTRY_COMPARE_WITH_TIMEOUT(m_windows.screens().first().visibleFrame.top(), 30, 10000);

    const StackingSnapshot snapshot = m_windows.stackingSnapshot();
    QCOMPARE(snapshot.screens, m_windows.screens());
    QList<WindowId> listed;
    for (const StackedWindow& entry : snapshot.windows) {
        listed << entry.id;
        QCOMPARE(entry.frame, frame(entry.id));
        QVERIFY(entry.facts);
        const auto single = m_windows.facts(entry.id);
        QVERIFY(single);
        QCOMPARE(entry.facts->standard, single->standard);
        QCOMPARE(entry.facts->minimized, single->minimized);
        QCOMPARE(entry.facts->fullScreen, single->fullScreen);
        QCOMPARE(entry.facts->maximized, single->maximized);
        QVERIFY(!entry.own);
    }
    // Front to back, the dock and the unmapped window left out.
    QCOMPARE(listed.mid(0, 4), QList<WindowId>({ full, maximized, dialog, normal }));
    QVERIFY(!listed.contains(hidden));
    QCOMPARE(m_windows.stackingOrder().size(), snapshot.windows.size());
    QVERIFY(!snapshot.windows[1].facts->fullScreen && snapshot.windows[1].facts->maximized);
    QVERIFY(snapshot.windows[0].facts->fullScreen);
    QVERIFY(!snapshot.windows[2].facts->standard && snapshot.windows[3].facts->standard);
}

QTEST_MAIN(TestWindowTilingDisplay)
#include "test_window_tiling_display.moc"
