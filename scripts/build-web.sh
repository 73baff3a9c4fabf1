#!/usr/bin/env bash
# Configures (once) and builds the `web` preset into build-web/: the core, the headless driver for Node.js
# (build-web/bin/shiori-headless.js) and the core's tests, with Debian's emscripten.
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emscripten runs its JavaScript tools with `node`, which finds Debian's JavaScript modules only here
# when it is not Debian's own node.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
if [ ! -f build-web/build.ninja ]; then
  cmake --preset web >/dev/null
fi
cmake --build --preset web -j "$(nproc)"
