#!/bin/bash
# A private CUPS print server for the Linux tool's printing tests, everything under one run folder:
# a cupsd listening only on RUN/cups/cups.sock, and a queue that passes each job through the ordinary PDF
# filter chain (where scaling and rotation would happen) and writes the printed PDF to RUN/QUEUE.pdf.
#
#   cups-harness.sh start RUN QUEUE   starts the server, adds the queue (the default), writes RUN/env.sh
#   cups-harness.sh stop RUN          stops the server started in RUN
#   cups-harness.sh wait RUN QUEUE    waits until the queue has finished its jobs and written RUN/QUEUE.pdf
#
# RUN/env.sh sets CUPS_SERVER, so libcups and the lp tools talk to this server only.
set -u

harness_log() {
    echo "cups-harness: $*" >&2
}

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
harness_wait_for() {
    local tenths="$1"
    shift
    local i
    for ((i = 0; i < tenths; i++)); do
        if "$@"; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# lpstat exits 0 whether or not the scheduler runs: read what it says.
harness_scheduler_running() {
    lpstat -r 2>/dev/null | grep -q "is running"
}

harness_start() {
    local run="$1" queue="$2"
    mkdir -p "$run"
    run="$(cd "$run" && pwd)"
    local cups="$run/cups"
    # A local socket's path holds at most 107 bytes.
    if [ ${#cups} -gt 90 ]; then
        harness_log "the run folder's path is too long for a socket: $cups"
        return 1
    fi
    harness_stop "$run" 2>/dev/null
    rm -rf "$cups"
    mkdir -p "$cups/etc/ppd" "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log"
    # Filters run as an unprivileged user: they must reach the spool and the output file.
    chmod 0777 "$run" "$cups/spool" "$cups/spool/tmp"
    cat >"$cups/cups-files.conf" <<EOF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
FileDevice Yes
Sandboxing Relaxed
EOF
    cat >"$cups/cupsd.conf" <<EOF
Listen $cups/cups.sock
LogLevel info
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    export CUPS_SERVER="$cups/cups.sock"
    echo "export CUPS_SERVER='$CUPS_SERVER'" >"$run/env.sh"
    cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >"$cups/log/cupsd.out" 2>&1 </dev/null &
    echo $! >"$cups/cupsd.pid"
    if ! harness_wait_for 200 harness_scheduler_running; then
        harness_log "cupsd did not start; see $cups/log"
        return 1
    fi
    local ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
    if [ ! -f "$ppd" ]; then
        harness_log "no PDF printer description at $ppd (package cups-filters)"
        return 1
    fi
    rm -f "$run/$queue.pdf"
    if ! lpadmin -p "$queue" -E -v "file://$run/$queue.pdf" -P "$ppd" >"$cups/log/lpadmin.out" 2>&1 ||
        ! lpadmin -d "$queue" >>"$cups/log/lpadmin.out" 2>&1; then
        harness_log "lpadmin failed: $(cat "$cups/log/lpadmin.out")"
        return 1
    fi
    return 0
}

harness_stop() {
    local run="$1"
    local pidFile="$run/cups/cupsd.pid"
    if [ -f "$pidFile" ]; then
        local pid
        pid="$(cat "$pidFile")"
        kill "$pid" 2>/dev/null
        harness_wait_for 50 eval "! kill -0 $pid 2>/dev/null" || kill -9 "$pid" 2>/dev/null
        rm -f "$pidFile"
    fi
    return 0
}

harness_wait() {
    local run="$1" queue="$2"
    [ -f "$run/env.sh" ] && . "$run/env.sh"
    harness_wait_for 600 eval "[ -s '$run/$queue.pdf' ] && [ -z \"\$(lpstat -W not-completed -o '$queue' 2>/dev/null)\" ]"
}

case "${1:-}" in
start)
    harness_start "$2" "$3" || {
        harness_stop "$2"
        exit 1
    }
    ;;
stop)
    harness_stop "$2"
    ;;
wait)
    harness_wait "$2" "$3"
    ;;
*)
    echo "usage: $0 start RUN QUEUE | stop RUN | wait RUN QUEUE" >&2
    exit 2
    ;;
esac
