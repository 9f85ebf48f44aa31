#!/bin/bash
# Builds the fuzz targets (preset "fuzz", clang + libFuzzer + ASan/UBSan) and runs each for SECONDS (default 25),
# one after another. Fails when a target finds a crash, a sanitizer report, a broken property, a hang or runs out of
# memory; the input that did it is kept under build/fuzz/artifacts/. The corpus grows under build/fuzz/corpus/ from
# the seeds in fuzz/corpus/ and is reused by the next run.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-25}"
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
    exit 2
fi

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz -j2 || exit 1

build=build/fuzz
# fontconfig's cache lives until exit and is no leak of ours; everything else leaking fails the run.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan_suppressions.txt:print_suppressions=0"
mkdir -p "$build/corpus" "$build/artifacts" "$build/logs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for binary in "$build"/fuzz/*_fuzz; do
        targets+=("$(basename "$binary")")
    done
fi

failed=()
for target in "${targets[@]}"; do
    binary="$build/fuzz/$target"
    if [ ! -x "$binary" ]; then
        echo "=== $target: no such fuzz target" >&2
        failed+=("$target")
        continue
    fi
    mkdir -p "$build/corpus/$target"
    seeds=()
    [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
    log="$build/logs/$target.log"
    # The outer timeout only guards against libFuzzer itself getting stuck; -timeout catches slow single inputs.
    timeout --kill-after=10 $((seconds + 120)) "$binary" "$build/corpus/$target" "${seeds[@]}" \
        -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ $status -eq 0 ]; then
        echo "=== $target: ${runs:-?} runs in ${seconds} s, no failure"
    else
        echo "=== $target: FAILED (exit $status) after ${runs:-?} runs; log $log"
        grep -v -E '^ +#[0-9]+ |^(INFO|#[0-9]+)' "$log" | tail -25
        ls -1 "$build/artifacts/$target-"* 2>/dev/null | tail -3
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "FUZZING FAILED: ${failed[*]}"
    exit 1
fi
echo "Fuzzing passed."
