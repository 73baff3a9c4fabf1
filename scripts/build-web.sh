#!/usr/bin/env bash
# Builds the web page's static site into build-web/site/: the page (web/), the core as WebAssembly, the zip reader,
# the demo game packed as a zip, and the stage font cut down to the characters Shift-JIS text can hold.
# Needs the desktop build first (the demo is generated there).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# Debian's emscripten runs its optimizer on the system's Node.js modules.
export NODE_PATH=/usr/share/nodejs
if [ ! -f build-web/build.ninja ]; then
  emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DSHIORI_BUILD_TESTS=OFF >/dev/null
fi
cmake --build build-web --target shiori-web -j "$(nproc)"

site=build-web/site
mkdir -p "$site/js" "$site/vendor"
cp web/index.html web/style.css "$site/"
cp web/js/*.js "$site/js/"
cp build-web/bin/shiori-web.mjs build-web/bin/shiori-web.wasm "$site/"
cp node_modules/fflate/esm/browser.js "$site/vendor/fflate.js"
scripts/pack-web-assets.py --demo build/demo --out "$site"
