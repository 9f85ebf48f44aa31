#!/bin/bash
# Installs the Debian packages a stage needs, only when some are missing.
#   install-deps.sh build   what building the Linux tool needs
#   install-deps.sh web     what building the browser version needs (Emscripten, Node and npm)
#   install-deps.sh test    also the Windows cross build, Wine, CUPS, the page-measuring tools and the browser version
#                           with Chromium for its tests
set -euo pipefail

build_packages=(g++ cmake ninja-build pkg-config libcairo2-dev fontconfig fonts-liberation libcups2-dev libcli11-dev
                nlohmann-json3-dev googletest libgtest-dev libgmock-dev libsndfile1-dev libkissfft-dev)
test_packages=(g++-mingw-w64-x86-64 wine64 wine fonts-wine xvfb xauth x11-apps cups cups-bsd cups-client
               printer-driver-cups-pdf ghostscript poppler-utils imagemagick qpdf libbenchmark-dev clang
               libclang-rt-14-dev dpkg-dev man-db file unzip python3)

# Emscripten's optimizer needs acorn from node-acorn; the site's fonts are those of fonts-liberation; its icons are
# drawn by rsvg-convert.
web_packages=(emscripten node-acorn nodejs fonts-liberation librsvg2-bin)
# npm comes with some Node.js builds; Debian's own nodejs needs the npm package beside it.
if ! command -v npm >/dev/null; then
    web_packages+=(npm)
fi
web_test_packages=(chromium poppler-utils)

case "${1:-build}" in
    build) wanted=("${build_packages[@]}") ;;
    web) wanted=("${build_packages[@]}" "${web_packages[@]}") ;;
    test) wanted=("${build_packages[@]}" "${test_packages[@]}" "${web_packages[@]}" "${web_test_packages[@]}") ;;
    *) echo "usage: $0 build|web|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
