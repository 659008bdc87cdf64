// The clipboard window over a full history: 1000 entries of about 1 KB, ten
// of them about 100 KB, Latin and Cyrillic. The search as the user types it
// (the state alone, then with the list drawn again), the window's first
// showing, and the preview moving between two entries of a megabyte. The
// window is drawn offscreen.
#include "app/AppStateRig.h"
#include "base/Text.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardPanelState.h"
#include "clipboard/ClipboardEntryList.h"
#include "clipboard/ClipboardHistoryPanel.h"
#include "clipboard/ClipboardPanelRig.h"
#include "clipboard/ClipboardSidePreview.h"
#include "fakes/FakePasteboard.h"
#include "ui/FloatingPanel.h"

#include <QApplication>
#include <QPlainTextEdit>

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

QList<mendo::ClipboardHistoryItem> fullHistory(const QDateTime& now)
{
    QList<mendo::ClipboardHistoryItem> items;
    for (int i = 0; i < 1000; ++i) {
        const QString text = textOfSize(i, i % 100 == 0 ? 100'000 : 1000);
        items.append({ QString::number(i), text, now, mendo::text::graphemeCount(text) });
    }
    return items;
}

// The real controller and window over fakes, 760 x 860, the history staged.
struct WindowSetup {
    mendo::AppStateRig app;
    std::unique_ptr<mendo::ClipboardPanelRig> rig;

    explicit WindowSetup(const QList<mendo::ClipboardHistoryItem>& items)
    {
        app.defaults.set(mendo::ClipboardHistoryService::storageKey, mendo::ClipboardHistoryService::encode(items));
        app.defaults.set(QStringLiteral("mendo.clipboardPanel.width"), 760.0);
        app.defaults.set(QStringLiteral("mendo.clipboardPanel.height"), 860.0);
        rig = std::make_unique<mendo::ClipboardPanelRig>(app.clock, app.defaults);
    }
    mendo::ClipboardHistoryPanel& view() { return *rig->controller->view(); }
    void draw() { rig->controller->panel()->repaint(); }
};

// From the hotkey to a drawn window: made, laid out, the visible rows and
// the preview painted.
void BM_FirstShowing(benchmark::State& bench)
{
    const QList<mendo::ClipboardHistoryItem> items = fullHistory(QDateTime::currentDateTime());
    for (auto _ : bench) {
        bench.PauseTiming();
        auto setup = std::make_unique<WindowSetup>(items);
        bench.ResumeTiming();
        setup->rig->controller->show();
        setup->draw();
        bench.PauseTiming();
        setup.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_FirstShowing)->Unit(benchmark::kMillisecond)->Iterations(10);

// One keystroke in the search field until the list shows what was found.
void BM_SearchKeystrokeRedrawn(benchmark::State& bench)
{
    WindowSetup setup(fullHistory(QDateTime::currentDateTime()));
    setup.rig->controller->show();
    setup.draw();
    const QString query = QStringLiteral("слова из буфера, résumé copied");
    int length = 0;
    for (auto _ : bench) {
        length = length % query.size() + 1;
        setup.view().state().setSearchText(query.left(length));
        setup.view().historyList()->viewport()->repaint();
    }
}
BENCHMARK(BM_SearchKeystrokeRedrawn)->Unit(benchmark::kMillisecond);

// The selection moved between two entries of a megabyte (paragraphs of
// Latin and Cyrillic): the preview shows the other one and is drawn.
void BM_PreviewBetweenMegabyteEntries(benchmark::State& bench)
{
    const QDateTime now = QDateTime::currentDateTime();
    QList<mendo::ClipboardHistoryItem> items;
    for (int i = 0; i < 2; ++i) {
        QString text;
        while (text.size() < 1'000'000)
            text += textOfSize(i, 400) + QLatin1Char('\n');
        items.append({ QStringLiteral("big%1").arg(i), text, now, mendo::text::graphemeCount(text) });
    }
    WindowSetup setup(items);
    setup.rig->controller->show();
    setup.draw();
    int n = 0;
    for (auto _ : bench) {
        setup.view().state().selectItem(items[++n % 2].id);
        setup.view().historyPreview()->textView()->viewport()->repaint();
    }
}
BENCHMARK(BM_PreviewBetweenMegabyteEntries)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Drawn offscreen: the figures are the window's own, not the X server's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
