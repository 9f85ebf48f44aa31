#!/bin/bash
# The whole tool as a user starts it: median and best wall time and peak memory of N runs of one command line.
#   measure-process.sh TOOL [N] -- ARGS...      e.g.  measure-process.sh build/linux/quillmere 31 -- arc -o /tmp/a.pdf
set -euo pipefail
tool="$1"
runs="${2:-31}"
shift 2
[ "${1:-}" = "--" ] && shift
walls=()
peaks=()
for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    peak=$(/usr/bin/time -f "%M" "$tool" "$@" 2>&1 >/dev/null | tail -n1)
    end=$(date +%s%N)
    walls+=($(((end - start) / 1000)))
    peaks+=("$peak")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
wall=$(median "${walls[@]}")
# The best run is the one least disturbed by whatever else the machine was doing.
best=$(printf '%s\n' "${walls[@]}" | sort -n | head -n1)
echo "$(basename "$tool") $*: median wall $((wall / 1000)).$(((wall % 1000) / 100)) ms, best $((best / 1000)).$(((best % 1000) / 100)) ms, median peak RSS $(median "${peaks[@]}") KiB over $runs runs"
