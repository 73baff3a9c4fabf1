#!/usr/bin/env bash
# Draws the screenshots of the bundled demo shown in the README (docs/screenshots/) with the headless driver,
# which paints exactly as the window does: the title, a page of text, a choice, the gallery and the full ending,
# then the text history and the auto-mode indicator.
# Run after a build: scripts/screenshots.sh [OUT_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/docs/screenshots}")"
demo="$root/build/demo"
mkdir -p "$out"
saves="$(mktemp -d)"
trap 'rm -rf "$saves"' EXIT
printf '#TRUE#\r\n' >"$saves/conf.rgd"
printf '1\r\n' >"$saves/conf2.rgd"  # fast text: each page is typed within a second

# The click path of the first full ending that walk finds: "click x 14, choose 2, click x 2, ...".
path="$("$root/build/bin/shiori-tool" walk "$demo" | sed -n 's/^ending 9501 (full) at page [0-9]*: //p' | head -n 1)"

commands() {
  echo "wait 500"
  echo "screenshot $out/title.png"
  echo "click lblMLT(0)"
  echo "click lblMLT(3)"
  echo "wait 1500"
  echo "screenshot $out/text.png"
  local shot_choice=1
  IFS=',' read -ra steps <<<"$path"
  for step in "${steps[@]}"; do
    step="${step# }"
    case "$step" in
      "click x "*)
        for ((i = 0; i < ${step#click x }; i++)); do
          echo "click Picture1"
          echo "wait 1500"
        done
        ;;
      "choose "*)
        if [ "$shot_choice" = 1 ]; then
          echo "screenshot $out/choice.png"
          shot_choice=0
        fi
        echo "click lblSEL($((${step#choose } - 1)))"
        echo "wait 1500"
        ;;
    esac
  done
  echo "wait 19000"
  echo "screenshot $out/ending.png"
  echo "wait 40000"
  echo "click Form"
  echo "click lblMLT(1)"
  echo "screenshot $out/gallery.png"
}

# A few pages into the story: the history opened by the wheel, then auto mode reading on.
comfort_commands() {
  echo "click lblMLT(0)"
  echo "click lblMLT(3)"
  echo "wait 1500"
  for ((i = 0; i < 6; i++)); do
    echo "click Picture1"
    echo "wait 1500"
  done
  echo "wheel up"
  echo "key up"
  echo "screenshot $out/history.png"
  echo "key escape"
  echo "key a"
  echo "wait 300"
  echo "screenshot $out/auto.png"
}

commands | "$root/build/bin/shiori" --headless "$demo" --save-dir "$saves" >/dev/null 2>"$saves/log"
comfort_commands | "$root/build/bin/shiori" --headless "$demo" --save-dir "$saves" >/dev/null 2>>"$saves/log"
echo "Screenshots in $out:"
ls "$out"
