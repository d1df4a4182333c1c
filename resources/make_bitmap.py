#!/usr/bin/env python3
"""Writes Marigold.bmp: the command's 16 x 16 image, a yellow-to-orange five-pointed star on
light grey. 24 bits per pixel, uncompressed, bottom-up, 40-byte information header."""
import math
import struct
import sys

SIZE = 16
BACKGROUND = (192, 192, 192)
TOP = (255, 236, 48)      # yellow at the star's tip
BOTTOM = (244, 128, 0)    # orange at its feet
OUTLINE = (176, 84, 0)
SAMPLES = 4               # per axis, for smooth edges


def star_polygon():
    cx, cy, outer, inner = 8.0, 8.4, 8.0, 3.2
    points = []
    for i in range(10):
        radius = outer if i % 2 == 0 else inner
        angle = -math.pi / 2 + i * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def inside(polygon, x, y):
    result = False
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def coverage(polygon, px, py):
    hits = sum(inside(polygon, px + (i + 0.5) / SAMPLES, py + (j + 0.5) / SAMPLES)
               for i in range(SAMPLES) for j in range(SAMPLES))
    return hits / (SAMPLES * SAMPLES)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def pixels():
    polygon = star_polygon()
    rows = []
    for py in range(SIZE):  # top-down here; written bottom-up below
        row = []
        for px in range(SIZE):
            c = coverage(polygon, px, py)
            fill = mix(TOP, BOTTOM, py / (SIZE - 1))
            if 0 < c < 1:
                fill = mix(fill, OUTLINE, 0.5)
            row.append(mix(BACKGROUND, fill, c))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    image = b"".join(bytes((b, g, r)) for row in reversed(rows) for (r, g, b) in row)
    assert len(image) == SIZE * SIZE * 3  # 48-byte rows need no padding
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + image


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "Marigold.bmp"
    with open(target, "wb") as f:
        f.write(bmp_bytes(pixels()))
