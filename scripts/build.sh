#!/bin/bash
# Quick start, command 1: install what the build needs, build the Linux tool and write the default arc template.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset linux >/dev/null
cmake --build --preset linux
./build/linux/quillmere arc -o arc-template.pdf
