// The address-field scan that runs on the left- and right-half hotkeys while
// a browser is in front: a walk of the front window over AT-SPI, at most 400
// elements. Measured on a Qt window with 400 labels laid out before its text
// field, so the walk spends its whole budget. Needs a display:
//   scripts/with-session.sh build/bench/bench_browser_scan
#include "base/Clock.h"
#include "desktop/ChromeAppWindowService.h"
#include "desktop/WindowTilingService.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakeWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "platform/BrowserControl.h"
#include "platform/atspi/AtspiAccessibility.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <benchmark/benchmark.h>
#include "QtBenchmarkMain.h"

using namespace mendo;

namespace {

class NoBrowser final : public BrowserControl {
public:
    bool openAppWindow(const RunningApplication&, const QString&) override { return false; }
};

void BM_AddressFieldScan(benchmark::State& state)
{
    RealClock clock;
    AtspiAccessibility ax(clock);
    QProcess target;
    target.start(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--labels"), QString::number(state.range(0)) });
    if (!target.waitForReadyRead(15000)) {
        state.SkipWithError("the target did not start");
        return;
    }
    const qint32 pid = qint32(target.processId());
    // The target, seen as a browser in front.
    FakeWorkspace workspace;
    workspace.front = RunningApplication { pid, QStringLiteral("chromium"), 1 };
    QDeadlineTimer deadline(15000);
    while (!ax.elementAttribute(ax.applicationElement(pid), ax::FocusedWindow) && !deadline.hasExpired())
        QTest::qWait(50);
    if (deadline.hasExpired()) {
        state.SkipWithError("the target's window is not in the accessibility tree");
        return;
    }
    FakeWindowSystem windows;
    FakeKeyboardEvents keyboard;
    NoBrowser browser;
    WindowTilingService tiling(windows, clock);
    ChromeAppWindowService service(workspace, ax, browser, keyboard, tiling, clock);
    for (auto _ : state)
        benchmark::DoNotOptimize(service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
    target.kill();
    target.waitForFinished(3000);
}
BENCHMARK(BM_AddressFieldScan)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv, "bench_browser_scan");
}
