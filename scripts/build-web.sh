#!/bin/bash
# Builds the browser version into build/web/site: installs Emscripten, Node.js and npm when missing, installs the
# site's JavaScript packages exactly as web/package-lock.json pins them, compiles the core to WebAssembly and puts
# the page together. Open build/web/site/index.html, or serve that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
# Debian's Emscripten finds acorn only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f web/node_modules/.package-lock.json ] || [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
    (cd web && npm ci --no-audit --no-fund)
fi
cmake --preset web >/dev/null
cmake --build --preset web
du -sh build/web/site
