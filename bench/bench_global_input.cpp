// The global input monitor over the real X server: one raw button event
// handled with the pointer query and the own-window test, with a panel of
// this process on screen; and the CPU the process takes while idle with a
// panel's dismiss monitors installed.
// Needs a display: scripts/with-session.sh build/bench/bench_global_input
#include "QtBenchmarkMain.h"
#include "base/Clock.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11PostedKeys.h"
#include "ui/FloatingPanelDismissMonitor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

using namespace mendo;

namespace {

struct Desk {
    RealClock clock;
    x11::X11Connection connection;
    x11::X11PostedKeys posted { clock };
    X11GlobalInputMonitor monitor { connection, posted };
    QWidget panel;

    Desk()
    {
        panel.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        panel.setGeometry(200, 200, 340, 260);
        panel.show();
        (void)QTest::qWaitForWindowExposed(&panel);
    }
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_RawButtonWithOwnWindowTest(benchmark::State& state)
{
    Desk desk;
    int delivered = 0;
    const int token
        = desk.monitor.addMonitor(GlobalInputEvent::mouseDowns(), [&](const GlobalInputEvent&) { ++delivered; });
    int opcode = 0, eventBase = 0, errorBase = 0;
    XQueryExtension(desk.connection.display(), "XInputExtension", &opcode, &eventBase, &errorBase);
    // A left-button press as the server sends it, its data already fetched.
    XIRawEvent raw {};
    raw.evtype = XI_RawButtonPress;
    raw.detail = 1;
    XEvent event {};
    event.xcookie.type = GenericEvent;
    event.xcookie.extension = opcode;
    event.xcookie.evtype = XI_RawButtonPress;
    event.xcookie.data = &raw;
    for (auto _ : state)
        desk.monitor.handleEvent(event);
    desk.monitor.removeMonitor(token);
    if (delivered == 0)
        state.SkipWithError("no event was delivered");
}
BENCHMARK(BM_RawButtonWithOwnWindowTest)->Unit(benchmark::kMicrosecond);

// Ten seconds of an idle event loop with a visible panel whose dismiss
// monitors watch this application and the whole desktop.
void BM_IdleWithDismissMonitors(benchmark::State& state)
{
    Desk desk;
    FloatingPanelDismissMonitor dismiss(
        &desk.panel, [] {}, desk.monitor);
    dismiss.install();
    for (auto _ : state) {
        const double before = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["cpu_percent"] = (cpuSeconds() - before) / (wall.elapsed() / 1000.0) * 100.0;
    }
    dismiss.remove();
}
BENCHMARK(BM_IdleWithDismissMonitors)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QApplication>(argc, argv, "bench_global_input");
}
