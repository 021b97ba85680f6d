#!/usr/bin/env python3
"""Start-up time of the renderer against a bare Wine program that only opens a window, in one run.

From the moment wine64 is started to the renderer's first presented frame (its third buffer swap:
the swap probe presents twice before it), and to the bare program's first paint. Run inside a
session of the wanted screen size (scripts/wine-session), with the build tree's prefix:
    measure_startup.py <dist dir> <bare_window.exe> [runs]
The renderer's swaps are seen in Wine's wgl trace, which it writes to standard error as they
happen; the trace costs the renderer a few milliseconds, so the difference is if anything too large.
"""
import os
import statistics
import subprocess
import sys
import time

WINE64 = "/usr/lib/wine/wine64"
FIRST_FRAME_SWAP = 3      # the swap probe presents twice before the first frame
WAIT_S = 30               # give up on a program that shows nothing for this long
ALLOWED_EXTRA_MS = 150    # the renderer may take this much longer than the bare program


def time_until(command, env, seen):
    """Milliseconds from starting `command` to the first standard-error line for which seen() is true."""
    start = time.monotonic()
    process = subprocess.Popen(command, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    elapsed = None
    deadline = start + WAIT_S
    for raw in process.stderr:
        if seen(raw.decode(errors="replace")):
            elapsed = (time.monotonic() - start) * 1000
            break
        if time.monotonic() > deadline:
            break
    return process, elapsed


def bare_run(exe):
    env = dict(os.environ, WINEDEBUG="-all")
    process, elapsed = time_until([WINE64, exe], env, lambda line: "bare window painted" in line)
    process.stderr.close()
    process.wait()
    return elapsed


def renderer_run(dist):
    env = dict(os.environ, WINEDEBUG="-all,+wgl")
    swaps = [0]

    def first_frame(line):
        if "SwapBuffers" in line:
            swaps[0] += 1
        return swaps[0] >= FIRST_FRAME_SWAP

    process, elapsed = time_until([WINE64, os.path.join(dist, "Lumivane.dll")], env, first_frame)
    # A key press ends the saver; keep draining its trace meanwhile so that it never blocks on the pipe.
    subprocess.run(["xdotool", "key", "space"], check=False)
    for _ in process.stderr:
        pass
    process.wait()
    return elapsed


def main():
    dist, bare_exe = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    bare, renderer = [], []
    for run in range(runs):
        bare.append(bare_run(bare_exe))
        renderer.append(renderer_run(dist))
        print(f"run {run + 1}: bare window {bare[-1]:.0f} ms, renderer's first frame {renderer[-1]:.0f} ms",
              flush=True)
    # The first run fills the driver's shader cache; the others show the usual start.
    bare_ms, renderer_ms = statistics.median(bare[1:]), statistics.median(renderer[1:])
    extra = renderer_ms - bare_ms
    print(f"median of runs 2-{runs}: bare window {bare_ms:.0f} ms, renderer's first frame {renderer_ms:.0f} ms, "
          f"{extra:+.0f} ms (allowed +{ALLOWED_EXTRA_MS}); first run {renderer[0] - bare[0]:+.0f} ms; "
          f"load average {os.getloadavg()[0]:.2f}")
    return 0 if extra <= ALLOWED_EXTRA_MS else 1


if __name__ == "__main__":
    sys.exit(main())
