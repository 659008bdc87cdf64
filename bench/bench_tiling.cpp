// Window tiling over the real window manager. Needs a display:
//   scripts/with-session.sh build/bench/bench_tiling
//
// BM_StackingList40 / BM_StackingList200: the tile-all candidates among 40
// and 200 managed windows (every window's desktop, map state, type, frame,
// opacity, process and state read from the X server, the monitors and their
// docks with them). BM_TileAllFour: tile-all of four scattered windows until
// the window manager has answered every move.
#include "base/Clock.h"
#include "desktop/WindowTilingService.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowSystem.h"

#include <QApplication>
#include <QTest>

#include "QtBenchmarkMain.h"
#include <benchmark/benchmark.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace mendo;

namespace {

// Plain top-level windows of another client, as applications make them:
// normal type, a class, a process id that is not ours.
class Windows {
public:
    explicit Windows(int count)
    {
        m_display = XOpenDisplay(nullptr);
        const Window root = DefaultRootWindow(m_display);
        const Atom type = XInternAtom(m_display, "_NET_WM_WINDOW_TYPE", False);
        const Atom normal = XInternAtom(m_display, "_NET_WM_WINDOW_TYPE_NORMAL", False);
        const Atom pid = XInternAtom(m_display, "_NET_WM_PID", False);
        for (int i = 0; i < count; ++i) {
            // Forty steps down the screen, then from the top again.
            const int step = i % 40;
            const Window window
                = XCreateSimpleWindow(m_display, root, 20 * step, 15 * step, 300, 200, 0, 0, 0xFFFFFF);
            XClassHint hint { const_cast<char*>("bench"), const_cast<char*>("Bench") };
            XSetClassHint(m_display, window, &hint);
            XChangeProperty(m_display, window, type, XA_ATOM, 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(&normal), 1);
            const long owner = 1;
            XChangeProperty(m_display, window, pid, XA_CARDINAL, 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(&owner), 1);
            XMapWindow(m_display, window);
            m_windows.push_back(window);
        }
        XSync(m_display, False);
        // The window manager frames them.
        QTest::qWait(1000);
    }
    ~Windows()
    {
        for (const Window window : m_windows)
            XDestroyWindow(m_display, window);
        XCloseDisplay(m_display);
    }
    void scatter()
    {
        for (std::size_t i = 0; i < m_windows.size(); ++i)
            XMoveResizeWindow(m_display, m_windows[i], 100 + 30 * int(i), 100 + 20 * int(i), 300, 200);
        XSync(m_display, False);
        QTest::qWait(50);
    }

private:
    Display* m_display = nullptr;
    std::vector<Window> m_windows;
};

struct Tiling {
    x11::X11Connection connection;
    X11WindowSystem windows { connection };
    RealClock clock;
    WindowTilingService service { windows, clock };
};

void stackingList(benchmark::State& state, int count)
{
    Windows windows(count);
    Tiling tiling;
    const MonitorFrame screen = tiling.windows.screens().first();
    qsizetype found = 0;
    for (auto _ : state)
        found = tiling.service.windowsInStackingOrder(screen).size();
    state.counters["tileable"] = double(found);
}

void BM_StackingList40(benchmark::State& state)
{
    stackingList(state, 40);
}
BENCHMARK(BM_StackingList40)->Unit(benchmark::kMillisecond);

// The growth with the number of windows: only the bytes of the answers.
void BM_StackingList200(benchmark::State& state)
{
    stackingList(state, 200);
}
BENCHMARK(BM_StackingList200)->Unit(benchmark::kMillisecond);

void BM_TileAllFour(benchmark::State& state)
{
    Windows windows(4);
    Tiling tiling;
    for (auto _ : state) {
        state.PauseTiming();
        windows.scatter();
        state.ResumeTiming();
        auto task = tiling.service.tileAllWindows();
        while (!task.isReady())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}
BENCHMARK(BM_TileAllFour)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QApplication>(argc, argv, "bench_tiling");
}
