#!/usr/bin/env bash
# Installs what building and running MendoAI need and is missing, builds and
# starts MendoAI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" run
"$root/scripts/build.sh"
exec "$root/build/src/mendo" "$@"
