#!/usr/bin/env bash
# Checks that the C++ is formatted, then builds everything and runs every test: the suite; the core built to
# WebAssembly, its suite under Node.js and the Node.js driver against the native one; the web page in Chromium; the
# suite again built with AddressSanitizer and UndefinedBehaviorSanitizer; and each fuzz target for a few seconds.
# `./test.sh --quick` runs the suite only.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-format.sh"
"$root/scripts/build.sh"
cd "$root"
ctest --preset default -j "$(nproc)"
[ "${1:-}" = "--quick" ] && exit 0
scripts/web-parity.sh
scripts/test-page.sh
scripts/sanitize.sh
scripts/fuzz.sh 5
