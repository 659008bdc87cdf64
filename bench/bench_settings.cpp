// Loading and saving the whole settings record of a user with 200 styles of
// their own, over the JSON file store (what every settings change costs) and
// over memory (the share of the record's own coding).
#include "BenchSettings.h"
#include "model/NativeSettingsStore.h"
#include "base/Clock.h"
#include "platform/JsonFileUserDefaults.h"

#include "fakes/MemoryUserDefaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include "QtBenchmarkMain.h"

namespace {

mendo::RealClock realClock;

using mendo::bench::fullRecord;

template <class Defaults> void saveLoop(benchmark::State& state, Defaults& defaults)
{
    mendo::NativeSettingsStore store(defaults);
    mendo::MendoSettings s = fullRecord();
    int n = 0;
    for (auto _ : state) {
        // A real change each time, as when the user edits one field.
        s.clipboardLimit = 1 + (n++ % 1000);
        store.save(s);
        // The file store gathers changes for a moment; measure the write itself.
        defaults.flush();
    }
}

template <class Defaults> void loadLoop(benchmark::State& state, Defaults& defaults)
{
    mendo::NativeSettingsStore store(defaults);
    store.save(fullRecord());
    for (auto _ : state)
        benchmark::DoNotOptimize(store.load());
}

void BM_SaveToFile(benchmark::State& state)
{
    QTemporaryDir dir;
    mendo::JsonFileUserDefaults defaults(dir.filePath("defaults.json"), realClock);
    saveLoop(state, defaults);
}

void BM_LoadFromFileStore(benchmark::State& state)
{
    QTemporaryDir dir;
    mendo::JsonFileUserDefaults defaults(dir.filePath("defaults.json"), realClock);
    loadLoop(state, defaults);
}

// Opening the store reads and parses the whole file: the start-up cost.
void BM_OpenFileStore(benchmark::State& state)
{
    QTemporaryDir dir;
    {
        mendo::JsonFileUserDefaults defaults(dir.filePath("defaults.json"), realClock);
        mendo::NativeSettingsStore(defaults).save(fullRecord());
    }
    for (auto _ : state) {
        mendo::JsonFileUserDefaults defaults(dir.filePath("defaults.json"), realClock);
        benchmark::DoNotOptimize(defaults.keys());
    }
}

void BM_SaveToMemory(benchmark::State& state)
{
    mendo::MemoryUserDefaults defaults;
    saveLoop(state, defaults);
}

void BM_LoadFromMemory(benchmark::State& state)
{
    mendo::MemoryUserDefaults defaults;
    loadLoop(state, defaults);
}

BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFromFileStore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenFileStore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFromMemory)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv);
}
