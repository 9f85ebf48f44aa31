#!/bin/bash
# A private cupsd for the printing tests, sourced by their harnesses: its configuration, spool and logs all
# under one folder CUPS, listening only on CUPS/cups.sock. The harnesses add their own queues.
#
#   private_cupsd_start CUPS LOGLEVEL   writes the configuration, starts cupsd and exports CUPS_SERVER
#   private_cupsd_stop CUPS             stops the cupsd started in CUPS

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
private_cupsd_wait_for() {
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
private_cupsd_scheduler_running() {
    lpstat -r 2>/dev/null | grep -q "is running"
}

# Ends the process whose id the file holds, forcibly if it does not go within five seconds.
private_cupsd_stop_pid_file() {
    local pidFile="$1"
    if [ -f "$pidFile" ]; then
        local pid
        pid="$(cat "$pidFile")"
        kill "$pid" 2>/dev/null
        private_cupsd_wait_for 50 eval "! kill -0 $pid 2>/dev/null" || kill -9 "$pid" 2>/dev/null
        rm -f "$pidFile"
    fi
    return 0
}

# CUPS must be an absolute path. Returns 1 when the scheduler does not come up; its logs are in CUPS/log.
private_cupsd_start() {
    local cups="$1" logLevel="$2"
    mkdir -p "$cups/etc/ppd" "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log"
    # Filters run as an unprivileged user: they must reach the spool.
    chmod 0777 "$cups/spool" "$cups/spool/tmp"
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
LogLevel $logLevel
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
    cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >"$cups/log/cupsd.out" 2>&1 </dev/null &
    echo $! >"$cups/cupsd.pid"
    private_cupsd_wait_for 200 private_cupsd_scheduler_running
}

private_cupsd_stop() {
    private_cupsd_stop_pid_file "$1/cupsd.pid"
}
