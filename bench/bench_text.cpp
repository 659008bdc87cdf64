// Grapheme counting and trimming of a 10 MB mixed Latin/Cyrillic/emoji text:
// the cost every length check and trim pays on the largest texts a user
// may select.
#include "base/Text.h"

#include <benchmark/benchmark.h>

namespace {

const QString& tenMegabytes()
{
    static const QString text = [] {
        const QString chunk = QString::fromUtf8(
            "Hello, world! Привет, мир! 👨‍👩‍👧‍👦 🇺🇦 👍🏽 cafe\u0301 — typed fast\r\n");
        QString result;
        const qsizetype bytesPerChunk = chunk.toUtf8().size();
        const qsizetype chunks = 10 * 1024 * 1024 / bytesPerChunk;
        result.reserve(chunks * chunk.size() + 8);
        result += QStringLiteral("  \u00A0\n");
        for (qsizetype i = 0; i < chunks; ++i)
            result += chunk;
        result += QStringLiteral("\u3000 \n");
        return result;
    }();
    return text;
}

void BM_GraphemeCount(benchmark::State& state)
{
    const QString& text = tenMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(mendo::text::graphemeCount(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}

void BM_Trim(benchmark::State& state)
{
    const QString& text = tenMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(mendo::text::trimmed(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}

void BM_GraphemePrefix2500(benchmark::State& state)
{
    const QString& text = tenMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(mendo::text::graphemePrefix(text, 2500));
}

}  // namespace

BENCHMARK(BM_GraphemeCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trim)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphemePrefix2500)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
