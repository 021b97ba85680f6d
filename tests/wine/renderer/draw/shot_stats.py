#!/usr/bin/env python3
"""Checks that a raw RGB screenshot of the running saver shows coloured, glowing particles with trails:
not black, not one flat colour, not hard-edged blobs.   shot_stats.py <shot.rgb> <width> <height>"""
import colorsys
import sys

LIT = 16                     # a channel above this counts as lit (0..255)
DIM = 128                    # lit pixels below this make the glows' soft edges and the fading trails
SATURATED = 0.25             # pixels at least this saturated vote for one of twelve hue sectors
MIN_LIT_SHARE = 0.005        # of the whole screen
MIN_DIM_SHARE_OF_LIT = 0.4   # glow edges and trails outnumber the cores
MIN_LEVELS = 64              # distinct brightness levels among lit pixels
MIN_HUE_SECTORS = 2          # sectors holding at least 1% of the saturated pixels

path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = open(path, "rb").read()
if len(data) != width * height * 3:
    sys.exit(f"size {len(data)} does not match {width}x{height}")
lit = [(data[k], data[k + 1], data[k + 2]) for k in range(0, len(data), 3) if max(data[k:k + 3]) >= LIT]
dim = sum(1 for p in lit if max(p) < DIM)
levels = len({max(p) for p in lit})
sectors = [0] * 12
for r, g, b in lit:
    h, s, _ = colorsys.rgb_to_hsv(r / 255, g / 255, b / 255)
    if s >= SATURATED:
        sectors[min(int(h * 12), 11)] += 1
hues = sum(1 for n in sectors if n >= 0.01 * max(sum(sectors), 1))
print(f"lit {len(lit) / (width * height):.4f} of the screen, dim {dim / max(len(lit), 1):.3f} of lit, "
      f"{levels} brightness levels, hue sectors {sectors}")
checks = [(len(lit) >= MIN_LIT_SHARE * width * height, "many pixels are lit"),
          (dim >= MIN_DIM_SHARE_OF_LIT * len(lit), "soft fall-off and trails: most lit pixels are dim"),
          (levels >= MIN_LEVELS, "brightness varies smoothly"),
          (hues >= MIN_HUE_SECTORS, "several hues")]
for ok, what in checks:
    print(("ok: " if ok else "FAILED: ") + what)
sys.exit(0 if all(ok for ok, _ in checks) else 1)
