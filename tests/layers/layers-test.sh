#!/bin/bash
# Each layer compiles against the headers of its own layer and those below it, and cannot reach a header of a layer
# above it.   layers-test.sh CXX LAYER=DIR;DIR... (lowest layer first)
set -uo pipefail
compiler="$1"
shift
layers=()
includes=()
for arg in "$@"; do
    layers+=("${arg%%=*}")
    includes+=("${arg#*=}")
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
for ((i = 0; i < ${#layers[@]}; i++)); do
    flags=()
    IFS=';' read -ra dirs <<<"${includes[$i]}"
    for dir in "${dirs[@]}"; do
        [ -n "$dir" ] && flags+=("-I$dir")
    done
    for ((j = 0; j < ${#layers[@]}; j++)); do
        # Any header of layer j stands for the layer.
        header=$(cd "$QUILLMERE_SOURCE_DIR" && ls "${layers[$j]}"/*.h | head -n1)
        printf '#include "%s"\n' "$header" >"$work/probe.cpp"
        "$compiler" -std=c++20 -fsyntax-only "${flags[@]}" "$work/probe.cpp" 2>"$work/errors"
        compiled=$?
        checks=$((checks + 1))
        if ((j <= i && compiled != 0)); then
            echo "${layers[$i]} cannot include its own or a lower layer's $header:" && cat "$work/errors"
            failures=$((failures + 1))
        elif ((j > i && compiled == 0)); then
            echo "${layers[$i]} can include $header of the layer above it"
            failures=$((failures + 1))
        fi
    done
done
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
