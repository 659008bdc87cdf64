#include "shell/StartupTrace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace mendo {

bool startupTracing()
{
    static const bool tracing = std::getenv("MENDO_STARTUP_TRACE") != nullptr;
    return tracing;
}

void startupMark(const char* step)
{
    if (!startupTracing())
        return;
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "mendo start-up: %s %lld\n", step, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    std::fflush(stderr);
}

}  // namespace mendo
