// Swapping windows by direction and by drag, and the Alt+drag monitor, over
// the fake window system.

#include "desktop/WindowDragSwapMonitor.h"
#include "desktop/WindowTilingService.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakeWindowSystem.h"
#include "fakes/MemoryUserDefaults.h"

#include <QTest>

using namespace mendo;

Q_DECLARE_METATYPE(WindowSwapDirection)

namespace {

using Window = FakeWindowSystem::Window;
using S = WindowTileSlot;

// A 1920 x 1080 primary monitor with a 30-pixel top panel: the visible frame's
// middle lines are x 960 and y 555.
const MonitorFrame monitor { QRect(0, 0, 1920, 1080), QRect(0, 30, 1920, 1050), true };

Window window(WindowId id, QRect frame, bool standard = true)
{
    Window w;
    w.id = id;
    w.frame = frame;
    w.facts.standard = standard;
    return w;
}

const auto move = &FakeWindowSystem::move;

QRect cellOf(S slot)
{
    return WindowTilingService::cell(slot, monitor.visibleFrame);
}

QString name(std::optional<S> slot)
{
    return slot ? rawValue(*slot) : QStringLiteral("-");
}

}  // namespace

class TestWindowSwapping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // On a visible frame of 1600 x 1000 at y 40: middle lines x 800 and
    // y 540, a half is taller than 750.
    void slotsAndNeighbours_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QStringList>("neighbours");  // left, right, up, down
        QTest::newRow("80 % tall on the left is the left half")
            << QRect(0, 40, 800, 800) << "leftHalf" << QStringList { "-", "rightHalf", "-", "-" };
        QTest::newRow("80 % tall on the right is the right half")
            << QRect(800, 40, 800, 800) << "rightHalf" << QStringList { "leftHalf", "-", "-", "-" };
        QTest::newRow("the whole frame counts as the right half")
            << QRect(0, 40, 1600, 1000) << "rightHalf" << QStringList { "leftHalf", "-", "-", "-" };
        QTest::newRow("exactly 75 % tall is a quarter")
            << QRect(0, 40, 800, 750) << "topLeft" << QStringList { "-", "topRight", "-", "bottomLeft" };
        QTest::newRow("top right") << QRect(900, 100, 500, 300) << "topRight"
                                   << QStringList { "topLeft", "-", "-", "bottomRight" };
        QTest::newRow("bottom left") << QRect(0, 540, 800, 500) << "bottomLeft"
                                     << QStringList { "-", "bottomRight", "topLeft", "-" };
        QTest::newRow("bottom right") << QRect(800, 540, 800, 500) << "bottomRight"
                                      << QStringList { "bottomLeft", "-", "topRight", "-" };
        QTest::newRow("a centre on the middle lines counts right and below")
            << QRect(700, 440, 200, 200) << "bottomRight" << QStringList { "bottomLeft", "-", "topRight", "-" };
        QTest::newRow("half a pixel left of the middle line is left")
            << QRect(700, 100, 199, 200) << "topLeft" << QStringList { "-", "topRight", "-", "bottomLeft" };
    }
    void slotsAndNeighbours()
    {
        QFETCH(QRect, frame);
        QFETCH(QString, slot);
        QFETCH(QStringList, neighbours);
        const QRect visible(0, 40, 1600, 1000);
        QCOMPARE(rawValue(WindowTilingService::slotContaining(frame, visible)), slot);
        QStringList found;
        for (const auto direction : { WindowSwapDirection::left, WindowSwapDirection::right, WindowSwapDirection::up,
                 WindowSwapDirection::down })
            found << name(WindowTilingService::adjacentSlot(frame, direction, visible));
        QCOMPARE(found, neighbours);
    }

    // The focused window 1 among a dialog over the right half, window 2 in
    // the top right and window 3 in the bottom right, front to back.
    void swapFocusedWindow_data()
    {
        QTest::addColumn<QRect>("focused");
        QTest::addColumn<WindowSwapDirection>("direction");
        QTest::addColumn<QStringList>("moves");
        const QRect tallLeft(0, 30, 960, 840);  // 80 % of the visible height
        const QRect topLeft(100, 100, 600, 400);
        QTest::newRow("a half trades with the front window of the other half")
            << tallLeft << WindowSwapDirection::right
            << QStringList { move(2, cellOf(S::leftHalf)), move(1, cellOf(S::rightHalf)) };
        QTest::newRow("a half at the left edge") << tallLeft << WindowSwapDirection::left << QStringList();
        QTest::newRow("a half does not go up") << tallLeft << WindowSwapDirection::up << QStringList();
        QTest::newRow("a quarter trades with the top right window")
            << topLeft << WindowSwapDirection::right
            << QStringList { move(2, cellOf(S::topLeft)), move(1, cellOf(S::topRight)) };
        QTest::newRow("an empty neighbour is a plain move")
            << topLeft << WindowSwapDirection::down << QStringList { move(1, cellOf(S::bottomLeft)) };
        QTest::newRow("a quarter at the top edge") << topLeft << WindowSwapDirection::up << QStringList();
        QTest::newRow("a window off every monitor stays")
            << QRect(-3000, -3000, 400, 300) << WindowSwapDirection::right << QStringList();
    }
    void swapFocusedWindow()
    {
        QFETCH(QRect, focused);
        QFETCH(WindowSwapDirection, direction);
        QFETCH(QStringList, moves);
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { monitor };
        windows.pointer = QPoint(10, 10);
        windows.stack = { window(9, QRect(1100, 200, 400, 300), false), window(1, focused),
            window(2, QRect(1000, 100, 800, 600)), window(3, QRect(1000, 600, 800, 400)) };
        windows.focused = 1;
        WindowTilingService tiling(windows, clock);
        auto task = tiling.swapFocusedWindow(direction);
        QVERIFY(task.isReady());
        QCOMPARE(windows.moves, moves);
    }

    // Window 1 was dragged from `original`; windows 2 (standard) and 9 (a
    // dialog in front of it) lie to the right.
    void swapDraggedWindow_data()
    {
        QTest::addColumn<QPoint>("drop");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QStringList>("moves");
        const QRect other(960, 30, 960, 1050);
        const QRect original(0, 30, 960, 1050);
        QTest::newRow("onto another window") << QPoint(1500, 900) << QSize()
                                             << QStringList { move(1, other), move(2, original) };
        QTest::newRow("onto a dialog: the window beneath it")
            << QPoint(1200, 300) << QSize() << QStringList { move(1, other), move(2, original) };
        QTest::newRow("onto the empty desktop") << QPoint(500, 900) << QSize() << QStringList();
        QTest::newRow("off every monitor") << QPoint(5000, 300) << QSize() << QStringList();
        // The application keeps its minimum; nothing corrects it afterwards.
        QTest::newRow("a window that will not shrink")
            << QPoint(1500, 900) << QSize(1200, 100) << QStringList { move(1, other), move(2, original) };
    }
    void swapDraggedWindow()
    {
        QFETCH(QPoint, drop);
        QFETCH(QSize, minimum);
        QFETCH(QStringList, moves);
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { monitor };
        // The window manager moved the dragged window under the pointer.
        Window dragged = window(1, QRect(drop - QPoint(100, 10), QSize(960, 600)));
        dragged.minimumSize = minimum;
        windows.stack = { dragged, window(9, QRect(1100, 200, 400, 300), false), window(2, QRect(960, 30, 960, 1050)) };
        WindowTilingService tiling(windows, clock);
        auto task = tiling.swapDraggedWindow(1, QRect(0, 30, 960, 1050), drop);
        QVERIFY(task.isReady());
        QCOMPARE(windows.moves, moves);
        if (!minimum.isEmpty())
            QCOMPARE(windows.find(1)->frame, QRect(960, 30, 1200, 1050));
    }

    // Each step: "press" or "release" (with "+alt" when Alt is held) at a
    // point, "drag dx,dy" (the window manager moves window 1 along),
    // "tiling false" / "tiling true" / "tiling <text>" (the stored setting).
    void dragMonitor_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("swapped");
        QTest::newRow("Alt+drag of 11 across") << QStringList { "press+alt 300,300", "drag 11,0", "release+alt 1300,300" }
                                              << true;
        QTest::newRow("Alt+drag of 11 down") << QStringList { "press+alt 300,300", "drag -3,11", "release+alt 1300,300" }
                                            << true;
        QTest::newRow("Alt+drag of 10 both ways is a click")
            << QStringList { "press+alt 300,300", "drag 10,-10", "release+alt 1300,300" } << false;
        QTest::newRow("press without Alt") << QStringList { "press 300,300", "drag 50,0", "release+alt 1300,300" }
                                           << false;
        QTest::newRow("Alt let go before the button")
            << QStringList { "press+alt 300,300", "drag 50,0", "release 1300,300" } << false;
        QTest::newRow("a press over no window") << QStringList { "press+alt 50,900", "drag 50,0", "release+alt 1300,300" }
                                                << false;
        QTest::newRow("tiling switched off mid-drag, and on again")
            << QStringList { "press+alt 300,300", "drag 50,0", "tiling false", "release+alt 1300,300", "tiling true",
                   "release+alt 1300,300" }
            << false;
        QTest::newRow("tiling stored as text still counts as on")
            << QStringList { "tiling no", "press+alt 300,300", "drag 50,0", "release+alt 1300,300" } << true;
        QTest::newRow("a second drag after a click")
            << QStringList { "press+alt 300,300", "release+alt 300,300", "press+alt 300,300", "drag 0,-40",
                   "release+alt 1300,300" }
            << true;
    }
    void dragMonitor()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, swapped);
        FakeWindowSystem windows;
        FakeClock clock;
        FakeGlobalInputMonitor input;
        MemoryUserDefaults defaults;
        windows.monitors = { monitor };
        const QRect a(100, 100, 600, 400), b(1000, 100, 600, 400);
        windows.stack = { window(1, a), window(2, b) };
        WindowTilingService tiling(windows, clock);
        WindowDragSwapMonitor monitor(input, defaults, tiling);
        monitor.start();
        for (const QString& step : steps) {
            const QStringList parts = step.split(QLatin1Char(' '));
            const QStringList numbers = parts.last().split(QLatin1Char(','));
            const QPoint point(numbers.first().toInt(), numbers.last().toInt());
            if (parts.first() == u"tiling") {
                if (parts.last() == u"false" || parts.last() == u"true")
                    defaults.set(QStringLiteral("mendo.windowTiling.enabled"), parts.last() == u"true");
                else
                    defaults.set(QStringLiteral("mendo.windowTiling.enabled"), parts.last());
            } else if (parts.first() == u"drag") {
                windows.find(1)->frame.translate(point);
            } else {
                GlobalInputEvent event;
                event.type = parts.first().startsWith(u"press") ? GlobalInputEvent::Type::leftMouseDown
                                                                 : GlobalInputEvent::Type::leftMouseUp;
                event.detail = 1;
                if (parts.first().endsWith(u"+alt"))
                    event.modifiers = Qt::AltModifier;
                windows.pointer = point;
                event.position = QPoint(-1, -1);  // the window system's pointer wins
                input.send(event);
                QCoreApplication::sendPostedEvents();
            }
        }
        const QStringList exchange { move(1, b), move(2, a) };
        QCOMPARE(windows.moves, swapped ? exchange : QStringList());
    }

    void startInstallsOneMonitor()
    {
        FakeWindowSystem windows;
        FakeClock clock;
        FakeGlobalInputMonitor input;
        MemoryUserDefaults defaults;
        WindowTilingService tiling(windows, clock);
        {
            WindowDragSwapMonitor monitor(input, defaults, tiling);
            QCOMPARE(input.installed(), 0);
            monitor.start();
            monitor.start();
            QCOMPARE(input.installed(), 1);
        }
        QCOMPARE(input.installed(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWindowSwapping)
#include "test_window_swapping.moc"
