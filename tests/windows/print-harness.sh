#!/bin/bash
# A private printing world for Wine tests, everything under one run folder:
#   - a cupsd listening only on a socket in the run folder, with one queue that writes each job
#     as PostScript to RUN/page.ps (generic PostScript PPD, Letter paper);
#   - an Xvfb display (the print dialog needs one);
#   - a fresh Wine prefix with Wine's own fonts and a virtual desktop.
#
# Sourced:   . print-harness.sh; print_harness_start RUN QUEUE; ...; print_harness_stop RUN
# Executed:  print-harness.sh start RUN QUEUE   (writes RUN/env.sh to source), print-harness.sh stop RUN
#
# After print_harness_start the environment holds CUPS_SERVER, DISPLAY, WINEPREFIX and the Wine
# settings, so `wine program.exe` prints into the private queue. Never pipe Wine's output: it can
# hang for good; redirect it to files instead.

print_harness_log() {
    echo "print-harness: $*" >&2
}

. "$(dirname "${BASH_SOURCE[0]}")/../private-cupsd.sh"

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
print_harness_wait_for() {
    private_cupsd_wait_for "$@"
}

print_harness_scheduler_running() {
    private_cupsd_scheduler_running
}

print_harness_start_cups() {
    local run="$1" queue="$2"
    # Filters run as an unprivileged user: they must reach the output file.
    chmod 0777 "$run"
    if ! private_cupsd_start "$run/cups" warn; then
        print_harness_log "cupsd did not start; see $run/cups/log"
        return 1
    fi
    print_harness_add_queue "$run" "$queue" page.ps || return 1
    lpadmin -d "$queue" >>"$run/cups/log/lpadmin.out" 2>&1
    return 0
}

# Another queue of the running cupsd, writing each job to RUN/FILE: print_harness_add_queue RUN QUEUE FILE
print_harness_add_queue() {
    local run="$1" queue="$2" file="$3"
    rm -f "$run/$file"
    if ! lpadmin -p "$queue" -E -v "file://$run/$file" -m drv:///sample.drv/generic.ppd \
        -o PageSize=Letter >>"$run/cups/log/lpadmin.out" 2>&1; then
        print_harness_log "lpadmin failed: $(cat "$run/cups/log/lpadmin.out")"
        return 1
    fi
    return 0
}

print_harness_start_display() {
    local run="$1"
    local displayFile="$run/xvfb.display"
    rm -f "$displayFile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayFile" \
        >"$run/xvfb.out" 2>&1 </dev/null &
    echo $! >"$run/xvfb.pid"
    if ! print_harness_wait_for 100 test -s "$displayFile"; then
        print_harness_log "Xvfb did not report a display"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$displayFile")"
    return 0
}

print_harness_start_wine() {
    local run="$1"
    export WINEPREFIX="$run/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
    rm -rf "$WINEPREFIX"
    if ! wineboot -i >"$run/wineboot.out" 2>&1; then
        print_harness_log "wineboot failed; see $run/wineboot.out"
        return 1
    fi
    wineserver -w
    # Debian's Wine lacks "MS Sans Serif" unless its own fonts are in the prefix.
    if compgen -G "/usr/share/wine/fonts/*" >/dev/null; then
        cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # Without a virtual desktop every window close stalls for about two seconds.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$run/wineboot.out" 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >>"$run/wineboot.out" 2>&1
    wineserver -w
    return 0
}

# Writes the environment of a started harness so that a second shell can join it.
print_harness_write_env() {
    local run="$1"
    {
        echo "export CUPS_SERVER='$CUPS_SERVER'"
        echo "export DISPLAY='$DISPLAY'"
        echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree=;mshtml='"
    } >"$run/env.sh"
}

print_harness_start() {
    local run="$1" queue="$2"
    mkdir -p "$run"
    run="$(cd "$run" && pwd)"
    print_harness_start_cups "$run" "$queue" || return 1
    print_harness_start_display "$run" || return 1
    print_harness_start_wine "$run" || return 1
    print_harness_write_env "$run"
    return 0
}

print_harness_stop_pid() {
    private_cupsd_stop_pid_file "$1"
}

print_harness_stop() {
    local run="$1"
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null
    fi
    print_harness_stop_pid "$run/xvfb.pid"
    private_cupsd_stop "$run/cups"
}

# Jobs of the queue that are not finished yet (held, pending or printing).
print_harness_pending_jobs() {
    lpstat -W not-completed -o "$1" 2>/dev/null
}

# Every job the queue ever had, finished or not.
print_harness_all_jobs() {
    lpstat -W all -o "$1" 2>/dev/null
}

# Waits until the queue has finished every job and written its file (page.ps unless named):
# print_harness_wait_printed RUN QUEUE [FILE]
print_harness_wait_printed() {
    local run="$1" queue="$2" file="${3:-page.ps}"
    print_harness_wait_for 600 eval "[ -s '$run/$file' ] && [ -z \"\$(print_harness_pending_jobs '$queue')\" ]"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    case "${1:-}" in
    start)
        print_harness_start "$2" "$3" || {
            print_harness_stop "$2"
            exit 1
        }
        ;;
    stop)
        [ -f "$2/env.sh" ] && . "$2/env.sh"
        print_harness_stop "$2"
        ;;
    *)
        echo "usage: $0 start RUN QUEUE | stop RUN" >&2
        exit 2
        ;;
    esac
fi
