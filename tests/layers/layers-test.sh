#!/bin/bash
# Each layer compiles against the headers of the layers it may use and reaches no other layer's header: a layer
# below, or a neighbour beside it.
#   layers-test.sh CXX NAME:MAY,USE,THESE=DIR;DIR ...      (a layer may always use itself)
set -uo pipefail
compiler="$1"
shift
names=()
allowed=()
includes=()
for arg in "$@"; do
    head="${arg%%=*}"
    names+=("${head%%:*}")
    allowed+=(",${head#*:},${head%%:*},")
    includes+=("${arg#*=}")
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
for ((i = 0; i < ${#names[@]}; i++)); do
    flags=()
    IFS=';' read -ra dirs <<<"${includes[$i]}"
    for dir in "${dirs[@]}"; do
        [ -n "$dir" ] && flags+=("-I$dir")
    done
    for ((j = 0; j < ${#names[@]}; j++)); do
        # Any header of layer j stands for the layer.
        header=$(cd "$QUILLMERE_SOURCE_DIR" && ls "${names[$j]}"/*.h | head -n1)
        printf '#include "%s"\n' "$header" >"$work/probe.cpp"
        "$compiler" -std=c++20 -fsyntax-only "${flags[@]}" "$work/probe.cpp" 2>"$work/errors"
        compiled=$?
        checks=$((checks + 1))
        if [[ "${allowed[$i]}" == *",${names[$j]},"* ]]; then
            if ((compiled != 0)); then
                echo "${names[$i]} cannot include $header, which it may use:" && cat "$work/errors"
                failures=$((failures + 1))
            fi
        elif ((compiled == 0)); then
            echo "${names[$i]} can include $header, which it must not reach"
            failures=$((failures + 1))
        fi
    done
done
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
