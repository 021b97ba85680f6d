#!/usr/bin/env python3
"""Draws the renderer's icon: glowing particles streaming across a dark disc.

Writes one 32x32, 32-bit (alpha) image as a Windows .ico file, using the standard library only.
    make-renderer-icon.py [OUTPUT]   (default: assets/renderer.ico beside this script's folder)
"""
import math
import os
import struct
import sys

SIZE = 32                      # pixels, square
DISC_RADIUS = 15.5             # pixels; the dark backdrop
DISC_COLOUR = (10, 12, 30)     # RGB
DISC_EDGE_SOFTNESS = 1.0       # pixels of anti-aliased rim

# Glow sprites along a gentle arc: (centre x, centre y, radius in pixels, RGB).
GLOWS = [
    (7.0, 21.5, 6.0, (255, 80, 60)),
    (11.5, 16.0, 7.0, (255, 170, 40)),
    (16.5, 12.5, 9.0, (255, 255, 230)),
    (21.5, 11.5, 6.5, (70, 230, 140)),
    (26.0, 13.5, 5.5, (60, 140, 255)),
    (18.5, 21.5, 4.5, (190, 90, 255)),
    (24.0, 23.5, 4.0, (90, 220, 255)),
]


def glow_weight(dx, dy, radius):
    """The saver's own sprite falloff: (1 - distance/radius)^2, zero outside."""
    v = 1.0 - math.hypot(dx, dy) / radius
    return v * v if v > 0.0 else 0.0


def render():
    """Rows of (r, g, b, a) floats, top row first, colours 0..255, alpha 0..1."""
    rows = []
    centre = (SIZE - 1) / 2.0
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            edge = DISC_RADIUS - math.hypot(x - centre, y - centre)
            alpha = max(0.0, min(1.0, edge / DISC_EDGE_SOFTNESS + 0.5))
            r, g, b = (float(c) for c in DISC_COLOUR)
            for gx, gy, radius, colour in GLOWS:
                w = glow_weight(x - gx, y - gy, radius)
                # Additive, like the particles on screen.
                r, g, b = r + colour[0] * w, g + colour[1] * w, b + colour[2] * w
            row.append((min(r, 255.0), min(g, 255.0), min(b, 255.0), alpha))
        rows.append(row)
    return rows


def ico_bytes(rows):
    """An .ico file holding one 32-bit BGRA image with its 1-bit mask."""
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # device-independent bitmaps are stored bottom-up
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((int(b), int(g), int(r), int(round(a * 255))))
            if a == 0.0:
                bits |= 1 << (31 - x)  # transparent where the mask bit is set
        mask += struct.pack(">I", bits)  # 32 pixels: exactly one 4-byte row
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + bytes(pixels) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets", "renderer.ico")
    with open(out, "wb") as f:
        f.write(ico_bytes(render()))
    print(out)


if __name__ == "__main__":
    main()
