// The Shortcuts page with a full profile (217 styles, each a row with its
// hotkey field), drawn offscreen over fakes: its first showing in an open
// settings window, made then.
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

void BM_ShortcutsFirstShown(benchmark::State& bench)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        auto rig = makeRig();
        rig->makeView().show();
        rig->view->repaint();
        bench.ResumeTiming();
        rig->state->setSelectedSettingsPage(mendo::SettingsPage::shortcuts);
        rig->view->repaint();
        bench.PauseTiming();
        if (rig->state->promptStyles().size() != 217)
            bench.SkipWithError("not the full profile");
        rig.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_ShortcutsFirstShown)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    // Drawn offscreen: the figures are the page's own, not the X server's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
