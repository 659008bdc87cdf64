// Naming the language of a chat message before an AI reply is asked for: it
// runs on every reply, on the main thread, so a long message must stay cheap.
#include "platform/LanguageDetector.h"

#include <benchmark/benchmark.h>

using namespace mendo;

namespace {

QString message(const char* sentence)
{
    const QString unit = QString::fromUtf8(sentence);
    QString text;
    while (text.size() < 2500)
        text += unit;
    return text.left(2500);
}

void detect(benchmark::State& state, const QString& text)
{
    const Cld2LanguageDetector detector;
    for (auto _ : state)
        benchmark::DoNotOptimize(detector.dominantLanguage(text));
}

void BM_DetectLatin2500(benchmark::State& state)
{
    detect(state, message("Hast du heute Zeit für ein Mittagessen? Ich möchte über die Reise sprechen. "));
}

void BM_DetectCyrillic2500(benchmark::State& state)
{
    detect(state, message("Здравейте, ще дойдете ли утре на срещата? Трябва да обсъдим новия проект. "));
}

}  // namespace

BENCHMARK(BM_DetectLatin2500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DetectCyrillic2500)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
