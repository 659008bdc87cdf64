// The clipboard history's cost per copy and at start-up, over the JSON file
// store: a full history of 1000 entries of about 1 KB each is re-encoded and
// the user-defaults file rewritten (with its fsync) at every record.
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

// About 1 KB of mixed Latin, Cyrillic and emoji text, different for each n.
QString kilobyteText(int n)
{
    QString text = QStringLiteral("%1 ").arg(n);
    while (text.size() < 1000)
        text += QStringLiteral("Copied words, слова из буфера 📋 ");
    return text;
}

struct Setup {
    QTemporaryDir dir;
    mendo::AppStateRig app;
    mendo::FakePasteboard pasteboard;
    std::unique_ptr<mendo::JsonFileUserDefaults> defaults;
    std::unique_ptr<mendo::ClipboardHistoryService> history;

    explicit Setup(int entries)
    {
        app.state->editSettings([](mendo::MendoSettings& s) { s.clipboardLimit = 1000; });
        defaults = std::make_unique<mendo::JsonFileUserDefaults>(dir.filePath(QStringLiteral("defaults.json")));
        QList<mendo::ClipboardHistoryItem> items;
        for (int i = 0; i < entries; ++i) {
            const QString text = kilobyteText(i);
            items.append({ QString::number(i), text, app.clock.wallNow(), mendo::text::graphemeCount(text) });
        }
        defaults->set(mendo::ClipboardHistoryService::storageKey, mendo::ClipboardHistoryService::encode(items));
        open();
    }
    void open()
    {
        history.reset();
        history = std::make_unique<mendo::ClipboardHistoryService>(app.clock, pasteboard, *defaults);
        history->attach(*app.state);
        app.clock.flush();
    }
};

void BM_RecordIntoFullHistory(benchmark::State& state)
{
    Setup setup(1000);
    int n = 1000;
    for (auto _ : state)
        setup.history->record(kilobyteText(n++));
    if (setup.history->items().size() != 1000)
        state.SkipWithError("the history is not full");
}

void BM_RecordTenMegabytes(benchmark::State& state)
{
    Setup setup(0);
    QString text = kilobyteText(0);
    while (text.size() < 10 * 1024 * 1024)
        text += text;
    text.truncate(10 * 1024 * 1024);
    int n = 0;
    for (auto _ : state) {
        // Into an empty history each time, with a new text: the same text
        // again would be refused as seen.
        state.PauseTiming();
        setup.history->clear();
        text[0] = QChar(u'A' + (n++ % 26));
        state.ResumeTiming();
        setup.history->record(text);
    }
}

void BM_LoadFullHistory(benchmark::State& state)
{
    Setup setup(1000);
    for (auto _ : state) {
        mendo::ClipboardHistoryService history(setup.app.clock, setup.pasteboard, *setup.defaults);
        benchmark::DoNotOptimize(history.items().size());
    }
}

}  // namespace

BENCHMARK(BM_RecordIntoFullHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordTenMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFullHistory)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv);
}
