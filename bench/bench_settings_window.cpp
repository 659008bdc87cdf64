// The settings window, drawn offscreen over fakes with a full profile (200
// user styles): its first showing with the General page, the first visit of
// another page (made then) and a visit of a page made before.
#include "BenchSettings.h"
#include "QtBenchmarkMain.h"
#include "settings/SettingsRig.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<mendo::SettingsRig> makeRig()
{
    return std::make_unique<mendo::SettingsRig>([](mendo::MendoSettings& s) {
        const mendo::MendoSettings full = mendo::bench::fullRecord();
        s.promptStyles = full.promptStyles;
        s.quickMenuActions = full.quickMenuActions;
        s.quickMenuOrder = full.quickMenuOrder;
    });
}

// Made, laid out and painted, as the window opens.
void show(mendo::MainSettingsView& view)
{
    view.show();
    view.repaint();
}

void BM_FirstShowingWithGeneral(benchmark::State& bench)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        auto rig = makeRig();
        bench.ResumeTiming();
        show(rig->makeView());
        bench.PauseTiming();
        rig.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_FirstShowingWithGeneral)->Unit(benchmark::kMillisecond)->Iterations(10);

// The Permissions page selected for the first time: made and drawn.
void BM_FirstVisitOfAPage(benchmark::State& bench)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        auto rig = makeRig();
        show(rig->makeView());
        bench.ResumeTiming();
        rig->state->setSelectedSettingsPage(mendo::SettingsPage::permissions);
        rig->view->repaint();
        bench.PauseTiming();
        rig.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_FirstVisitOfAPage)->Unit(benchmark::kMillisecond)->Iterations(10);

// Back and forth between two pages made before: each switch drawn.
void BM_RevisitOfAPage(benchmark::State& bench)
{
    auto rig = makeRig();
    show(rig->makeView());
    rig->state->setSelectedSettingsPage(mendo::SettingsPage::permissions);
    rig->view->repaint();
    bool general = true;
    for (auto _ : bench) {
        rig->state->setSelectedSettingsPage(general ? mendo::SettingsPage::general : mendo::SettingsPage::permissions);
        rig->view->repaint();
        general = !general;
    }
}
BENCHMARK(BM_RevisitOfAPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Drawn offscreen: the figures are the window's own, not the X server's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
