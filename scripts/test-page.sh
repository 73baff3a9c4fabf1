#!/usr/bin/env bash
# Builds the web page's site and tests the page in Debian's Chromium against a server on 127.0.0.1.
# Needs the desktop build (the demo, and the headless player whose screenshots the stage is compared with).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-site.sh
node --test --test-concurrency=1 tests/web/*.test.mjs
