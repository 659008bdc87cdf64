// The clipboard window's search over a full history: 1000 entries of about
// 1 KB, ten of them about 100 KB, Latin and Cyrillic, filtered for a query
// as the user types it.
#include "app/AppStateRig.h"
#include "base/Text.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardPanelState.h"
#include "fakes/FakePasteboard.h"

#include "QtBenchmarkMain.h"
#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString textOfSize(int n, int size)
{
    QString text = QStringLiteral("%1 ").arg(n);
    while (text.size() < size)
        text += QStringLiteral("Copied words, Слова Из Буфера, résumé ");
    return text;
}

struct Setup {
    QTemporaryDir dir;
    mendo::AppStateRig app;
    mendo::FakePasteboard pasteboard;
    std::unique_ptr<mendo::ClipboardHistoryService> history;
    std::unique_ptr<mendo::ClipboardNotesService> notes;
    std::unique_ptr<mendo::ClipboardPanelState> state;

    Setup()
    {
        QList<mendo::ClipboardHistoryItem> items;
        for (int i = 0; i < 1000; ++i) {
            const QString text = textOfSize(i, i % 100 == 0 ? 100'000 : 1000);
            items.append({ QString::number(i), text, app.clock.wallNow(), mendo::text::graphemeCount(text) });
        }
        app.defaults.set(mendo::ClipboardHistoryService::storageKey, mendo::ClipboardHistoryService::encode(items));
        history = std::make_unique<mendo::ClipboardHistoryService>(app.clock, pasteboard, app.defaults);
        notes = std::make_unique<mendo::ClipboardNotesService>(dir.path(), app.defaults, app.clock);
        state = std::make_unique<mendo::ClipboardPanelState>(*history, *notes, app.defaults);
    }
};

// One keystroke: the search text grows by a letter and the found list and
// its count are computed again, as the window does to draw them.
void BM_SearchKeystroke(benchmark::State& bench)
{
    Setup setup;
    const QString query = QStringLiteral("слова из буфера, résumé copied");
    setup.state->setSearchText(QStringLiteral("c"));
    (void)setup.state->filteredHistoryItems();  // the window drew once before
    int length = 1;
    for (auto _ : bench) {
        length = length % query.size() + 1;
        setup.state->setSearchText(query.left(length));
        benchmark::DoNotOptimize(setup.state->filteredHistoryItems());
        benchmark::DoNotOptimize(setup.state->foundCount());
    }
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

// The first keystroke after the window opened: every text folded afresh.
void BM_FirstSearchKeystroke(benchmark::State& bench)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        Setup setup;
        bench.ResumeTiming();
        setup.state->setSearchText(QStringLiteral("б"));
        benchmark::DoNotOptimize(setup.state->filteredHistoryItems());
    }
}
BENCHMARK(BM_FirstSearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv);
}
