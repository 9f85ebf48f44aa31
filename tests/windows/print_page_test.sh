#!/bin/bash
# Prints the test page under Wine into a private CUPS queue and checks what reached the queue:
# a cancelled print dialog leaves no job, a confirmed one prints one landscape page whose two
# 200 mm lines measure 200 mm, with its text line intact.
set -u
exe="$1"
run="$2"
queue=QuillmereTest
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/print-harness.sh"

rm -rf "$run"
mkdir -p "$run"
run="$(cd "$run" && pwd)"
trap 'print_harness_stop "$run"' EXIT

failures=0
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}
contains() {
    [[ "$1" == *"$2"* ]]
}
show() {
    echo "--- $1"
    cat "$1"
}

print_harness_start "$run" "$queue" || exit 1

wine "$exe" jobs "$queue" cancel >"$run/cancel.out" 2>&1
cancelRc=$?
show "$run/cancel.out"
check "a cancelled dialog ends silently" [ "$cancelRc" -eq 0 ]
sleep 1
check "a cancelled dialog leaves no job" [ -z "$(print_harness_all_jobs "$queue")" ]
check "a cancelled dialog prints nothing" [ ! -e "$run/page.ps" ]

# A cancelled dialog first, in the same process: the job after it must print normally.
wine "$exe" jobs "$queue" cancel print >"$run/print.out" 2>&1
printRc=$?
show "$run/print.out"
check "after a cancel the test page is printed" [ "$printRc" -eq 0 ]
check "the queue finishes the job" print_harness_wait_printed "$run" "$queue"
check "exactly one job reached the queue" [ "$(print_harness_all_jobs "$queue" | wc -l)" -eq 1 ]

if [ -s "$run/page.ps" ]; then
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pgmraw -r300 -o "$run/page-%d.pgm" "$run/page.ps" >"$run/gs.out" 2>&1
    check "one page" [ "$(find "$run" -maxdepth 1 -name 'page-*.pgm' | wc -l)" -eq 1 ]
    # The printable area starts where the queue's PPD says (left margin of Letter, in points).
    margin="$(sed -n 's/^\*ImageableArea Letter[^"]*"\([0-9.]*\) .*/\1/p' "$run/cups/etc/ppd/$queue.ppd")"
    marginMm="$(awk -v points="${margin:-0}" 'BEGIN { print points * 25.4 / 72 }')"
    wine "$exe" measure "$(winepath -w "$run/page-1.pgm")" 300 "$marginMm" >"$run/measure.out" 2>&1
    measureRc=$?
    show "$run/measure.out"
    check "the lines measure 200 mm from the printable corner, text clipped at its edge" [ "$measureRc" -eq 0 ]
    # The landscape page lies turned on portrait paper, so its text comes out one glyph per line, last
    # glyph first, with the blanks as no-break spaces.
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=txtwrite -o "$run/page.txt" "$run/page.ps" >>"$run/gs.out" 2>&1
    text="$(tac "$run/page.txt" | sed -e 's/^ *//' -e 's/\r$//' | tr -d '\n' | sed -e 's/\xc2\xa0/ /g')"
    echo "text on the page: $text"
    check "the text line is on the page" contains "$text" "Quillmere test page 200 mm ° ö"
fi

echo "$failures failure(s)"
if [ "$failures" -eq 0 ]; then
    # A passing run needs no evidence kept; the prefix alone is several hundred megabytes.
    print_harness_stop "$run"
    rm -rf "$WINEPREFIX"
fi
[ "$failures" -eq 0 ]
