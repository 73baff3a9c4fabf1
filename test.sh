#!/usr/bin/env bash
# Builds everything and runs every test: the suite, the web page in Chromium, the suite again built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a few seconds. `./test.sh --quick` runs
# the suite only.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root"
ctest --preset default -j "$(nproc)"
[ "${1:-}" = "--quick" ] && exit 0
scripts/test-web.sh
scripts/sanitize.sh
scripts/fuzz.sh 5
