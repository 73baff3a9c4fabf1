#!/usr/bin/env bash
# Measures the real window under Xvfb, the way a reader meets it. Reports figures against targets; it asserts
# nothing (machines differ), so it is a benchmark, not a test.
#   bench/window_bench.sh [SHIORI] [GAME_DIR]
# SHIORI defaults to build/bin/shiori; GAME_DIR to a generated game of four long pages (twelve full lines each),
# so that typing lasts long enough to measure. Needs Xvfb and xdotool.
#
# Figures:
#   title drawn      process start to the first frame of the title, from the window's own frame trace
#   resident memory  VmRSS two seconds after the title is drawn
#   CPU idle         share of one core used over ten seconds on the title, with the frames drawn meanwhile
#   CPU typing       share of one core while a page types at speed 2, with the repainted area per frame
#   click to text    from the press (as the window receives it) to the frame that shows the next page's first
#                    character, the median of several pages
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
shiori="${1:-$root/build/bin/shiori}"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "window_bench: $tool is needed" >&2; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=window_game.sh
source "$root/bench/window_game.sh"
game="$(bench_game "$work" "$shiori" "${2:-}")"
display="$(bench_display)"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

now_us() { date +%s%6N; }
# CPU time of every thread of the window, in nanoseconds (finer than the 10 ms ticks of /proc/PID/stat).
cpu_ns() { cat /proc/"$app_pid"/task/*/schedstat | awk '{n += $1} END {printf "%d", n}'; }
share() { echo "$1 $2 $3" | awk '{printf "%.2f", ($1 - $2) / 1e9 / $3 * 100}'; }  # now, before, seconds
trace_lines() { wc -l <"$work/trace"; }
paints_after() { tail -n +"$(($1 + 1))" "$work/trace" | grep ' trace paint ' || true; }

mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
: >"$work/trace"
start="$(now_us)"
SHIORI_TRACE_FRAMES=1 HOME="$work" XDG_RUNTIME_DIR="$work/runtime" \
  "$shiori" "$game" --save-dir "$work/save" 2>"$work/trace" >/dev/null &
app_pid=$!
for _ in $(seq 200); do grep -q ' trace paint ' "$work/trace" && break; sleep 0.02; done
first_paint="$(grep -m1 ' trace paint ' "$work/trace" | awk '{print $4}')"
[ -n "$first_paint" ] || { echo "window_bench: the window never drew a frame" >&2; exit 1; }
title_ms=$(((first_paint - start) / 1000))

sleep 2
rss_kb="$(awk '/VmRSS/ {print $2}' "/proc/$app_pid/status")"

# Where the stage lies: the window is centred on the 1024 x 768 screen, its menu bar above the stage.
window="$(xdotool search --sync --pid "$app_pid" | head -1)"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT of the client area
stage_x="$X"
stage_y=$((Y + HEIGHT - 400))
click() { xdotool mousemove $((stage_x + $1)) $((stage_y + $2)) click "${3:-1}"; }

idle_lines="$(trace_lines)"
idle_cpu="$(cpu_ns)"
sleep 10
idle_pct="$(share "$(cpu_ns)" "$idle_cpu" 10)"
idle_frames="$(paints_after "$idle_lines" | wc -l)"

click 352 252  # ▽物語を読む▽
sleep 1
click 460 328  # ロードせずにはじめから読む
sleep 0.5
typing_lines="$(trace_lines)"
typing_cpu="$(cpu_ns)"
sleep 5
typing_pct="$(share "$(cpu_ns)" "$typing_cpu" 5)"
typing_frames="$(paints_after "$typing_lines" | wc -l)"
typing_area="$(paints_after "$typing_lines" | awk '{split($5, s, "x"); a += s[1] * s[2]} END {if (NR) printf "%d", a / NR}')"

latencies=()
for _ in 1 2 3 4 5; do
  sleep 10  # the page finishes typing (twelve lines at speed 2)
  before="$(trace_lines)"
  click 300 300
  sleep 0.5
  latency="$(tail -n +"$((before + 1))" "$work/trace" | awk '
    / trace press / && !press {press = $4}
    / trace paint / && press && !paint {paint = $4}
    END {if (press && paint) printf "%.1f", (paint - press) / 1000}')"
  [ -n "$latency" ] && latencies+=("$latency")
done
median_latency="$(printf '%s\n' "${latencies[@]}" | sort -n | awk '{v[NR] = $1} END {if (NR) print v[int((NR + 1) / 2)]; else print "n/a"}')"

printf '%-34s %12s   %s\n' "figure" "shiori" "target (ONScripter measured alike)"
printf '%-34s %9s ms   %s\n' "start to title drawn" "$title_ms" "< 140 ms (235 ms)"
printf '%-34s %9s MB   %s\n' "resident memory" "$((rss_kb / 1024))" "< 40 MB (60 MB)"
printf '%-34s %10s %%   %s\n' "CPU idle on the title" "$idle_pct" "< 0.2 % (1.6 %)"
printf '%-34s %12s   %s\n' "frames drawn while idle (10 s)" "$idle_frames" "0"
printf '%-34s %10s %%   %s\n' "CPU while a page types (speed 2)" "$typing_pct" "< 1 % (1.8 %)"
printf '%-34s %12s   %s\n' "frames while typing (5 s)" "$typing_frames" "about one per character"
printf '%-34s %9s px   %s\n' "mean repainted area per frame" "${typing_area:-0}" "one glyph (under 1000)"
printf '%-34s %9s ms   %s\n' "click to next page's first char" "$median_latency" "< 6 ms (12.6 ms)"
