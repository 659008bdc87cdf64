// The Quick Menu page of the settings window, drawn offscreen over fakes with
// a full profile (217 actions: the built-in ones and 200 user styles): its
// first showing, and one move of an action with its two saves, drawn again.
#include "BenchSettings.h"
#include "QtBenchmarkMain.h"
#include "settings/QuickMenuSettingsView.h"
#include "settings/SettingsRig.h"

#include <QApplication>
#include <QToolButton>
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

void showWindow(mendo::SettingsRig& rig)
{
    rig.makeView().show();
    rig.view->repaint();
}

// Selected for the first time: the page made with a row for each of the 220
// actions it can offer, laid out and drawn.
void BM_QuickMenuFirstShowing(benchmark::State& bench)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        auto rig = makeRig();
        showWindow(*rig);
        bench.ResumeTiming();
        rig->state->setSelectedSettingsPage(mendo::SettingsPage::quickMenu);
        rig->view->repaint();
        bench.PauseTiming();
        rig.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_QuickMenuFirstShowing)->Unit(benchmark::kMillisecond)->Iterations(10);

// A row's down arrow, then the same row's up arrow: each a move that stores
// the order and the actions (two saves, each published to the whole window),
// with the window drawn again.
void BM_QuickMenuMoveRedrawn(benchmark::State& bench)
{
    auto rig = makeRig();
    showWindow(*rig);
    rig->state->setSelectedSettingsPage(mendo::SettingsPage::quickMenu);
    rig->view->repaint();
    auto* page = rig->shownPage<mendo::QuickMenuSettingsView>();
    bool down = true;
    for (auto _ : bench) {
        if (down)
            page->actionRows()[2]->downButton()->click();
        else
            page->actionRows()[3]->upButton()->click();
        rig->view->repaint();
        down = !down;
    }
}
BENCHMARK(BM_QuickMenuMoveRedrawn)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Drawn offscreen: the figures are the page's own, not the X server's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
