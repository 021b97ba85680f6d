#!/usr/bin/env python3
"""Checks that a raw RGB screenshot of the running saver shows coloured, glowing particles with trails.

    shot_stats.py <shot.rgb> <width> <height>

Prints the figures and exits nonzero when the picture looks like a black screen, a single flat
colour, or hard-edged blobs without a soft fall-off.
"""
import colorsys
import sys

# A channel above this counts as lit (0..255).
LIT = 16
# Levels that make up the soft fall-off of a glow and the fading trails (max channel).
DIM_RANGE = (LIT, 128)
# A hue sector (of twelve) counts when it holds at least this share of the saturated pixels.
HUE_SECTORS = 12
HUE_SECTOR_SHARE = 0.01
SATURATED = 0.25

MIN_LIT_SHARE = 0.005        # of the whole screen
MIN_DIM_SHARE_OF_LIT = 0.4   # glow edges and trails outnumber the cores
MIN_HUE_SECTORS = 2
MIN_LEVELS = 64              # distinct brightness levels among lit pixels


def main():
    path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    data = open(path, "rb").read()
    if len(data) != width * height * 3:
        print(f"size {len(data)} does not match {width}x{height}")
        return 1
    lit = dim = 0
    levels = set()
    sectors = [0] * HUE_SECTORS
    saturated = 0
    for k in range(0, len(data), 3):
        r, g, b = data[k], data[k + 1], data[k + 2]
        top = max(r, g, b)
        if top < LIT:
            continue
        lit += 1
        levels.add(top)
        if top < DIM_RANGE[1]:
            dim += 1
        h, s, _ = colorsys.rgb_to_hsv(r / 255, g / 255, b / 255)
        if s >= SATURATED:
            saturated += 1
            sectors[min(int(h * HUE_SECTORS), HUE_SECTORS - 1)] += 1
    total = width * height
    hue_count = sum(1 for n in sectors if saturated and n / saturated >= HUE_SECTOR_SHARE)
    print(f"lit {lit / total:.4f} of the screen, dim {dim / max(lit, 1):.3f} of lit, "
          f"{len(levels)} brightness levels, {hue_count} hue sectors, sectors {sectors}")
    checks = [
        (lit / total >= MIN_LIT_SHARE, "many pixels are lit"),
        (dim / max(lit, 1) >= MIN_DIM_SHARE_OF_LIT, "soft fall-off and trails: most lit pixels are dim"),
        (len(levels) >= MIN_LEVELS, "brightness varies smoothly"),
        (hue_count >= MIN_HUE_SECTORS, "several hues"),
    ]
    failed = 0
    for ok, what in checks:
        print(("ok: " if ok else "FAILED: ") + what)
        failed |= not ok
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
