#!/bin/bash
# Runs a cross-built console test program under Wine with a private prefix in the build folder.
# Never pipe Wine's output: it can hang; the program writes straight to our stdout/stderr.
set -u
prog="$1"; shift
build_dir="$(cd "$(dirname "$prog")" && pwd)"
export WINEPREFIX="${QUILLMERE_WINEPREFIX:-$build_dir/wineprefix-console}"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >"$build_dir/wineboot.log" 2>&1
    wineserver -w
fi
wine "$prog" "$@"
rc=$?
exit $rc
