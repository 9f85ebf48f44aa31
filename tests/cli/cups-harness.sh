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

. "$(dirname "${BASH_SOURCE[0]}")/../private-cupsd.sh"

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
    # Filters run as an unprivileged user: they must reach the output file.
    chmod 0777 "$run"
    if ! private_cupsd_start "$cups" info; then
        harness_log "cupsd did not start; see $cups/log"
        return 1
    fi
    echo "export CUPS_SERVER='$CUPS_SERVER'" >"$run/env.sh"
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
    private_cupsd_stop "$1/cups"
}

harness_wait() {
    local run="$1" queue="$2"
    [ -f "$run/env.sh" ] && . "$run/env.sh"
    local finished="[ -s '$run/$queue.pdf' ] && [ -z \"\$(lpstat -W not-completed -o '$queue' 2>/dev/null)\" ]"
    private_cupsd_wait_for 600 eval "$finished"
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
