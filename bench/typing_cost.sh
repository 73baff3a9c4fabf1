#!/usr/bin/env bash
# What one typed character costs the window and the X server, counted in instructions by valgrind's callgrind, so
# that the figure holds on a busy machine where processor shares are noise. Reports figures; asserts nothing.
#   bench/typing_cost.sh [SHIORI] [GAME_DIR]
# SHIORI defaults to build/bin/shiori; GAME_DIR to the window benchmark's game of long pages. Music plays through a
# private PulseAudio server with a null sink when pulseaudio is installed. Needs valgrind, Xvfb, xdotool, python3.
#
# Figures, over SECONDS (default 6) of a page typing at speed 2:
#   player    instructions per frame drawn (one frame per typed character), every thread of the process
#   X server  instructions per frame (Xvfb, run under callgrind too: its own work, not the kernel's)
#   wake-ups  voluntary context switches per frame, of the player and of the X server: each is a trip through the
#             kernel that instructions do not show
# Both programs run under valgrind, some fifty times slower: the page still types at its own pace, since the
# player draws whatever is due when it wakes, but the start takes a few seconds.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
shiori="${1:-$root/build/bin/shiori}"
seconds="${SECONDS_TYPING:-6}"
for tool in valgrind callgrind_control callgrind_annotate Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "typing_cost: $tool is needed" >&2; exit 1; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 1
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=window_game.sh
source "$root/bench/window_game.sh"
game="$(bench_game "$work" "$shiori" "${2:-}")"
display="$(bench_display)"
valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/xvfb.out" \
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
pids+=("$xvfb_pid")
export DISPLAY="$display"
for _ in $(seq 150); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.2; done

sound=()
if command -v pulseaudio >/dev/null; then
  mkdir -m 700 "$work/pulse"
  PULSE_RUNTIME_PATH="$work/pulse" PULSE_STATE_PATH="$work/pulse" HOME="$work/pulse" pulseaudio -n \
    --daemonize=no --exit-idle-time=-1 --use-pid-file=false -L "module-null-sink sink_name=bench" \
    -L "module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" >/dev/null 2>&1 &
  pids+=("$!")
  for _ in $(seq 50); do [ -S "$work/pulse/native" ] && break; sleep 0.1; done
  sound=(PULSE_SERVER="unix:$work/pulse/native")
fi

mkdir -m 700 "$work/runtime"
: >"$work/trace"
env SHIORI_TRACE_FRAMES=1 HOME="$work" XDG_RUNTIME_DIR="$work/runtime" "${sound[@]}" \
  valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/shiori.out" \
  "$shiori" "$game" --save-dir "$work/save" 2>"$work/trace" >/dev/null &
app_pid=$!
pids+=("$app_pid")
for _ in $(seq 600); do grep -q ' trace paint ' "$work/trace" && break; sleep 0.1; done
grep -q ' trace paint ' "$work/trace" || { echo "typing_cost: the window never drew a frame" >&2; exit 1; }
sleep 3

window="$(xdotool search --sync --pid "$app_pid" | head -1)"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT of the client area
stage_y=$((Y + HEIGHT - 400))
click() { xdotool mousemove $((X + $1)) $((stage_y + $2)) click 1; }
switches() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }

click 352 252  # ▽物語を読む▽
sleep 3
click 460 328  # ロードせずにはじめから読む: the first page types
sleep 2
callgrind_control --instr=on "$app_pid" >/dev/null 2>&1
callgrind_control --instr=on "$xvfb_pid" >/dev/null 2>&1
callgrind_control --zero "$app_pid" >/dev/null 2>&1
callgrind_control --zero "$xvfb_pid" >/dev/null 2>&1
lines_before="$(wc -l <"$work/trace")"
app_switches="$(switches "$app_pid")"
xvfb_switches="$(switches "$xvfb_pid")"
sleep "$seconds"
callgrind_control --dump=typing "$app_pid" >/dev/null 2>&1
callgrind_control --dump=typing "$xvfb_pid" >/dev/null 2>&1
app_switches=$(($(switches "$app_pid") - app_switches))
xvfb_switches=$(($(switches "$xvfb_pid") - xvfb_switches))
frames="$(tail -n +"$((lines_before + 1))" "$work/trace" | grep -c ' trace paint ' || true)"
[ "$frames" -gt 0 ] || { echo "typing_cost: no frames while the page typed" >&2; exit 1; }

instructions() {  # the dump of the typing window, whatever number callgrind gave it
  local dump
  dump="$(ls "$work/$1".out.* 2>/dev/null | head -1)"
  callgrind_annotate "$dump" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}'
}
per_frame() { echo "$1 $frames" | awk '{printf "%.0f", $1 / $2}'; }
per_frame_1() { echo "$1 $frames" | awk '{printf "%.2f", $1 / $2}'; }

printf 'frames drawn in %s s of typing: %s\n' "$seconds" "$frames"
printf '%-36s %12s\n' "player: instructions per frame" "$(per_frame "$(instructions shiori)")"
printf '%-36s %12s\n' "X server: instructions per frame" "$(per_frame "$(instructions xvfb)")"
printf '%-36s %12s\n' "player: wake-ups per frame" "$(per_frame_1 "$app_switches")"
printf '%-36s %12s\n' "X server: wake-ups per frame" "$(per_frame_1 "$xvfb_switches")"
