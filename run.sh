#!/usr/bin/env bash
# Plays the bundled demo game, or the game folder given as the first argument.
#   ./run.sh                  the demo
#   ./run.sh ~/games/story    your own game folder
#   ./run.sh --web            builds the web page and serves it on http://127.0.0.1:8080/
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
if [ "${1:-}" = "--web" ]; then
  "$root/scripts/build-site.sh"
  exec "$root/scripts/serve-web.py" --site "$root/build-web/site" --port 8080
fi
game="${1:-$root/build/demo}"
shift || true
exec "$root/build/bin/shiori" "$game" "$@"
