#!/usr/bin/env bash
# Measures the player and writes the table into bench/README.md (between the "measured" markers).
#
#   bench/run.sh [GAME_DIR]     GAME_DIR defaults to build/demo; without a generated demo the tests' fixture
#                               game is measured instead, and the table says so.
#
# Whole-process figures: wall time (hyperfine when installed, else the median of a loop of runs) and peak memory
# (/usr/bin/time). Inner figures: build/bin/shiori_bench (Google Benchmark). Window figures under Xvfb come from
# bench/window_bench.sh when it exists.
set -euo pipefail
cd "$(dirname "$0")/.."

bin=build/bin
cmake --build build -j "$(nproc)" --target shiori shiori-tool shiori_bench shiori_fixture >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/save"

game="${1:-build/demo}"
if [ -f "$game/data1.rgd" ]; then
  pages=$(( $(stat -c %s "$game/data1.rgd") / 600 ))
  game_text="\`$game\` ($pages pages)"
else
  echo "bench: no game in $game; measuring the fixture game instead" >&2
  "$bin/shiori_fixture" "$work/game"
  game="$work/game"
  game_text="the tests' fixture game (8 pages), as no demo had been generated"
fi
headless=("$bin/shiori" --headless "$game" --save-dir "$work/save" --now "2026-12-01 14:05:09")

# Median wall time in milliseconds of RUNS runs of a command, its standard input from FILE.
median_ms() {
  local runs=$1 input=$2
  shift 2
  if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 3 --runs "$runs" --input "$input" --export-csv "$work/hf.csv" "$(printf '%q ' "$@")" \
      >/dev/null 2>&1
    awk -F, 'NR == 2 { printf "%.1f", $4 * 1000 }' "$work/hf.csv"
    return
  fi
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" <"$input" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}

# Peak resident memory in MB of one run.
peak_mb() {
  local input=$1
  shift
  /usr/bin/time -f %M -o "$work/rss" "$@" <"$input" >/dev/null 2>&1
  awk '{ printf "%.1f", $1 / 1024 }' "$work/rss"
}

printf 'dump\n' >"$work/dump.txt"
bench/playthrough.sh "$game" "$bin/shiori-tool" >"$work/play.txt"
endings=$(grep -c '^dump$' "$work/play.txt" || true)
finished=$("${headless[@]}" <"$work/play.txt" 2>/dev/null | grep -c '"EndingStep":6' || true)
"$bin/shiori-tool" dump "$game/data1.rgd" >"$work/story.txt"

echo "bench: whole-process figures" >&2
start_ms=$(median_ms 30 "$work/dump.txt" "${headless[@]}")
start_mb=$(peak_mb "$work/dump.txt" "${headless[@]}")
play_ms=$(median_ms 5 "$work/play.txt" "${headless[@]}")
play_mb=$(peak_mb "$work/play.txt" "${headless[@]}")
dump_ms=$(median_ms 10 /dev/null "$bin/shiori-tool" dump "$game/data1.rgd")
build_ms=$(median_ms 10 /dev/null "$bin/shiori-tool" build "$work/story.txt" -o "$work/rebuilt.rgd")
lint_ms=$(median_ms 10 /dev/null "$bin/shiori-tool" lint "$game")
walk_ms=$(median_ms 10 /dev/null "$bin/shiori-tool" walk "$game")

# The same headless runs under Node.js, when the web build (scripts/build-web.sh) is there.
web_rows="| Headless driver under Node.js | | not measured: build-web/bin/shiori-headless.js is not built (scripts/build-web.sh) | |"
web=build-web/bin/shiori-headless
if [ -f "$web.js" ]; then
  echo "bench: the headless driver under Node.js" >&2
  node_headless=(node "$web.js" --headless "$game" --save-dir "$work/save" --now "2026-12-01 14:05:09")
  bytes() { printf '%s KB raw, %s KB gzip -9' "$(($(stat -c %s "$1") / 1024))" "$(($(gzip -9c "$1" | wc -c) / 1024))"; }
  node_ms=$(median_ms 10 /dev/null node -e '')
  web_rows="| Size of \`shiori-headless.wasm\` / \`.js\` (Release, emscripten $(em++ --version | grep -o '[0-9]\+\.[0-9]\+\.[0-9]\+' | head -1)) | | $(bytes "$web.wasm") / $(bytes "$web.js") | |
| Start to title, headless under Node.js $(node --version) (native: $start_ms ms) | | $(median_ms 10 "$work/dump.txt" "${node_headless[@]}") ms, of which $node_ms ms start Node.js itself; $(peak_mb "$work/dump.txt" "${node_headless[@]}") MB peak | |
| Whole headless playthrough under Node.js (native: $play_ms ms) | | $(median_ms 5 "$work/play.txt" "${node_headless[@]}") ms, $(peak_mb "$work/play.txt" "${node_headless[@]}") MB peak | |"
fi

echo "bench: inner figures (shiori_bench)" >&2
"$bin/shiori_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/bench.json" --benchmark_out_format=json >/dev/null 2>&1
# The median of one figure of a benchmark ("real_time", a counter ...), from Google Benchmark's JSON.
inner() {
  awk -v name="\"$1_median\"," -v field="\"$2\":" '
    $1 == "\"name\":" { current = $2 }
    current == name && $1 == field { sub(/,$/, "", $2); printf "%.3g", $2; exit }' "$work/bench.json"
}
search_ms=$(inner NextChoiceSearchOver2000Pages real_time)
reset_ms=$(inner InitialiseSaveData real_time)
typing_percent=$(inner TypeAPageAtNormalSpeed cpu_percent)

# The window's own script prints one figure a line: name, value with its unit, and the target ("< 140 ms (235 ms)")
# after runs of blanks. Each becomes a row of the table; anything else it says follows the table as it stands.
window_rows=""
window_report=""
if [ -x bench/window_bench.sh ]; then
  echo "bench: window figures (bench/window_bench.sh, under Xvfb)" >&2
  if window_output="$(bench/window_bench.sh "$bin/shiori" 2>&1)"; then
    window_rows="$(awk -F '   +' 'NR > 1 && NF >= 3 {
      sub(/^ +/, "", $2); value = $2 + 0; target = $3; bound = ""
      if (match(target, /^< *[0-9.]+/)) bound = substr(target, RSTART + 1, RLENGTH - 1) + 0
      else if (target ~ /^[0-9.]+$/) bound = target + 0
      strict = target ~ /^</
      verdict = bound == "" ? "" : value < bound || (!strict && value == bound) ? "met" \
        : value == bound ? "at the limit, not under it" \
        : sprintf("**missed** by %g (%.0f%%)", value - bound, bound ? 100 * (value - bound) / bound : 100)
      printf "| %s (window, Xvfb) | %s | %s | %s |\n", $1, target, $2, verdict }' <<<"$window_output")"
  else
    window_report="bench/window_bench.sh failed: $window_output"
  fi
fi

# "met" or "missed by N x" against an upper bound.
verdict() {
  awk -v value="$1" -v bound="$2" 'BEGIN {
    if (value + 0 < bound + 0) print "met"; else printf "**missed** by %.1f (%.0f%%)", value - bound, 100 * (value - bound) / bound }'
}

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
memory=$(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)
table="$work/table.md"
cat >"$table" <<TABLE
Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of ${cpu:-an unknown processor}, $memory of memory,
Linux $(uname -r); a RelWithDebInfo build; the game: $game_text. Whole-process times are medians of repeated
runs, $(command -v hyperfine >/dev/null && echo "by hyperfine" || echo "by a shell loop (hyperfine is not installed), so each includes about 1 ms of process start-up by the shell").

| Measure | Target | Result | |
|---|---|---|---|
| Start to title, headless (\`printf 'dump\n' \| shiori --headless GAME\`) | < 50 ms | $start_ms ms | $(verdict "$start_ms" 50) |
| Peak memory, headless start to title | (window: < 40 MB) | $start_mb MB | |
| Whole headless playthrough: every ending's shortest path ($endings endings, $finished reached the end of the ending sequence) | < 2000 ms | $play_ms ms, $play_mb MB peak | $(verdict "$play_ms" 2000) |
| Next-choice search over 2000 read pages (shiori_bench) | < 5 ms | $search_ms ms | $(verdict "$search_ms" 5) |
| \`InitialiseSaveData\` (shiori_bench) | | $reset_ms ms | |
| Processor use typing a page at speed 2, core only (shiori_bench) | (window: < 1%) | $typing_percent % | |
| \`shiori-tool dump\` of the scenario | | $dump_ms ms | |
| \`shiori-tool build\` of that text | | $build_ms ms | |
| \`shiori-tool lint\` of the game folder | | $lint_ms ms | |
| \`shiori-tool walk\` of the game folder | | $walk_ms ms | |
$web_rows
${window_rows:-| Window figures under Xvfb (title drawn, resident memory, processor idle and typing, click to first character) | < 140 ms, < 40 MB, < 0.2%, < 1%, < 6 ms | not measured: bench/window_bench.sh does not exist in this tree yet | |}
TABLE
if [ -n "$window_report" ]; then
  printf '\n```\n%s\n```\n' "$window_report" >>"$table"
fi

readme=bench/README.md
awk -v table="$table" '
  /<!-- measured:begin -->/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
  /<!-- measured:end -->/ { skip = 0 }
  !skip' "$readme" >"$work/README.md"
cp "$work/README.md" "$readme"
cat "$table"
