#!/usr/bin/python3
"""A test-tone recording for the speed bench: a phase-accumulated tone whose frequency carries a speed error and a
once-per-revolution swing, written as PCM WAV in blocks (to a file or, with "-", to standard output).

    make-tone.py OUT SECONDS [--rate 96000] [--bits 24] [--channels 2] [--tone 3150] [--error -0.4]
"""
import argparse
import sys
import wave

import numpy as np

parser = argparse.ArgumentParser()
parser.add_argument("out")
parser.add_argument("seconds", type=float)
parser.add_argument("--rate", type=int, default=96000)
parser.add_argument("--bits", type=int, default=24, choices=(16, 24))
parser.add_argument("--channels", type=int, default=2)
parser.add_argument("--tone", type=float, default=3150)
parser.add_argument("--error", type=float, default=-0.4, help="speed error in per cent")
parser.add_argument("--swing", type=float, default=0.08, help="once-per-revolution swing, per cent peak")
parser.add_argument("--flutter", type=float, default=0.02, help="7.3 Hz flutter, per cent peak")
args = parser.parse_args()

out = sys.stdout.buffer if args.out == "-" else open(args.out, "wb")
writer = wave.open(out, "wb")
writer.setnchannels(args.channels)
writer.setsampwidth(args.bits // 8)
writer.setframerate(args.rate)
frames = int(args.seconds * args.rate)
writer.setnframes(frames)
revolution = 100 / 3 / 60
phase = 0.0
block = 1 << 16
scale = (1 << (args.bits - 1)) - 1
for start in range(0, frames, block):
    t = (np.arange(start, min(frames, start + block)) / args.rate)
    speed = (1 + args.error / 100 + args.swing / 100 * np.sin(2 * np.pi * revolution * t)
             + args.flutter / 100 * np.sin(2 * np.pi * 7.3 * t))
    steps = 2 * np.pi * args.tone * speed / args.rate
    phases = phase + np.cumsum(steps)
    phase = float(phases[-1] % (2 * np.pi))
    x = np.round(0.5 * scale * np.sin(phases)).astype(np.int32)
    interleaved = np.repeat(x, args.channels)
    if args.bits == 16:
        data = interleaved.astype("<i2").tobytes()
    else:
        b = interleaved.astype("<i4").view(np.uint8).reshape(-1, 4)[:, :3]
        data = b.tobytes()
    writer.writeframesraw(data)
writer.close()
