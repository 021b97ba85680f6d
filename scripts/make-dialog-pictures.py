#!/usr/bin/env python3
"""Writes the settings dialog's pictures into assets/: the six 64x25 button state frames,
the two 12x12 radio marks and the 32x32 dialog icon. Standard library only.

    scripts/make-dialog-pictures.py [ASSETS_DIR]
"""
import math
import os
import struct
import sys

BUTTON_W, BUTTON_H = 64, 25          # pixels
FRAME = 4                            # pixels of the frame that the button shows
MARK = 12                            # pixels, radio marks
ICON = 32                            # pixels, dialog icon

# Frame colours per state: outer line, inner line (RGB). Only the outer 4 pixels are ever shown.
STATES = {
    "normal":          ((96, 94, 128),  (236, 235, 244)),
    "highlight":       ((232, 150, 40), (255, 214, 140)),
    "selected":        ((40, 84, 180),  (150, 180, 240)),
    "highlightselect": ((40, 84, 180),  (255, 200, 110)),
    "pressed":         ((48, 46, 72),   (150, 148, 176)),
    "disable":         ((168, 168, 168), (214, 214, 214)),
}
CENTRE = (255, 0, 255)               # never shown: the face gradient replaces it


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y counted from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def button_frame(outer, inner):
    def pixel(x, y):
        edge = min(x, y, BUTTON_W - 1 - x, BUTTON_H - 1 - y)
        # Rounded look: the very corner pixels take the inner colour.
        corner = (x in (0, BUTTON_W - 1)) and (y in (0, BUTTON_H - 1))
        if edge >= FRAME:
            return CENTRE
        if edge == 0:
            return inner if corner else outer
        if edge == 1:
            return inner
        # Two fading lines towards the face.
        t = (edge - 1) / (FRAME - 1)
        return tuple(round(c + (255 - c) * t * 0.6) for c in inner)
    return pixel


def radio_mark(chosen):
    centre = (MARK - 1) / 2

    def pixel(x, y):
        d = math.hypot(x - centre, y - centre)
        if d > 5.6:
            return (250, 250, 250)
        if d > 4.4:
            return (70, 68, 110)
        if chosen and d < 2.6:
            return (40, 84, 180)
        return (255, 255, 255)
    return pixel


def icon_pixel(x, y):
    """Small glowing streams on a dark blue field."""
    cx, cy = 15.5, 15.5
    base = (10, 12, 40)
    r = g = b = 0.0
    for (px, py, col) in ((9, 10, (255, 120, 60)), (22, 12, (80, 200, 255)), (15, 23, (180, 255, 120))):
        d = math.hypot(x - px, y - py)
        glow = math.exp(-d * d / 18.0)
        r += col[0] * glow
        g += col[1] * glow
        b += col[2] * glow
    ring = math.exp(-((math.hypot(x - cx, y - cy) - 12) ** 2) / 2.0) * 90
    return tuple(min(255, int(base[i] + (r, g, b)[i] + ring)) for i in range(3))


def ico32(pixel):
    """A 32x32 icon with one 32-bit image (alpha opaque) and an empty AND mask."""
    xor = bytearray()
    for y in reversed(range(ICON)):
        for x in range(ICON):
            r, g, b = pixel(x, y)
            xor += bytes((b, g, r, 255))
    mask = b"\0" * (4 * ICON)        # 32 bits per row, all opaque
    info = struct.pack("<IiiHHIIiiII", 40, ICON, ICON * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + bytes(xor) + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", ICON, ICON, 0, 0, 1, 32, len(image), 22)
    return directory + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets")
    os.makedirs(out, exist_ok=True)
    files = {}
    for name, (outer, inner) in STATES.items():
        files["button_%s.bmp" % name] = bmp24(BUTTON_W, BUTTON_H, button_frame(outer, inner))
    files["radio_off.bmp"] = bmp24(MARK, MARK, radio_mark(False))
    files["radio_on.bmp"] = bmp24(MARK, MARK, radio_mark(True))
    files["dialog.ico"] = ico32(icon_pixel)
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(os.path.join(out, name))


if __name__ == "__main__":
    main()
