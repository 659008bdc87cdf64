// Cutting a long selection into service-sized pieces, next to a plain
// grapheme count of the same text: the split must stay linear in the text's
// length whatever marks it finds (empty lines, line breaks, sentences, none).
#include "base/Text.h"
#include "engine/BackendText.h"

#include <benchmark/benchmark.h>

namespace {

enum Kind { paragraphs = 0, sentences = 1, oneWord = 2 };

QString makeText(qsizetype megabytes, int kind)
{
    const QString sentence = QStringLiteral("Привет, мир — hello world 👍🏽 and a flag 🇺🇦 here. ");
    QString unit;
    switch (kind) {
    case paragraphs:
        unit = sentence.repeated(4) + QStringLiteral("\n") + sentence.repeated(6) + QStringLiteral("\n\n");
        break;
    case sentences:
        unit = sentence.repeated(10);
        break;
    default:
        unit = QStringLiteral("x").repeated(500);
        break;
    }
    const qsizetype target = megabytes * 1024 * 1024;
    const qsizetype unitBytes = unit.toUtf8().size();
    return unit.repeated(target / unitBytes);
}

void BM_SplitForBackend(benchmark::State& state)
{
    const QString text = makeText(state.range(0), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(mendo::splitTextForBackendPieces(text, 2500));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
    state.SetComplexityN(state.range(0));
}

void BM_GraphemeCountSameText(benchmark::State& state)
{
    const QString text = makeText(state.range(0), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(mendo::text::graphemeCount(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}

}  // namespace

BENCHMARK(BM_SplitForBackend)
    ->ArgsProduct({ { 1, 2, 5, 10 }, { paragraphs } })
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitForBackend)->ArgsProduct({ { 10 }, { sentences, oneWord } })->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphemeCountSameText)
    ->ArgsProduct({ { 10 }, { paragraphs, sentences, oneWord } })
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
