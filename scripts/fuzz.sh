#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a while, starting from the seeds in
# fuzz/corpus/<target>/ and the inputs earlier runs kept in build-fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh                      every target for 5 seconds (what ./test.sh runs)
#   scripts/fuzz.sh 600                  every target for 10 minutes
#   scripts/fuzz.sh 3600 headless        one target for an hour
#
# A crash stops the script, prints the end of the target's log and leaves the input in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-5}"
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(record value_line save_files shift_jis picture_file scenario_build scenario_dump headless)
fi

if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSHIORI_FUZZ=ON -DSHIORI_BUILD_TESTS=OFF >/dev/null
fi
cmake --build build-fuzz -j "$(nproc)" --target fuzz

mkdir -p build-fuzz/crashes
for target in "${targets[@]}"; do
  work="build-fuzz/corpus/$target"
  log="build-fuzz/fuzz_$target.log"
  mkdir -p "$work"
  options=(-max_total_time="$seconds" -timeout=20 -artifact_prefix="build-fuzz/crashes/$target-")
  [ -f "fuzz/dict/$target.dict" ] && options+=(-dict="fuzz/dict/$target.dict")
  if ! "build-fuzz/bin/fuzz_$target" "${options[@]}" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz_$target: crash; the input is in build-fuzz/crashes/ (log: $log)" >&2
    exit 1
  fi
  echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" || echo 'done')"
done
