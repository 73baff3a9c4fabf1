#!/usr/bin/env bash
# The real window under Xvfb, clicked with xdotool: title -> load menu -> start -> a page types -> next page ->
# right click -> in-game menu -> F12 -> quit through the menu bar after the question. Run at scale 1 and 2; at
# scale 1 the stage must be the headless driver's screenshot pixel for pixel.
#   window_test.sh SHIORI SCREEN_PROBE
# Exits 77 (skipped) when Xvfb, xdotool or python3 is missing.
set -euo pipefail

shiori="$1"
probe="$2"
here="$(cd "$(dirname "$0")" && pwd)"

for tool in Xvfb xdotool python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (apt-get install xvfb xdotool python3)"
    exit 77
  fi
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ "${KEEP_WORK:-0}" = 1 ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/app.log" ] && sed 's/^/  app: /' "$work/app.log" >&2
  exit 1
}

python3 "$here/make_game.py" "$work/game"

# Stage rectangles of the screens, from the layout of the title, load and in-game menus and the message lines.
title_entries=("280 240 145 25" "440 240 145 25" "280 264 145 25" "440 264 145 25")
load_entries=("336 48 249 49" "336 128 249 49" "336 216 249 49" "336 304 249 49")
ingame_entries=("40 152 249 33" "40 200 249 33" "40 296 249 33")
message_lines=("16 8 617 33" "16 40 617 33")

screenshot() {  # -> path of a fresh screenshot of the whole screen (runs in a subshell: the name is the clock)
  local png="$work/shot-$scale-$(date +%s%N).png"
  "$probe" grab "$png" 2>/dev/null || fail "cannot grab the screen"
  echo "$png"
}

# Bright (text) pixels inside the stage rectangle "X Y W H" of a screenshot.
bright_in() {
  local png="$1" x y w h
  read -r x y w h <<<"$2"
  "$probe" count "$png" $((ox + x * scale)) $((oy + y * scale)) $((w * scale)) $((h * scale)) bright
}

expect_text() {  # png, what, rectangles...
  local png="$1" what="$2" rect count
  shift 2
  for rect in "$@"; do
    count="$(bright_in "$png" "$rect")"
    [ "$count" -ge $((40 * scale * scale)) ] || fail "scale $scale: $what: no text in stage rectangle $rect ($count pixels; $png)"
  done
}

click() {  # stage x, stage y, button
  xdotool mousemove $((ox + $1 * scale + scale / 2)) $((oy + $2 * scale + scale / 2)) click "${3:-1}"
}

wait_for_text() {  # what, rectangle: polls until text shows there, up to ten seconds
  local png
  for _ in $(seq 50); do
    png="$(screenshot)"
    if [ "$(bright_in "$png" "$2")" -ge $((40 * scale * scale)) ]; then
      echo "$png"
      return
    fi
    sleep 0.2
  done
  fail "scale $scale: $1 never showed"
}

run_at_scale() {
  scale="$1"
  local screen="$2" display=":$((80 + RANDOM % 100))" png found
  Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  for _ in $(seq 50); do "$probe" grab "$work/probe.png" 2>/dev/null && break; sleep 0.1; done

  mkdir -p "$work/home-$scale" "$work/runtime-$scale"
  chmod 700 "$work/runtime-$scale"
  HOME="$work/home-$scale" XDG_RUNTIME_DIR="$work/runtime-$scale" \
    "$shiori" "$work/game" --save-dir "$work/save-$scale" >"$work/app.log" 2>&1 &
  app_pid=$!

  # The title: found by the marker the test pictures carry in the stage's top-left corner.
  found=""
  for _ in $(seq 50); do
    png="$(screenshot)"
    if found="$("$probe" find "$png" FF00FF)"; then break; fi
    sleep 0.2
  done
  [ -n "$found" ] || fail "scale $scale: the title never showed"
  read -r ox oy <<<"$found"
  sleep 0.3
  png="$(screenshot)"
  local marker
  marker="$("$probe" count "$png" "$ox" "$oy" $((8 * scale)) $((8 * scale)) FF00FF)"
  [ "$marker" -ge $((56 * scale * scale)) ] || fail "scale $scale: the stage is not drawn at scale $scale ($marker)"
  expect_text "$png" "title menu entries" "${title_entries[@]}"
  # The menu bar: dark captions on a light bar just above the stage.
  local captions
  captions="$("$probe" count "$png" "$ox" $((oy - 18)) 300 16 dark)"
  [ "$captions" -ge 100 ] || fail "scale $scale: no menu bar above the stage ($captions)"

  click 352 252  # ▽物語を読む▽
  png="$(wait_for_text "load menu" "${load_entries[3]}")"
  expect_text "$png" "load menu entries" "${load_entries[@]}"

  click 460 328  # ロードせずにはじめから読む
  sleep 4        # three lines at normal speed
  png="$(wait_for_text "the first page" "${message_lines[1]}")"
  expect_text "$png" "message lines of page 1" "${message_lines[@]}"
  if [ "$scale" = 1 ]; then
    local headless="$work/headless.png" differing
    printf 'click lblMLT(0)\nclick lblMLT(3)\nwait 10000\nscreenshot %s\n' "$headless" |
      "$shiori" --headless "$work/game" --save-dir "$work/save-headless" >/dev/null 2>&1 ||
      fail "the headless driver failed"
    # Everything but the blinking arrow, whose phase depends on the moment.
    differing="$("$probe" diff "$png" "$ox" "$oy" "$headless" 0 0 560 400)"
    [ "$differing" = 0 ] || fail "the window and the headless screenshot differ in $differing pixels ($png)"
  fi

  local before="$png"
  click 300 300
  sleep 3
  png="$(screenshot)"
  [ "$("$probe" diff "$before" "$ox" "$oy" "$png" "$ox" "$oy" $((617 * scale)) $((33 * scale)))" -gt 100 ] ||
    fail "scale $scale: a click did not open the next page"
  expect_text "$png" "message lines of page 2" "${message_lines[@]}"

  click 300 300 3  # the in-game menu
  png="$(wait_for_text "the in-game menu" "${ingame_entries[0]}")"
  expect_text "$png" "in-game menu entries" "${ingame_entries[@]}"

  xdotool key F12
  sleep 0.5
  ls "$work/home-$scale/Pictures/"shiori-*.png >/dev/null 2>&1 || fail "scale $scale: F12 saved no screenshot"

  # Quit through the menu bar: 終了(&Q) -> ゲーム終了, then Yes to the question.
  xdotool key alt+q
  sleep 0.3
  xdotool key Down Return
  sleep 0.5
  xdotool key Return
  local status=""
  for _ in $(seq 50); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid" && status=0 || status=$?
      break
    fi
    sleep 0.1
  done
  [ "$status" = 0 ] || fail "scale $scale: the program did not end through the menu bar (status '${status}')"
  app_pid=""
  [ -f "$work/save-$scale/conf2.rgd" ] || fail "scale $scale: quitting wrote no settings"
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  echo "scale $scale: ok"
}

run_at_scale 1 1024x768
run_at_scale 2 1920x1200
echo "window end-to-end: ok"
