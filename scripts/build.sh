#!/usr/bin/env bash
# Configures (CMake + Ninja) and builds MendoAI into ./build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$root/build" -j "${MENDO_JOBS:-$(nproc)}"
