#!/usr/bin/env python3
"""Checks that a raw RGB screenshot of the saver a few seconds into its run shows coloured, glowing
particles with trails: not black, not grey, not hard-edged blobs.   shot_stats.py <shot.rgb> <width> <height>"""
import sys

path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = open(path, "rb").read()
assert len(data) == width * height * 3, f"size {len(data)} does not match {width}x{height}"
lit = [data[k:k + 3] for k in range(0, len(data), 3) if max(data[k:k + 3]) >= 16]
share = lambda condition: sum(1 for p in lit if condition(p)) / max(len(lit), 1)
# A spawn colour is paler than saturation 0.05 about once in a thousand draws.
checks = [("lit share of the screen (a channel of 16 or more)", len(lit) / (width * height), 0.002),
          ("soft fall-off and trails: share of lit below 128", share(lambda p: max(p) < 128), 0.4),
          ("smooth brightness: levels among lit", len({max(p) for p in lit}), 64),
          ("coloured, not grey: share of lit with saturation 0.05", share(lambda p: max(p) - min(p) >= 0.05 * max(p)), 0.5)]
for what, value, least in checks:
    print(f"{'ok' if value >= least else 'FAILED'}: {what}: {value:.4g}, at least {least}")
sys.exit(0 if all(value >= least for _, value, least in checks) else 1)
