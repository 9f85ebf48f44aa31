#!/bin/bash
# Every print command of quillmere.exe under Wine, printed through the platform's print dialog into a private
# CUPS queue; each page is rendered with Ghostscript and measured.
#
#   main_window_print_test.sh DRIVER PROGRAM RUN [GROUP]
# GROUP is "commands" (every print command, the default) or "bad_input" (unreasonable input typed into the
# window, printed and rendered, the window still answering afterwards).
set -u
driver="$1"
program="$2"
run="$3"
group="${4:-commands}"
queue=QuillmereWindow
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/print-harness.sh"

rm -rf "$run"
mkdir -p "$run"
run="$(cd "$run" && pwd)"
driver="$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")"
programPath="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")"
trap 'print_harness_stop "$run"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
windows_path() {
    echo "Z:${1//\//\\}"
}

print_harness_start "$run" "$queue" || exit 1
export QUILLMERE_QUEUE="$queue" LANG=en_US.UTF-8
# The printable area is this far in from every edge of the queue's paper (its PPD, in points).
margin="$(sed -n 's/^\*ImageableArea Letter[^"]*"\([0-9.]*\) .*/\1/p' "$run/cups/etc/ppd/$queue.ppd")"
marginMm="$(awk -v points="${margin:-0}" 'BEGIN { print points * 25.4 / 72 }')"

# Runs one driver check; afterwards the queue must have received `jobs` more jobs.
jobsBefore=0
drive() {
    local check="$1" jobs="$2"
    rm -f "$run/page.ps"
    timeout 180 wine "$driver" "$(windows_path "$programPath")" "$(windows_path "$run")" "$check" \
        >"$run/$check.out" 2>"$run/$check.err" </dev/null
    local rc=$?
    cat "$run/$check.out"
    [ $rc -eq 0 ] || fail "$check: driver exit code $rc"
    if [ "$jobs" -gt 0 ]; then
        print_harness_wait_printed "$run" "$queue" || fail "$check: the queue did not finish"
    else
        sleep 2
    fi
    local jobsNow
    jobsNow="$(print_harness_all_jobs "$queue" | wc -l)"
    [ "$jobsNow" -eq $((jobsBefore + jobs)) ] || fail "$check: $((jobsNow - jobsBefore)) jobs, expected $jobs"
    jobsBefore=$jobsNow
}

# Keeps what a queue wrote to FILE as NAME.ps: keep NAME FILE
keep() {
    local name="$1" file="$2"
    if [ ! -s "$run/$file" ]; then
        fail "$name: nothing printed"
        return 1
    fi
    cp "$run/$file" "$run/$name.ps"
}

# Renders NAME.ps at 300 dpi; it must render without an error, as exactly one page: render NAME DEVICE
render() {
    local name="$1" device="$2"
    rm -f "$run/$name"-*.p?m
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE="$device" -r300 -o "$run/$name-%d.pnm" "$run/$name.ps" \
        >"$run/$name.gs.out" 2>&1 || fail "$name: Ghostscript exit code $?"
    grep -q "Error" "$run/$name.gs.out" && fail "$name: Ghostscript: $(grep -m1 Error "$run/$name.gs.out")"
    local pages
    pages="$(find "$run" -maxdepth 1 -name "$name-*.pnm" | wc -l)"
    [ "$pages" -eq 1 ] || fail "$name: $pages pages, expected 1"
    [ "$pages" -eq 1 ]
}

# Measures the rendered page NAME-1.pnm: measure_rendered NAME KIND ARGUMENTS...
measure_rendered() {
    local name="$1" kind="$2"
    shift 2
    wine "$driver" measure "$kind" "$(windows_path "$run/$name-1.pnm")" 300 "$marginMm" "$@" \
        >"$run/$name.measure.out" 2>&1 || fail "$name: measured wrong"
    cat "$run/$name.measure.out"
}

# Renders the last page and measures it: measure NAME DEVICE KIND ARGUMENTS...
measure() {
    local name="$1" device="$2" kind="$3"
    shift 3
    keep "$name" page.ps && render "$name" "$device" && measure_rendered "$name" "$kind" "$@"
}

every_command() {
    drive print_confirm_cancel 0
    drive print_60 1
    measure strobe-60 pgmraw strobe 216 160
    drive print_50 1
    measure strobe-50 pgmraw strobe 180 133
    drive print_custom_50 1
    measure strobe-custom pgmraw strobe 180 133
    drive print_arc 1
    measure arc pgmraw arc 209
    # A cancelled print dialog leaves no job, and the next command in the same run prints normally.
    drive print_cancel_then_60 1
    measure strobe-after-cancel pgmraw strobe 216 160
    drive print_red_on_black 1
    measure red-on-black ppmraw colours 0000ff 000000
}

# Unreasonable input typed into the window: the arc template goes to the first queue, the 60 Hz disk that
# follows it to a second one, and each page must render. Where the correction factors are still 1 the page is
# measured too; with the factors empty (read as 0) everything lies on one point and only rendering is checked.
strobeQueue=QuillmereStrobe
strobeJobsBefore=0
drive_bad_input() {
    local input="$1" started=$SECONDS
    rm -f "$run/strobe.ps"
    drive "bad_input_$input" 1
    print_harness_wait_printed "$run" "$strobeQueue" strobe.ps || fail "$input: the strobe queue did not finish"
    local strobeJobs
    strobeJobs="$(print_harness_all_jobs "$strobeQueue" | wc -l)"
    [ "$strobeJobs" -eq $((strobeJobsBefore + 1)) ] ||
        fail "$input: $((strobeJobs - strobeJobsBefore)) strobe jobs, expected 1"
    strobeJobsBefore=$strobeJobs
    keep "arc-$input" page.ps && render "arc-$input" pgmraw
    keep "strobe-$input" strobe.ps && render "strobe-$input" pgmraw
    echo "$input: $((SECONDS - started)) s"
}

bad_input() {
    print_harness_add_queue "$run" "$strobeQueue" strobe.ps || {
        fail "no second queue"
        return
    }
    export QUILLMERE_STROBE_QUEUE="$strobeQueue"
    drive_bad_input empty
    drive_bad_input huge_distance
    measure_rendered arc-huge_distance frame
    measure_rendered strobe-huge_distance strobe 216 160
    drive_bad_input huge_radius
    measure_rendered arc-huge_radius arc 209
    measure_rendered strobe-huge_radius strobe 216 160
    drive_bad_input swapped
    measure_rendered arc-swapped arc 209
    measure_rendered strobe-swapped strobe 216 160
}

case "$group" in
commands) every_command ;;
bad_input) bad_input ;;
*) fail "no group named $group" ;;
esac

echo "$failures failure(s)"
if [ "$failures" -eq 0 ]; then
    # A passing run needs no evidence kept; the prefix alone is several hundred megabytes.
    print_harness_stop "$run"
    rm -rf "$WINEPREFIX"
fi
[ "$failures" -eq 0 ]
