#!/usr/bin/env bash
# Real sound: the window plays the title piece into a PulseAudio null sink, and the sink's monitor hears it.
# Without a sound server the window runs as well, silently, with one warning.
#   sound_test.sh SHIORI GAME_DIR
# Exits 77 (skipped) when Xvfb or PulseAudio is missing, or PulseAudio cannot start here.
set -euo pipefail

shiori="$1"
game="$2"
for tool in Xvfb pulseaudio pactl parec; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (apt-get install xvfb pulseaudio pulseaudio-utils)"
    exit 77
  fi
done
[ -f "$game/data/0012.wav" ] || { echo "SKIPPED: $game has no title music"; exit 77; }

work="$(mktemp -d)"
export XDG_RUNTIME_DIR="$work/runtime" PULSE_RUNTIME_PATH="$work/runtime/pulse" HOME="$work"
mkdir -p "$XDG_RUNTIME_DIR" "$work/saves"
chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pulseaudio --kill 2>/dev/null || true
  # The server removes its runtime files as it goes: wait for it to be gone before removing the folder.
  for _ in $(seq 50); do pulseaudio --check 2>/dev/null || break; sleep 0.1; done
  rm -rf "$work" 2>/dev/null || true
}
trap cleanup EXIT

display=":$((100 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
# The server takes a moment to listen; a window started before it answers finds no display.
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# No sound server yet: the window must start and run silently, saying so once.
"$shiori" "$game" --save-dir "$work/saves" >"$work/silent.log" 2>&1 &
pids+=($!)
# The title piece starts 200 ms after the title is drawn; the warning follows at once. Wait for it, up to ten
# seconds (a machine without any audio device may say nothing: then the deadline is the wait).
for _ in $(seq 100); do grep -q "the music stays silent" "$work/silent.log" && break; sleep 0.1; done
kill -0 "${pids[-1]}" || { cat "$work/silent.log"; echo "FAIL: the window did not survive a missing sound server"; exit 1; }
kill "${pids[-1]}"
warnings="$(grep -c 'stays silent' "$work/silent.log" || true)"
[ "$warnings" -eq 1 ] || { cat "$work/silent.log"; echo "FAIL: $warnings warnings about the music without a sound server, not one"; exit 1; }

if ! pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=shiori_test" \
    --load=module-native-protocol-unix >/dev/null 2>&1; then
  echo "SKIPPED: PulseAudio cannot start on this machine"
  exit 77
fi
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

"$shiori" "$game" --save-dir "$work/saves" >"$work/sound.log" 2>&1 &
pids+=($!)
# Listen at the sink in one-second takes until the title piece is heard, for up to fifteen seconds.
peak=0
for _ in $(seq 15); do
  timeout 1 parec --device=shiori_test.monitor --format=s16le --channels=1 --raw >"$work/heard.raw" || true
  peak="$(od -An -t d2 -w2 -v "$work/heard.raw" | awk '{v = $1 < 0 ? -$1 : $1; if (v > m) m = v} END {print m + 0}')"
  [ "$peak" -ge 1000 ] && break
done
echo "peak level heard at the sink: $peak of 32767"
if [ "$peak" -lt 1000 ]; then
  cat "$work/sound.log"
  echo "FAIL: the title piece did not reach the sound server"
  exit 1
fi
echo "PASS"
