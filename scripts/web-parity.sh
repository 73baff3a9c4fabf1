#!/usr/bin/env bash
# Builds the core to WebAssembly (build-web/), runs its suite under Node.js, then checks the Node.js headless
# driver against the native one on the demo (tests/web/parity.py). Needs the native build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
ctest --preset web
python3 tests/web/parity.py build/bin/shiori build-web/bin/shiori-headless.js build/demo build/bin/shiori-tool
