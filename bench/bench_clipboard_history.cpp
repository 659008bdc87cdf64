// The clipboard history's cost on the main thread: per copy, at start-up, and
// what it adds to every other settings write, with the history in its own
// file (written by a worker thread) and, for comparison, inside the
// user-defaults file as it used to be.
#include "app/AppStateRig.h"
#include "base/Text.h"
#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakePasteboard.h"
#include "platform/JsonFileUserDefaults.h"

#include "QtBenchmarkMain.h"
#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// About `size` characters of mixed Latin, Cyrillic and emoji text,
// different for each n.
QString textOf(int n, qsizetype size)
{
    QString text = QStringLiteral("%1 ").arg(n);
    const QString words = QStringLiteral("Copied words, слова из буфера 📋 ");
    text.reserve(size + words.size());
    while (text.size() < size)
        text += words;
    text.truncate(size);
    return text;
}

QString kilobyteText(int n)
{
    return textOf(n, 1000);
}

struct Setup {
    QTemporaryDir dir;
    mendo::AppStateRig app;
    mendo::FakePasteboard pasteboard;
    std::unique_ptr<mendo::JsonFileUserDefaults> defaults;
    std::unique_ptr<mendo::ClipboardHistoryService> history;
    // Empty: the history inside the user defaults, as before.
    QString folder;

    Setup(int entries, qsizetype entrySize, bool ownFile)
        : folder(ownFile ? dir.filePath(QStringLiteral("MendoAI")) : QString())
    {
        app.state->editSettings([](mendo::MendoSettings& s) { s.clipboardLimit = 1000; });
        defaults = std::make_unique<mendo::JsonFileUserDefaults>(dir.filePath(QStringLiteral("defaults.json")), app.clock);
        QList<mendo::ClipboardHistoryItem> items;
        for (int i = 0; i < entries; ++i) {
            const QString text = textOf(i, entrySize);
            items.append({ QString::number(i), text, app.clock.wallNow(), mendo::text::graphemeCount(text) });
        }
        if (entries > 0)
            defaults->set(mendo::ClipboardHistoryService::storageKey, mendo::ClipboardHistoryService::encode(items));
        defaults->flush();
        open();
    }
    void open()
    {
        history.reset();
        // A history in the defaults moves into its own file here, once.
        history = std::make_unique<mendo::ClipboardHistoryService>(app.clock, pasteboard, *defaults, folder);
        history->attach(*app.state);
        app.clock.flush();
        settle();
    }
    // The coalesced writes done, off the clock of the measurement.
    void settle()
    {
        app.clock.advance(mendo::ClipboardHistoryStore::writeDelay);
        history->store().flush();
        defaults->flush();
    }
};

// A panel's width saved on a resize, with 100 entries of 1 MB (the default
// limit) in the history: the main thread's whole cost of the write.
void savePanelWidth(benchmark::State& state, bool ownFile)
{
    Setup setup(100, 1024 * 1024, ownFile);
    double width = 400;
    for (auto _ : state) {
        setup.defaults->set(QStringLiteral("mendo.clipboardPanel.width"), width++);
        setup.defaults->flush();
    }
}
void BM_SavePanelWidthWithLargeHistory(benchmark::State& state)
{
    savePanelWidth(state, true);
}
void BM_SavePanelWidthWithLargeHistoryInDefaults(benchmark::State& state)
{
    savePanelWidth(state, false);
}

// One copy of `size` characters seen and recorded: the read through the
// pasteboard, the trim, the count and the list update, and handing the list
// to the writer. The file itself is written by the worker thread.
void recordCopy(benchmark::State& state, qsizetype size)
{
    Setup setup(0, 0, true);
    QString text = textOf(0, size);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.settle();
        setup.history->clear();
        setup.settle();
        text[0] = QChar(u'A' + (n++ % 26));
        // The owner's side: another application copies.
        setup.pasteboard.copyFromOutside(text);
        state.ResumeTiming();
        setup.app.clock.advance(mendo::ClipboardHistoryService::pollInterval);
    }
    if (setup.history->items().size() != 1)
        state.SkipWithError("the copy was not recorded");
}
void BM_RecordOneMegabyteCopy(benchmark::State& state)
{
    recordCopy(state, 1024 * 1024);
}
void BM_RecordTenMegabyteCopy(benchmark::State& state)
{
    recordCopy(state, 10 * 1024 * 1024);
}

// A 1 KB copy into a full history of 1000 entries of 1 KB.
void BM_RecordIntoFullHistory(benchmark::State& state)
{
    Setup setup(1000, 1000, true);
    int n = 1000;
    for (auto _ : state) {
        setup.history->record(kilobyteText(n++));
        state.PauseTiming();
        setup.settle();
        state.ResumeTiming();
    }
    if (setup.history->items().size() != 1000)
        state.SkipWithError("the history is not full");
}

void BM_LoadFullHistory(benchmark::State& state)
{
    Setup setup(1000, 1000, true);
    for (auto _ : state) {
        mendo::ClipboardHistoryService history(setup.app.clock, setup.pasteboard, *setup.defaults, setup.folder);
        benchmark::DoNotOptimize(history.items().size());
    }
}

}  // namespace

BENCHMARK(BM_SavePanelWidthWithLargeHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePanelWidthWithLargeHistoryInDefaults)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RecordOneMegabyteCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordTenMegabyteCopy)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RecordIntoFullHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFullHistory)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv);
}
