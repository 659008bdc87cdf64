// MendoAI's start-up over the real desktop: the X11 and AT-SPI seams, the
// engine, the long-lived objects, the main window and the wiring, measured
// until the global hotkeys are registered; and the resident memory of the
// process once MendoAI has started. The user defaults live in a fresh folder.
// Needs a display: scripts/with-session.sh build/bench/bench_startup
#include "ProcessUsage.h"
#include "shell/MendoNativeApp.h"
#include "shell/RealPlatform.h"
#include "hotkeys/HotkeyService.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>

using namespace mendo;

namespace {

double residentMegabytes()
{
    return std::max<qint64>(0, bench::statusKb(getpid(), "VmRSS")) / 1024.0;
}

// One start: the real desktop, the application object and its start-up, until
// the hotkeys are registered. The first run in a process pays for the X
// connections, fonts and the accessibility bus.
void startOnce(benchmark::State& state)
{
    MendoNativeApp::Factory factory;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        auto desktop = std::make_unique<RealPlatform>();
        auto app = std::make_unique<MendoNativeApp>(desktop->platform(), factory);
        app->start();
        const auto end = std::chrono::steady_clock::now();
        if (app->hotkeys().registeredActions().isEmpty()) {
            state.SkipWithError("no hotkey was registered");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
        // Let the window show and paint before the memory is read.
        QTest::qWait(300);
        state.counters["rss_MB"] = residentMegabytes();
        app.reset();
        desktop.reset();
        QCoreApplication::processEvents();
    }
}

void BM_FirstStart(benchmark::State& state)
{
    startOnce(state);
}
BENCHMARK(BM_FirstStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LaterStart(benchmark::State& state)
{
    startOnce(state);
}
BENCHMARK(BM_LaterStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_startup needs a display: run it inside scripts/with-session.sh\n");
        return 0;
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    const auto begin = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    const std::chrono::duration<double, std::milli> qtSetUp = std::chrono::steady_clock::now() - begin;
    QApplication::setQuitOnLastWindowClosed(false);
    std::fprintf(stderr, "Qt's own set-up before MendoAI starts: %.1f ms, resident memory then: %.1f MB\n",
        qtSetUp.count(), residentMegabytes());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
