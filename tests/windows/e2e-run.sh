#!/bin/bash
# End-to-end runs of the Windows program under Wine, on a private X display.
#
#   e2e-run.sh prepare RUN                          a fresh Wine prefix in RUN (fonts, virtual desktop)
#   e2e-run.sh run RUN DRIVER PROGRAM CHECK...      the driver's checks against the program, in that prefix
#
# The prefix is made once per test run and shared by the checks; each check gets its own display and
# wineserver. Never pipe Wine's output (it can hang for good): it goes to files, printed afterwards.
set -u

log() { echo "e2e-run: $*" >&2; }

wine_environment() {
    export WINEPREFIX="$1/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
    # The program's texts are in the Western code page; pin the locale so that Wine picks it.
    export LANG=en_US.UTF-8 LC_ALL=
}

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
wait_for() {
    local tenths="$1" i
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

prepare() {
    local run="$1"
    mkdir -p "$run"
    run="$(cd "$run" && pwd)"
    wine_environment "$run"
    rm -rf "$WINEPREFIX"
    if ! wineboot -i >"$run/wineboot.out" 2>&1; then
        log "wineboot failed; see $run/wineboot.out"
        return 1
    fi
    wineserver -w
    # Debian's Wine has no "MS Sans Serif" of its own until its fonts are in the prefix; without it the
    # dialog units come out wrong.
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    # Without a virtual desktop every window close stalls for about two seconds.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$run/wineboot.out" 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >>"$run/wineboot.out" 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ]
}

windows_path() {
    local path
    path="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
    echo "Z:${path//\//\\}"
}

run_checks() {
    local run="$1" driver="$2" program="$3"
    shift 3
    run="$(cd "$run" && pwd)"
    wine_environment "$run"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "no prefix in $run: run 'e2e-run.sh prepare' first"
        return 1
    fi
    local name="${1:-checks}"
    local out="$run/$name"
    mkdir -p "$out"
    rm -f "$out/display" "$out"/*.bmp

    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out/display" >"$out/xvfb.out" 2>&1 </dev/null &
    local xvfb=$!
    if ! wait_for 100 test -s "$out/display"; then
        log "Xvfb did not report a display"
        kill "$xvfb" 2>/dev/null
        return 1
    fi
    export DISPLAY=":$(head -n1 "$out/display")"

    driver="$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")"
    timeout 240 wine "$driver" "$(windows_path "$program")" "$(windows_path "$out")" "$@" \
        >"$out/driver.out" 2>"$out/driver.err" </dev/null
    local rc=$?
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null

    cat "$out/driver.out"
    [ $rc -eq 0 ] || { echo "driver exit code $rc"; grep -v '^$' "$out/driver.err" | tail -n 20; }
    local shot
    for shot in "$out"/*.bmp; do
        [ -f "$shot" ] || continue
        # Kept beside the build for a human to look at.
        local png
        png="$(dirname "$run")/$(basename "$shot" .bmp).png"
        convert "$shot" "$png" && echo "screenshot: $png"
    done
    return $rc
}

case "${1:-}" in
prepare) prepare "$2" ;;
run)
    shift
    run_checks "$@"
    ;;
*)
    echo "usage: $0 prepare RUN | run RUN DRIVER PROGRAM CHECK..." >&2
    exit 2
    ;;
esac
