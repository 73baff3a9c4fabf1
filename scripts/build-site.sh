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
cp web/index.html web/style.css web/manifest.webmanifest src/app/share/shiori.svg "$site/"
cp web/js/*.js "$site/js/"
cp build-web/bin/shiori-web.mjs build-web/bin/shiori-web.wasm "$site/"
cp node_modules/fflate/esm/browser.js "$site/vendor/fflate.js"
scripts/pack-web-assets.py --demo build/demo --out "$site"
# The service worker keeps every file of the site for offline use, in a cache named after their content: any change
# makes a new version, which replaces the old at the page's next start.
python3 - "$site" <<'PY'
import hashlib, json, pathlib, sys
site = pathlib.Path(sys.argv[1])
files = sorted(p.relative_to(site).as_posix() for p in site.rglob("*") if p.is_file() and p.name != "sw.js")
digest = hashlib.sha256()
for name in files:
    digest.update(name.encode() + b"\0" + (site / name).read_bytes())
worker = pathlib.Path("web/sw.js").read_text()
worker = worker.replace("const VERSION = 'development';", f"const VERSION = '{digest.hexdigest()[:16]}';")
worker = worker.replace("const FILES = [];", f"const FILES = {json.dumps(['./', *files], indent=1)};")
(site / "sw.js").write_text(worker)
PY
