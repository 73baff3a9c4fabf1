#!/usr/bin/env bash
# Builds the test suite with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/ and runs it.
# Any report fails the run: undefined behaviour stops the program (-fno-sanitize-recover), and so do memory errors
# and leaks (but those inside system libraries listed in scripts/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build-sanitize/build.ninja ]; then
  cmake --preset sanitize >/dev/null
fi
cmake --build --preset sanitize -j "$(nproc)"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
ctest --preset sanitize -j "$(nproc)"
