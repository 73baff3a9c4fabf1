#!/usr/bin/env bash
# The real window under Xvfb, clicked with xdotool: title -> load menu -> start -> a page types -> next page ->
# wheel -> text history and back -> right click -> in-game menu -> F12 -> quit through the menu bar after the
# question. Run at scale 1 and 2; at scale 1 the stage must be the headless driver's screenshot pixel for pixel.
#   window_test.sh SHIORI SCREEN_PROBE
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

shiori="$1"
probe="$2"

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (apt-get install xvfb xdotool)"
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

"$(dirname "$shiori")/shiori_fixture" --window "$work/game" || fail "cannot write the test game"

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

has_text() {  # png, rectangles...: whether every rectangle holds text
  local png="$1" rect
  shift
  for rect in "$@"; do
    [ "$(bright_in "$png" "$rect")" -ge $((40 * scale * scale)) ] || return 1
  done
}

poll_screen() {  # what, check...: fresh screenshots until `check... PNG` holds, up to ten seconds; prints the PNG
  local what="$1" png
  shift
  for _ in $(seq 50); do
    png="$(screenshot)"
    if "$@" "$png"; then
      echo "$png"
      return
    fi
    sleep 0.2
  done
  fail "scale $scale: $what never showed"
}

text_at() { has_text "$2" "$1"; }  # rectangle, png
wait_for_text() { poll_screen "$1" text_at "$2"; }  # what, rectangle: polls until text shows there

title_drawn() {  # png: the stage at its scale with the title entries and the menu bar above it
  local marker captions
  marker="$("$probe" count "$1" "$ox" "$oy" $((8 * scale)) $((8 * scale)) FF00FF)"
  captions="$("$probe" count "$1" "$ox" $((oy - 18)) 300 16 dark)"
  [ "$marker" -ge $((56 * scale * scale)) ] && [ "$captions" -ge 100 ] && has_text "$1" "${title_entries[@]}"
}

page_changed() {  # png: the first message line differs from $before, and both lines hold text
  [ "$("$probe" diff "$before" "$ox" "$oy" "$1" "$ox" "$oy" $((617 * scale)) $((33 * scale)))" -gt 100 ] &&
    has_text "$1" "${message_lines[@]}"
}

stage_differs() {  # png, at least: how many of the stage's pixels (below the arrow's row) differ from $before
  [ "$("$probe" diff "$before" "$ox" "$oy" "$1" "$ox" "$oy" $((640 * scale)) $((350 * scale)))" -ge "$2" ]
}
history_opened() { stage_differs "$1" $((640 * 350 * scale * scale / 2)); }  # the whole stage dimmed under it
history_closed() { ! stage_differs "$1" 1; }

menu_opened() {  # png: something drew over the top of the stage since $before (a menu dropped from the bar)
  [ "$("$probe" diff "$before" "$ox" "$oy" "$1" "$ox" "$oy" $((640 * scale)) $((120 * scale)))" -gt 100 ]
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
  # The stage drawn at scale, the title's entries, and the menu bar (dark captions on a light bar above it).
  poll_screen "the title at scale $scale with its entries and the menu bar" title_drawn >/dev/null

  click 352 252  # ▽物語を読む▽
  png="$(wait_for_text "load menu" "${load_entries[3]}")"
  expect_text "$png" "load menu entries" "${load_entries[@]}"

  click 460 328  # ロードせずにはじめから読む
  # The next-page arrow blinks in once the three lines are typed.
  wait_for_text "the next-page arrow after the first page" "568 360 41 41" >/dev/null
  png="$(screenshot)"
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

  before="$png"
  click 300 300
  poll_screen "the next page after a click" page_changed >/dev/null
  before="$(wait_for_text "the next-page arrow after the second page" "568 360 41 41")"

  xdotool click 4  # the wheel up opens the history of the pages read, over a dimmed stage
  poll_screen "the text history" history_opened >/dev/null
  xdotool click 5  # and down past its newest line closes it, on the page as it was
  poll_screen "the story again after the history" history_closed >/dev/null

  click 300 300 3  # the in-game menu
  png="$(wait_for_text "the in-game menu" "${ingame_entries[0]}")"
  expect_text "$png" "in-game menu entries" "${ingame_entries[@]}"

  xdotool key F12
  local saved=""
  for _ in $(seq 50); do
    saved="$(ls "$work/home-$scale/Pictures/"shiori-*.png 2>/dev/null)" && break
    sleep 0.1
  done
  [ -n "$saved" ] || fail "scale $scale: F12 saved no screenshot"

  # Quit through the menu bar: 終了(&Q) -> ゲーム終了, then Yes to the question.
  before="$png"
  xdotool key alt+q
  poll_screen "the quit menu" menu_opened >/dev/null
  xdotool key Down Return
  local question status=""
  question="$(timeout 10 xdotool search --sync --name "確認" | head -1)"
  [ -n "$question" ] || fail "scale $scale: the question to quit never showed"
  # The box may be mapped a moment before it takes the keyboard (there is no window manager to give it): Yes is
  # its default button, so Return is pressed on it, focused, until the program has gone.
  for attempt in $(seq 100); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid" && status=0 || status=$?
      break
    fi
    if [ $((attempt % 20)) = 1 ]; then
      xdotool windowfocus "$question" 2>/dev/null || true
      xdotool key Return
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
