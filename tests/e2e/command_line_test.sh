#!/usr/bin/env bash
# The player's command line: what is wrong is said plainly and exits 1 (a bad folder, no display) or 2 (bad
# options), and --help works without a display.
set -u
shiori=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect STATUS TEXT COMMAND...: the command exits STATUS and says TEXT on standard output or error.
expect() {
  local status=$1 text=$2
  shift 2
  local printed got
  printed=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$@" 2>&1 </dev/null)
  got=$?
  if [ "$got" -ne "$status" ] || [[ "$printed" != *"$text"* ]]; then
    echo "FAIL: $* exited $got (want $status) and printed:"
    echo "$printed"
    failures=$((failures + 1))
  fi
}

touch "$work/file"
expect 1 "There is no game folder $work/none" "$shiori" "$work/none"
expect 1 "$work/file is not a folder" "$shiori" "$work/file"
expect 1 "$work has no scenario file data1.rgd" "$shiori" "$work"
# A Qt flag takes no value: the folder after it is still the game folder.
expect 1 "There is no game folder $work/none" "$shiori" -reverse "$work/none"
expect 1 "no display could be opened" "$shiori" "$demo"
expect 1 "There is no game folder $work/none" "$shiori" --headless "$work/none"
expect 0 "--save-dir DIR" "$shiori" --help
expect 0 "shiori " "$shiori" --version
expect 2 "Unknown option 'bogus'" "$shiori" --bogus "$demo"
expect 2 "Missing value after '--save-dir'" "$shiori" "$demo" --save-dir
expect 2 "more than one game folder" "$shiori" "$demo" "$demo"
expect 2 "--now works with --headless only" "$shiori" --now "2026-12-01 14:05:09" "$demo"
# Qt's options with a value, and our own, still reach their owners.
expect 0 '{"ended":true}' sh -c "echo close | \"$shiori\" -platform offscreen --headless \"$demo\" --save-dir \"$work/save\""
[ "$failures" -eq 0 ]
