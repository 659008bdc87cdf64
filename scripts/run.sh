#!/usr/bin/env bash
# Installs what building and running MendoAI need and is missing, builds and
# starts MendoAI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" run
# Only MendoAI itself: the tests and benchmarks are the test command's.
MENDO_TARGETS="mendo mendo-display-guard" "$root/scripts/build.sh"
exec "$root/build/src/mendo" "$@"
