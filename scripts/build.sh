#!/usr/bin/env bash
# Configures (CMake + Ninja) and builds MendoAI into ./build: everything, or
# only the targets named in MENDO_TARGETS (with what they need).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
for target in ${MENDO_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$root/build" -j "${MENDO_JOBS:-$(nproc)}" "${targets[@]}"
