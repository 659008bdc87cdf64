// The settings window's Clipboard page over a full history of 1000 entries of
// 2000 characters, Latin and Cyrillic, stored in the JSON file store: the
// page shown (made, laid out, the rows in view painted), and one delete
// redrawn, the history's synchronous save (encoding and the file's rewrite
// with its fsync) included. Drawn offscreen.
#include "settings/ClipboardUpdatesRig.h"

#include "base/Text.h"
#include "clipboard/ClipboardEntryList.h"
#include "platform/JsonFileUserDefaults.h"
#include "settings/ClipboardSettingsView.h"

#include "BenchTexts.h"
#include "QtBenchmarkMain.h"
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using mendo::bench::copiedText;

struct Setup {
    QTemporaryDir dir;
    mendo::SettingsRig rig { [](mendo::MendoSettings& s) { s.clipboardLimit = 1000; } };
    std::unique_ptr<mendo::JsonFileUserDefaults> defaults;
    std::unique_ptr<mendo::ClipboardHistoryService> history;
    std::unique_ptr<mendo::MainSettingsView> window;
    int next = 1000;

    Setup()
    {
        defaults = std::make_unique<mendo::JsonFileUserDefaults>(dir.filePath(QStringLiteral("defaults.json")), rig.clock);
        QList<mendo::ClipboardHistoryItem> items;
        for (int i = 0; i < 1000; ++i) {
            const QString text = copiedText(i, 2000);
            items.append({ QString::number(i), text, rig.clock.wallNow(), mendo::text::graphemeCount(text) });
        }
        defaults->set(mendo::ClipboardHistoryService::storageKey, mendo::ClipboardHistoryService::encode(items));
        defaults->flush();
        history = std::make_unique<mendo::ClipboardHistoryService>(rig.clock, rig.pasteboard, *defaults);
        history->attach(*rig.state);
        rig.clock.advance(mendo::Millis(0));
        defaults->flush();
    }
    ~Setup() { window.reset(); }

    void makeWindow()
    {
        window.reset();
        window = std::make_unique<mendo::MainSettingsView>(mendo::MainSettingsEnvironment { *rig.state, rig.quickPanel,
            rig.statusHUD, rig.hotkeys, rig.menuBar, *history, rig.clipboardPanel, rig.assistantPanel,
            rig.updateManager, rig.platform, rig.selection, rig.layouts, rig.builtInDisplay });
        window->resize(900, 640);
        window->show();
        window->grab();
    }
    mendo::ClipboardSettingsView* page()
    {
        return qobject_cast<mendo::ClipboardSettingsView*>(window->page(mendo::SettingsPage::clipboard));
    }
};

void BM_ClipboardPageShown(benchmark::State& bench)
{
    Setup setup;
    for (auto _ : bench) {
        bench.PauseTiming();
        setup.rig.state->setSelectedSettingsPage(mendo::SettingsPage::general);
        setup.makeWindow();
        bench.ResumeTiming();
        setup.rig.state->setSelectedSettingsPage(mendo::SettingsPage::clipboard);
        QCoreApplication::sendPostedEvents();
        benchmark::DoNotOptimize(setup.window->grab());
    }
    if (setup.page()->list()->entries().size() != 1000)
        bench.SkipWithError("the page does not list the whole history");
}
BENCHMARK(BM_ClipboardPageShown)->Unit(benchmark::kMillisecond);

void BM_DeleteRedrawn(benchmark::State& bench)
{
    Setup setup;
    setup.rig.state->setSelectedSettingsPage(mendo::SettingsPage::clipboard);
    setup.makeWindow();
    mendo::ClipboardSettingsView* page = setup.page();
    for (auto _ : bench) {
        const QString id = setup.history->items().at(3).id;
        page->deleteEntry(id);
        setup.defaults->flush();
        benchmark::DoNotOptimize(page->list()->viewport()->grab());
        bench.PauseTiming();
        setup.history->record(copiedText(setup.next++, 2000));
        setup.defaults->flush();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteRedrawn)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
