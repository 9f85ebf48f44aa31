#!/bin/bash
# Quick start, command 2: install what the tests need, build both programs and run every test.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test || exit 1

failed=()
stage() {
    local name="$1"; shift
    echo "=== $name"
    if ! "$@"; then
        failed+=("$name")
    fi
}

build_linux() { cmake --preset linux >/dev/null && cmake --build --preset linux; }
build_windows() { cmake --preset windows >/dev/null && cmake --build --preset windows; }
build_asan() { cmake --preset asan >/dev/null && cmake --build --preset asan; }

stage "linux build" build_linux
# The browser version's site before the Linux tests: its browser tests (label web) compare it with the Linux tool.
stage "web build" scripts/build-web.sh
stage "web unit tests (WebAssembly under Node)" ctest --preset web
stage "linux tests" ctest --preset linux -j2
stage "windows build" build_windows
stage "windows tests" ctest --preset windows
# The unit and Linux-tool tests again under AddressSanitizer and UndefinedBehaviorSanitizer (the package test only
# makes sense for the release build).
stage "sanitizer build" build_asan
stage "sanitizer tests" ctest --preset asan -j2 -L "unit|cli" -E deb_package
stage "fuzzing" scripts/fuzz.sh

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "All tests passed."
