// Wrong-layout conversion of 1 MB (UTF-8) of mixed text with the maps of the
// two input sources already built: the cost of the layout fix on the largest
// selection a user may make.
#include "engine/KeyboardLayoutService.h"
#include "fakes/FakeInputSources.h"

#include <benchmark/benchmark.h>

namespace {

const QString& oneMegabyte()
{
    static const QString text = [] {
        const QString chunk = QString::fromUtf8("ghbdtn, rfr ltkf? Ctujlyz [jhjifz gjujlf - 42 ujhjlf! ok 👍🏽 "
                                                "мир, cafe\u0301 \"nt,t\" {}<>\n");
        QString result;
        const qsizetype chunks = 1024 * 1024 / chunk.toUtf8().size();
        result.reserve(chunks * chunk.size());
        for (qsizetype i = 0; i < chunks; ++i)
            result += chunk;
        return result;
    }();
    return text;
}

void BM_FixOneMegabyte(benchmark::State& state)
{
    mendo::FakeInputSources sources;
    sources.add("us", "English (US)",
        mendo::FakeInputSources::layoutFromRows(
            "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./", "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>?"));
    sources.add("ru", "Russian",
        mendo::FakeInputSources::layoutFromRows(QStringLiteral("ё1234567890-=йцукенгшщзхъ\\фывапролджэячсмитьбю."),
            QStringLiteral("Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪ/ФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,")));
    mendo::KeyboardLayoutService service(sources);
    const QString& text = oneMegabyte();
    service.fix(QStringLiteral("warm up"), "ABC", QStringLiteral("Русская — ПК"));

    for (auto _ : state) {
        auto result = service.fix(text, "ABC", QStringLiteral("Русская — ПК"));
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
BENCHMARK(BM_FixOneMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
