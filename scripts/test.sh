#!/usr/bin/env bash
# Installs what the tests need and is missing, builds, and runs the whole
# suite: unit tests offscreen, display tests inside a private X session
# (scripts/with-session.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/check-library-order.sh"
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh"
cd "$root/build"
exec "$root/scripts/with-session.sh" ctest --output-on-failure -j "${MENDO_JOBS:-$(nproc)}" "$@"
