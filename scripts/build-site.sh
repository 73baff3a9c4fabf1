#!/usr/bin/env bash
# Builds the web page's static site into build-web/site/: the page (web/), the core as WebAssembly, the zip reader,
# the demo game packed as a zip, and the stage font cut down to the characters Shift-JIS text can hold. Any static
# web server can host that folder. Needs the desktop build first (the demo is generated there).
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emscripten runs its JavaScript tools with `node`, which finds Debian's JavaScript modules only here
# when it is not Debian's own node.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
if [ ! -f build-web/build.ninja ]; then
  cmake --preset web >/dev/null
fi
cmake --build --preset web --target shiori-web -j "$(nproc)"

site=build-web/site
rm -rf "$site/js"
mkdir -p "$site/js" "$site/vendor"
cp web/index.html web/style.css "$site/"
cp web/js/*.js "$site/js/"
cp build-web/bin/shiori-web.mjs build-web/bin/shiori-web.wasm "$site/"
cp node_modules/fflate/esm/browser.js "$site/vendor/fflate.js"
scripts/pack-web-assets.py --demo build/demo --out "$site"
