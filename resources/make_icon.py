#!/usr/bin/env python3
"""Draws the program icon (a record, a tone arm over it and the stylus arc) and writes quillmere.ico:
256, 48, 32 and 16 pixels square, each at 4, 8 and 32 bits per pixel. Standard library only.

Run it from anywhere; it writes beside itself unless given an output path."""

import math
import os
import struct
import sys
import zlib

SIZES = (256, 48, 32, 16)
DEPTHS = (4, 8, 32)

PIVOT = (0.86, 0.16)
RECORD_CENTRE = (0.42, 0.58)
RECORD_RADIUS = 0.39
LABEL_RADIUS = 0.13
SPINDLE_RADIUS = 0.025
STYLUS = (0.30, 0.40)


def distance(a, b):
    return math.hypot(a[0] - b[0], a[1] - b[1])


def distance_to_segment(p, a, b):
    ax, ay = b[0] - a[0], b[1] - a[1]
    t = ((p[0] - a[0]) * ax + (p[1] - a[1]) * ay) / (ax * ax + ay * ay)
    t = max(0.0, min(1.0, t))
    return distance(p, (a[0] + t * ax, a[1] + t * ay))


def colour_at(p):
    """The artwork as a function of the unit square: an RGBA tuple, later layers painted over earlier ones."""
    colour = None
    r = distance(p, RECORD_CENTRE)
    if r <= RECORD_RADIUS:
        # Vinyl with a few lighter grooves, darker towards the rim.
        shade = 28 + int(14 * (1 - r / RECORD_RADIUS))
        colour = (shade, shade, shade, 255)
        for groove in (0.19, 0.25, 0.31, 0.36):
            if abs(r - groove) < 0.008:
                colour = (96, 96, 96, 255)
    if r <= LABEL_RADIUS:
        colour = (204, 64, 38, 255)
    if r <= SPINDLE_RADIUS:
        colour = (235, 235, 235, 255)
    # The stylus arc: a circle about the pivot through the stylus, drawn where it crosses the record.
    arc_radius = distance(STYLUS, PIVOT)
    if abs(distance(p, PIVOT) - arc_radius) < 0.018 and r <= RECORD_RADIUS + 0.05:
        colour = (255, 196, 0, 255)
    # The arm: a tube from the pivot to the headshell, and the pivot's base.
    if distance_to_segment(p, PIVOT, STYLUS) < 0.028:
        colour = (196, 200, 210, 255)
    if distance_to_segment(p, STYLUS, (STYLUS[0] - 0.03, STYLUS[1] + 0.07)) < 0.04:
        colour = (70, 110, 180, 255)
    if distance(p, PIVOT) < 0.085:
        colour = (160, 165, 175, 255)
    if distance(p, PIVOT) < 0.035:
        colour = (90, 95, 105, 255)
    return colour or (0, 0, 0, 0)


def render(size):
    """RGBA rows, top row first, supersampled so that small sizes keep their shapes."""
    samples = 4 if size <= 48 else 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    p = ((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    c = colour_at(p)
                    for i in range(3):
                        total[i] += c[i] * c[3]
                    total[3] += c[3]
            alpha = total[3] / (samples * samples)
            if total[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(total[i] / total[3]) for i in range(3)) + (round(alpha),))
        rows.append(row)
    return rows


def vga_palette():
    return [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
            (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
            (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def cube_palette():
    levels = (0, 51, 102, 153, 204, 255)
    palette = [(r, g, b) for r in levels for g in levels for b in levels]
    palette += [(v, v, v) for v in range(8, 256, 16)][:16]
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette


def nearest(palette, colour, cache):
    key = colour[:3]
    if key not in cache:
        cache[key] = min(range(len(palette)),
                         key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))
    return cache[key]


def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def and_mask(rows, size):
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(1, size))
        for x, c in enumerate(row):
            if c[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return data


def dib_image(rows, size, bits):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    palette_bytes = b""
    if bits == 32:
        for row in reversed(rows):
            for c in row:
                pixels += bytes((c[2], c[1], c[0], c[3]))
    else:
        palette = vga_palette() if bits == 4 else cube_palette()
        palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        cache = {}
        for row in reversed(rows):
            indices = [0 if c[3] < 128 else nearest(palette, c, cache) for c in row]
            line = bytearray(row_bytes(bits, size))
            for x, index in enumerate(indices):
                if bits == 8:
                    line[x] = index
                else:
                    line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            pixels += line
    return header + palette_bytes + bytes(pixels) + bytes(and_mask(rows, size))


def png_image(rows, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(v for c in row for v in c) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file():
    images = []
    for size in SIZES:
        rows = render(size)
        for bits in DEPTHS:
            # The large true-colour image goes in compressed, as the platform expects of 256-pixel images.
            data = png_image(rows, size) if size == 256 and bits == 32 else dib_image(rows, size, bits)
            images.append((size, bits, data))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits,
                                 len(data), offset + len(body))
        body += data
    return directory + body


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                                 "quillmere.ico")
    with open(output, "wb") as file:
        file.write(icon_file())


if __name__ == "__main__":
    main()
