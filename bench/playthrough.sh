#!/usr/bin/env bash
# Prints headless commands that play every ending's shortest path from the title, at the fast text speed: start
# afresh, a second to finish typing before each click, the choices, then the whole ending sequence and back to the
# title. The paths come from `shiori-tool walk`.
#
#   bench/playthrough.sh GAME_DIR [SHIORI_TOOL]     SHIORI_TOOL defaults to build/bin/shiori-tool
set -euo pipefail
game="$1"
tool="${2:-$(dirname "$0")/../build/bin/shiori-tool}"

echo "click lblMLT(2)"
echo "click lblMOJI_F"
echo "click Label8"
"$tool" walk --json "$game" | grep -o '"path_text":"[^"]*"' | sed 's/"path_text":"//; s/"$//' |
  while IFS= read -r path; do
    echo "click lblMLT(0)"
    echo "click lblMLT(3)"
    IFS=',' read -ra steps <<<"$path"
    for step in "${steps[@]}"; do
      read -r verb count <<<"${step/ x / }"
      if [ "$verb" = click ]; then
        for ((k = 0; k < count; k++)); do printf 'wait 1000\nclick Picture1\n'; done
      else
        printf 'wait 1000\nclick lblSEL(%d)\n' $((count - 1))
      fi
    done
    printf 'wait 70000\ndump\nclick Form\n'
  done
echo "close"
