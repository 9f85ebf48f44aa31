#!/usr/bin/python3
"""The same figures the plain way, for the bench's comparison: the whole recording read into memory, its analytic
signal by scipy's Hilbert transform, the instantaneous frequency from the unwrapped phase, the speed error over
whole revolutions and the unweighted two-sigma deviation.

    hilbert-speed.py RECORDING.wav [--tone 3150] [--rpm 33.333]
"""
import argparse
import wave

import numpy as np
from scipy import signal

parser = argparse.ArgumentParser()
parser.add_argument("recording")
parser.add_argument("--tone", type=float, default=3150)
parser.add_argument("--rpm", type=float, default=100 / 3)
args = parser.parse_args()

with wave.open(args.recording, "rb") as reader:
    rate = reader.getframerate()
    channels = reader.getnchannels()
    width = reader.getsampwidth()
    raw = np.frombuffer(reader.readframes(reader.getnframes()), dtype=np.uint8)
if width == 3:
    padded = np.zeros((raw.size // 3, 4), dtype=np.uint8)
    padded[:, 1:] = raw.reshape(-1, 3)
    samples = padded.view("<i4").ravel() >> 8
else:
    samples = raw.view("<i2")
x = samples.reshape(-1, channels).mean(axis=1) / float(1 << (8 * width - 1))
phase = np.unwrap(np.angle(signal.hilbert(x)))
frequency = np.diff(phase) * rate / (2 * np.pi)
# Down to 1 kHz, then the revolutions.
step = rate // 1000
frequency = signal.decimate(frequency, step, ftype="fir")
rev = int(round(1000 * 60 / args.rpm))
settle = 2500
whole = (frequency.size - 2 * settle) // rev * rev
mean = frequency[settle:settle + whole].mean()
sos = signal.butter(2, [0.2, 200], btype="bandpass", fs=1000, output="sos")
deviation = signal.sosfilt(sos, frequency / mean - 1)[settle:settle + whole]
print("tone %.3f Hz, speed error %.4f %%, unweighted two sigma %.4f %%"
      % (mean, (mean / args.tone - 1) * 100, np.percentile(np.abs(deviation), 95) * 100))
