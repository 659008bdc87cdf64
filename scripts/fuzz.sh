#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz/ with clang and libFuzzer (into
# ./build-fuzz) and runs each for a minute (FUZZ_SECONDS), or only those named.
# Not part of CI: CI replays the kept cases through plain builds of the same
# targets. Every crash or hang found is copied to tests/fuzz/regressions/<target>/
# so that it is replayed from then on; the script then ends with status 1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-60}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(defaults_file hotkey_text service_answer clipboard_history_file desktop_entry
  clipboard_notes_file update_service_answer)

if ! command -v clang++ >/dev/null; then
  echo "The fuzz targets need clang (Debian package clang)." >&2
  exit 1
fi
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMENDO_BUILD_FUZZ=ON >/dev/null
cmake --build "$root/build-fuzz" -j "${MENDO_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

status=0
for target in "${targets[@]}"; do
  corpus="$root/build-fuzz/corpus/$target"
  artifacts="$root/build-fuzz/artifacts/$target"
  regressions="$root/tests/fuzz/regressions/$target"
  mkdir -p "$corpus" "$artifacts" "$regressions"
  echo "== $target: ${seconds} s"
  # New inputs go to the first folder; the kept cases seed the run.
  if ! QT_QPA_PLATFORM=offscreen "$root/build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
      "$corpus" "$regressions"; then
    status=1
  fi
  for found in "$artifacts"/*; do
    [ -e "$found" ] || continue
    cp "$found" "$regressions/"
    echo "kept $(basename "$found") in tests/fuzz/regressions/$target/"
    status=1
  done
done
exit $status
