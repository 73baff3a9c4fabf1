#!/usr/bin/env bash
# Plays the bundled demo game, or the game folder given as the first argument.
#   ./run.sh                  the demo
#   ./run.sh ~/games/story    your own game folder
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
game="${1:-$root/build/demo}"
shift || true
exec "$root/build/bin/shiori" "$game" "$@"
