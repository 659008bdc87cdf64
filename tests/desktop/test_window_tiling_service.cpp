#include "desktop/WindowTilingService.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeWindowSystem.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(WindowTileSlot)
Q_DECLARE_METATYPE(WindowFacts)

namespace {

using Window = FakeWindowSystem::Window;

// A 1920 x 1080 primary monitor with a 30-pixel top panel, and a second one
// to its right.
const MonitorFrame leftMonitor { QRect(0, 0, 1920, 1080), QRect(0, 30, 1920, 1050), true };
const MonitorFrame rightMonitor { QRect(1920, 0, 1440, 900), QRect(1920, 0, 1440, 900), false };

Window window(WindowId id, QRect frame)
{
    Window w;
    w.id = id;
    w.frame = frame;
    return w;
}

const auto move = &FakeWindowSystem::move;

}  // namespace

class TestWindowTiling : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cells_data()
    {
        QTest::addColumn<WindowTileSlot>("slot");
        QTest::addColumn<QRect>("visible");
        QTest::addColumn<QRect>("expected");
        const QRect odd(0, 0, 1439, 899);
        const QRect offset(1920, 30, 1440, 870);
        QTest::newRow("full") << WindowTileSlot::full << offset << offset;
        QTest::newRow("left half of an odd width") << WindowTileSlot::leftHalf << odd << QRect(0, 0, 719, 899);
        QTest::newRow("right half takes the rest") << WindowTileSlot::rightHalf << odd << QRect(719, 0, 720, 899);
        QTest::newRow("top left") << WindowTileSlot::topLeft << odd << QRect(0, 0, 719, 449);
        QTest::newRow("top right") << WindowTileSlot::topRight << odd << QRect(719, 0, 720, 449);
        QTest::newRow("bottom left") << WindowTileSlot::bottomLeft << odd << QRect(0, 449, 719, 450);
        QTest::newRow("bottom right") << WindowTileSlot::bottomRight << odd << QRect(719, 449, 720, 450);
        QTest::newRow("bottom right, offset frame")
            << WindowTileSlot::bottomRight << offset << QRect(2640, 465, 720, 435);
    }
    void cells()
    {
        QFETCH(WindowTileSlot, slot);
        QFETCH(QRect, visible);
        QFETCH(QRect, expected);
        QCOMPARE(WindowTilingService::cell(slot, visible), expected);
    }

    // What the window ends at when the application will not take the cell's
    // size, on a 1440 x 900 monitor.
    void placeAlignsOversizedWindows_data()
    {
        QTest::addColumn<WindowTileSlot>("slot");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("increment");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<int>("moves");
        QTest::newRow("fits") << WindowTileSlot::rightHalf << QSize(200, 100) << QSize() << QRect(720, 0, 720, 900)
                              << 1;
        QTest::newRow("minimum width 900 in the right half ends at the monitor's edge")
            << WindowTileSlot::rightHalf << QSize(900, 100) << QSize() << QRect(540, 0, 900, 900) << 2;
        QTest::newRow("... in the left half stays at the left edge")
            << WindowTileSlot::leftHalf << QSize(900, 100) << QSize() << QRect(0, 0, 900, 900) << 2;
        QTest::newRow("too tall in the bottom right")
            << WindowTileSlot::bottomRight << QSize(800, 500) << QSize() << QRect(640, 400, 800, 500) << 2;
        QTest::newRow("too tall in the top right moves only across")
            << WindowTileSlot::topRight << QSize(100, 500) << QSize() << QRect(720, 0, 720, 500) << 2;
        QTest::newRow("one pixel too wide is left alone")
            << WindowTileSlot::rightHalf << QSize(721, 100) << QSize() << QRect(720, 0, 721, 900) << 1;
        QTest::newRow("size increments leave it at the cell's top left")
            << WindowTileSlot::bottomRight << QSize(20, 20) << QSize(8, 13) << QRect(720, 450, 716, 449) << 1;
    }
    void placeAlignsOversizedWindows()
    {
        QFETCH(WindowTileSlot, slot);
        QFETCH(QSize, minimum);
        QFETCH(QSize, increment);
        QFETCH(QRect, expected);
        QFETCH(int, moves);
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { { QRect(0, 0, 1440, 900), QRect(0, 0, 1440, 900), true } };
        Window w = window(1, QRect(100, 100, 400, 300));
        w.minimumSize = minimum;
        w.increment = increment;
        windows.stack = { w };
        windows.focused = 1;
        WindowTilingService tiling(windows, clock);
        auto task = tiling.tileFocusedWindow(slot);
        QVERIFY(task.isReady());
        QCOMPARE(windows.find(1)->frame, expected);
        QCOMPARE(windows.moves.size(), moves);
    }

    void untileableWindowsStay_data()
    {
        QTest::addColumn<WindowFacts>("facts");
        QTest::newRow("minimized") << WindowFacts { true, true, false, false };
        QTest::newRow("full screen") << WindowFacts { true, false, true, false };
        QTest::newRow("dialog") << WindowFacts { false, false, false, false };
    }
    void untileableWindowsStay()
    {
        QFETCH(WindowFacts, facts);
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor };
        Window dialog = window(1, QRect(100, 100, 400, 300));
        dialog.facts = facts;
        windows.stack = { dialog, window(2, QRect(200, 200, 400, 300)) };
        windows.focused = 1;
        WindowTilingService tiling(windows, clock);
        tiling.tileFocusedWindow(WindowTileSlot::leftHalf);
        QCOMPARE(windows.moves, QStringList());
        // Nor does tile-all pick it: the other window takes the whole frame.
        tiling.tileAllWindows();
        QCOMPARE(windows.moves, QStringList { move(2, leftMonitor.visibleFrame) });
    }

    void focusedWindowChoosesItsMonitor()
    {
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor, rightMonitor };
        windows.pointer = QPoint(2000, 10);
        // Mostly on the right monitor.
        windows.stack = { window(1, QRect(1800, 100, 600, 400)), window(2, QRect(-3000, -3000, 400, 300)) };
        windows.focused = 1;
        WindowTilingService tiling(windows, clock);
        tiling.tileFocusedWindow(WindowTileSlot::leftHalf);
        QCOMPARE(windows.moves.last(), move(1, QRect(1920, 0, 720, 900)));
        // A window off every monitor goes to the one under the pointer...
        windows.focused = 2;
        tiling.tileFocusedWindow(WindowTileSlot::full);
        QCOMPARE(windows.moves.last(), move(2, rightMonitor.visibleFrame));
        // ... and without a pointer on any, to the primary one.
        windows.pointer.reset();
        windows.find(2)->frame = QRect(-3000, -3000, 400, 300);
        tiling.tileFocusedWindow(WindowTileSlot::full);
        QCOMPARE(windows.moves.last(), move(2, leftMonitor.visibleFrame));
    }

    void maximizedWindowIsReleasedFirst()
    {
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor };
        Window w = window(1, leftMonitor.visibleFrame);
        w.facts.maximized = true;
        windows.stack = { w };
        windows.focused = 1;
        WindowTilingService tiling(windows, clock);
        tiling.tileFocusedWindow(WindowTileSlot::rightHalf);
        QCOMPARE(windows.moves, (QStringList { QStringLiteral("1 unmaximize"), move(1, QRect(960, 30, 960, 1050)) }));
    }

    // Four of five go, front to back by the layout; whatever is too small,
    // elsewhere, invisible or MendoAI's own is passed over.
    void tileAllArrangesTheFrontFour()
    {
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor, rightMonitor };
        Window tiny = window(10, QRect(0, 0, 79, 400));
        Window flat = window(11, QRect(0, 0, 400, 59));
        Window elsewhere = window(12, QRect(2000, 100, 400, 300));
        Window invisible = window(13, QRect(0, 0, 400, 300));
        invisible.opacity = 0.0;
        Window own = window(14, QRect(0, 0, 400, 300));
        own.own = true;
        Window faint = window(4, QRect(0, 0, 400, 300));
        faint.opacity = 0.2;
        windows.stack = { tiny, window(1, QRect(10, 10, 400, 300)), flat, elsewhere, window(2, QRect(20, 20, 80, 60)),
            invisible, window(3, QRect(30, 30, 400, 300)), own, faint, window(5, QRect(50, 50, 400, 300)) };
        // No focused window: the main screen, the one under the pointer.
        windows.pointer = QPoint(5, 5);
        WindowTilingService tiling(windows, clock);
        tiling.tileAllWindows();
        QCOMPARE(windows.moves,
            (QStringList { move(1, QRect(0, 30, 960, 525)), move(2, QRect(960, 30, 960, 525)),
                move(3, QRect(0, 555, 960, 525)), move(4, QRect(960, 555, 960, 525)) }));
        QCOMPARE(windows.find(5)->frame, QRect(50, 50, 400, 300));
    }

    void tileAllLayouts_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");
        const QRect v = leftMonitor.visibleFrame;
        QTest::newRow("one") << 1 << QStringList { move(1, v) };
        QTest::newRow("two") << 2
                             << QStringList { move(1, QRect(0, 30, 960, 1050)), move(2, QRect(960, 30, 960, 1050)) };
        QTest::newRow("three") << 3
                               << QStringList { move(1, QRect(0, 30, 960, 1050)), move(2, QRect(960, 30, 960, 525)),
                                      move(3, QRect(960, 555, 960, 525)) };
    }
    void tileAllLayouts()
    {
        QFETCH(int, count);
        QFETCH(QStringList, expected);
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor, rightMonitor };
        for (int i = 1; i <= count; ++i)
            windows.stack << window(WindowId(i), QRect(100 * i, 100, 400, 300));
        // The focused window on the other monitor, off every list, chooses it.
        windows.stack << window(9, QRect(2000, 100, 400, 300));
        windows.stack.last().facts.standard = false;
        windows.focused = 9;
        windows.pointer = QPoint(2000, 10);
        WindowTilingService tiling(windows, clock);
        tiling.tileAllWindows();
        QCOMPARE(windows.moves, QStringList());
        windows.focused.reset();
        windows.pointer.reset();
        tiling.tileAllWindows();
        QCOMPARE(windows.moves, expected);
    }

    // Without an answer from the window manager a move waits 250 ms; a
    // second command waits for the first to end.
    void commandsWaitForTheWindowManagerInTurn()
    {
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor };
        Window w = window(1, QRect(100, 100, 400, 300));
        w.minimumSize = QSize(1000, 100);
        windows.stack = { w };
        windows.focused = 1;
        windows.answers = false;
        WindowTilingService tiling(windows, clock);
        auto first = tiling.tileFocusedWindow(WindowTileSlot::rightHalf);
        auto second = tiling.tileFocusedWindow(WindowTileSlot::leftHalf);
        QCOMPARE(windows.moves, QStringList { move(1, QRect(960, 30, 960, 1050)) });
        clock.advance(249ms);
        QCOMPARE(windows.moves.size(), 1);
        clock.advance(1ms);
        // Read back too wide: aligned to the right edge, again with a wait.
        QCOMPARE(windows.moves.last(), move(1, QRect(920, 30, 1000, 1050)));
        QVERIFY(!first.isReady());
        clock.advance(250ms);
        QVERIFY(first.isReady());
        QCOMPARE(windows.moves.last(), move(1, QRect(0, 30, 960, 1050)));
        clock.advance(500ms);
        QVERIFY(second.isReady());
    }

    void vanishedWindowEndsTheCommand()
    {
        FakeWindowSystem windows;
        FakeClock clock;
        windows.monitors = { leftMonitor };
        windows.stack = { window(1, QRect(100, 100, 400, 300)) };
        windows.focused = 7;
        WindowTilingService tiling(windows, clock);
        auto task = tiling.tileFocusedWindow(WindowTileSlot::full);
        QVERIFY(task.isReady());
        QCOMPARE(windows.moves, QStringList());
        windows.monitors.clear();
        windows.focused = 1;
        auto noScreen = tiling.tileAllWindows();
        QVERIFY(noScreen.isReady());
        QCOMPARE(windows.moves, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestWindowTiling)
#include "test_window_tiling_service.moc"
