#!/usr/bin/env python3
"""Checks that a raw RGB screenshot of the saver a few seconds into its run shows coloured, glowing
particles with trails: not black, not grey, not hard-edged blobs.   shot_stats.py <shot.rgb> <width> <height>"""
import sys


def picture_checks(data, width, height):
    """What each check found in RGB bytes, and whether it passed."""
    lit = [data[k:k + 3] for k in range(0, len(data), 3) if max(data[k:k + 3]) >= 16]
    share = lambda condition: sum(1 for p in lit if condition(p)) / max(len(lit), 1)
    # A spawn colour is paler than saturation 0.05 about once in a thousand draws.
    return [(f"{what}: {value:.4g}, at least {least}", value >= least) for what, value, least in [
        ("lit share of the screen (a channel of 16 or more)", len(lit) / (width * height), 0.002),
        ("soft fall-off and trails: share of lit below 128", share(lambda p: max(p) < 128), 0.4),
        ("smooth brightness: levels among lit", len({max(p) for p in lit}), 64),
        ("coloured: share of lit with saturation 0.05", share(lambda p: max(p) - min(p) >= 0.05 * max(p)), 0.5)]]


if __name__ == "__main__":
    checks = picture_checks(open(sys.argv[1], "rb").read(), int(sys.argv[2]), int(sys.argv[3]))
    print("\n".join(("ok: " if ok else "FAILED: ") + what for what, ok in checks))
    sys.exit(0 if all(ok for _, ok in checks) else 1)
