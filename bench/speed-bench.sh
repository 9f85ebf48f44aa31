#!/bin/bash
# The speed command against the plain numpy/scipy way on the same recording, measured in the same run, and the
# peak memory of a 30-minute take streamed from standard input.
#   speed-bench.sh [TOOL]     (default build/linux/quillmere; needs python3-numpy and python3-scipy)
set -euo pipefail
cd "$(dirname "$0")/.."
tool="${1:-build/linux/quillmere}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Debian's own Python, which has its numpy and scipy, whatever else is first on the PATH.
python=/usr/bin/python3

"$python" bench/make-tone.py "$work/take.wav" 60 --rate 96000 --bits 24 --channels 2
best() { sort -n | head -n1; }
seconds() { local start end; start=$(date +%s%N); "$@" >/dev/null 2>&1; end=$(date +%s%N); echo $(((end - start) / 1000000)); }
ours=$(for i in 1 2 3 4 5; do seconds "$tool" speed "$work/take.wav"; done | best)
theirs=$(for i in 1 2 3; do seconds "$python" bench/hilbert-speed.py "$work/take.wav"; done | best)
echo "60 s, 96 kHz, 24-bit stereo WAV: quillmere speed best ${ours} ms, numpy/scipy Hilbert best ${theirs} ms" \
     "($((theirs / (ours > 0 ? ours : 1))) times as long)"

peak=$("$python" bench/make-tone.py - 1800 --rate 44100 --bits 16 --channels 2 |
       /usr/bin/time -f "%M" "$tool" speed - 2>&1 >/dev/null | tail -n1)
echo "30-minute 44.1 kHz 16-bit stereo take from standard input: peak RSS $((peak / 1024)) MiB"
