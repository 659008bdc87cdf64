#pragma once

#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <cstdio>

// Runs the registered benchmarks inside a Qt application object of type App
// (QCoreApplication, or QApplication for those that need the desktop). A
// benchmark that needs a display says so and skips instead of failing when
// there is none.
template <class App>
int runBenchmarksInQt(int argc, char** argv, const char* needsDisplayName = nullptr)
{
    if (needsDisplayName && qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "%s needs a display: run it inside scripts/with-session.sh\n", needsDisplayName);
        return 0;
    }
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
