#!/usr/bin/env python3
"""The Linux program installed under a test prefix, on a private Xvfb screen.   hack_test.py <build dir> <out dir>"""
import os
import re
import signal
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../support"))
from shot_stats import picture_checks  # noqa: E402  the picture check both platforms share

build, out = sys.argv[1], sys.argv[2]
program = out + "/prefix/libexec/xscreensaver/lumivane"  # where XScreenSaver looks for it
failures = []
SPRITES = 5  # coloured pixels that only sprites make: the start-up's swap check leaves one red pixel in a corner


def check(ok, what):
    """Prints one check and remembers a failed one."""
    print(("ok: " if ok else "FAILED: ") + what, flush=True)
    failures.extend([] if ok else [what])


def wait_for(seconds, condition):
    """True when the condition comes true within the seconds."""
    end = time.monotonic() + seconds
    while not (held := condition()) and time.monotonic() < end:
        time.sleep(0.02)
    return bool(held)


def processor_seconds(pid):
    """The processor time a process has taken so far, its threads' included."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def x_client(*command):
    """Runs an X client and returns its output. Xvfb resets a few new connections in a hundred: a client that
    could not connect (it failed and said why) is run again."""
    for _ in range(10):
        done = subprocess.run(command, capture_output=True)
        if done.returncode == 0 or not done.stderr:
            break
        time.sleep(0.05)
    return done.stdout


def window_named(name):
    """The id of the window with this name; empty while there is none."""
    return x_client("xdotool", "search", "--name", f"^{name}$").decode().strip()


def picture(window="root"):
    """A window's width and its RGB bytes, top row first; (0, b"") while it is not on the screen."""
    ppm = x_client("import", "-window", window, "-depth", "8", "ppm:-")
    _, size, _, data = ppm.split(b"\n", 3) if ppm else (b"", b"0 0", b"", b"")
    return int(size.split()[0]), data


def count(window="root", where=lambda x, y: True, least_spread=0):
    """Pixels of a window with a channel of 16 or more and channels `least_spread` apart, where `where` holds."""
    width, data = picture(window)
    return sum(1 for k in range(0, len(data), 3) if max(data[k:k + 3]) >= 16 and
               max(data[k:k + 3]) - min(data[k:k + 3]) >= least_spread and where(k // 3 % width, k // 3 // width))


def brightness(data):
    """The brightest channel of each pixel of RGB bytes."""
    return bytes(map(max, data[0::3], data[1::3], data[2::3]))


def blocks(light, width, left, top, right, bottom):
    """Mean brightness of each of 16 x 12 blocks of a rectangle, row by row: a scale two monitors share."""
    means = []
    for by in range(12):
        for bx in range(16):
            x0, x1 = left + (right - left) * bx // 16, left + (right - left) * (bx + 1) // 16
            y0, y1 = top + (bottom - top) * by // 12, top + (bottom - top) * (by + 1) // 12
            means.append(sum(sum(light[y * width + x0:y * width + x1]) for y in range(y0, y1)) / ((x1 - x0) * (y1 - y0)))
    return means


def correlation(a, b):
    """Pearson's correlation of two series of the same length; 0 where either is flat."""
    mean_a, mean_b = sum(a) / len(a), sum(b) / len(b)
    ab = sum((x - mean_a) * (y - mean_b) for x, y in zip(a, b))
    aa, bb = sum((x - mean_a) ** 2 for x in a), sum((y - mean_b) ** 2 for y in b)
    return ab / (aa * bb) ** 0.5 if aa > 0 and bb > 0 else 0


def x_server(*command):
    """Starts an X server on a free display it names itself; the process and its display."""
    read, write = os.pipe()
    server = subprocess.Popen([*command, "-displayfd", str(write), "-nolisten", "tcp"], pass_fds=[write],
                              stderr=subprocess.DEVNULL)
    os.close(write)
    return server, ":" + os.fdopen(read).readline().strip()


def terminated(process):
    """True when SIGTERM ends the process with status 0; the wait raises after a second."""
    process.send_signal(signal.SIGTERM)
    return process.wait(1) == 0


subprocess.run(["cmake", "--install", build, "--prefix", out + "/prefix"], check=True, stdout=subprocess.DEVNULL)
xvfb, os.environ["DISPLAY"] = x_server("Xvfb", "-screen", "0", "1024x768x24", "-br")
xephyr = None
try:
    # In its own window the scene is lit within seconds; 5 s in, the Windows renderer's picture check passes.
    started, own = time.monotonic(), subprocess.Popen([program, "-window"])
    check(wait_for(10, lambda: window_named("Lumivane") and count() > 0), "lit in its own window")
    time.sleep(max(0.0, started + 5 - time.monotonic()))
    for what, ok in picture_checks(picture()[1], 1024, 768):
        check(ok, what)
    check(terminated(own), "SIGTERM ends it within a second with status 0")

    # Into a white window (xev's): the first frame turns its middle black; grown, it is drawn in beyond its old
    # size, which only a view that follows the size reaches (OpenGL's origin is the bottom-left corner).
    for _ in range(3):
        tester = subprocess.Popen(["xev", "-geometry", "320x240+100+100", "-name", "TestWindow"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if wait_for(5, lambda: window_named("TestWindow") or tester.poll() is not None) and tester.poll() is None:
            break
    given = window_named("TestWindow")
    started, run = time.monotonic(), subprocess.Popen([program, "-window-id", given, "-fps"], stderr=subprocess.PIPE)
    check(wait_for(10, lambda: picture(given)[1][(120 * 320 + 160) * 3:][:3] == b"\0\0\0"), "the first frame")
    print(f"start-up: the first frame after {(time.monotonic() - started) * 1000:.0f} ms")
    check(time.monotonic() - started < 2 and wait_for(5, lambda: count(given, least_spread=16) > SPRITES),
          "the first frame within 2 s, then particles")
    x_client("xdotool", "windowsize", given, "640", "480")
    check(wait_for(5, lambda: count(given, lambda x, y: x >= 320 or y < 240, 16) > SPRITES), "drawn beyond the old size")
    # The rate comes once a second; a busy machine may take a while to the second one.
    lines = []
    threading.Thread(target=lambda: lines.extend(iter(run.stderr.readline, b"")), daemon=True).start()
    wait_for(15, lambda: sum(b" fps" in line for line in lines) >= 2)
    rates = [float(rate) for rate in re.findall(rb"lumivane: ([0-9.]+) fps\n", b"".join(lines))]
    check(len(rates) >= 2 and all(1 < rate < 63 for rate in rates), f"-fps rates held to 60 Hz: {rates}")
    # Unmapped, nobody sees it: it draws nothing until it is mapped again, and then draws on.
    x_client("xdotool", "windowunmap", given)
    before = processor_seconds(run.pid)
    time.sleep(2)
    resting = processor_seconds(run.pid) - before
    x_client("xdotool", "windowmap", given)
    check(resting < 0.1 and wait_for(5, lambda: count(given, least_spread=16) > SPRITES),
          f"unmapped it rests ({resting:.2f} s of processor time in 2 s), mapped again it draws")
    check(terminated(run), "SIGTERM ends it within a second with status 0")
    tester.kill()

    # The root window with the options its settings description passes, at most 30 frames a second; an
    # unknown option and the usage line.
    root, lines = subprocess.Popen([program, "--root", "--fps", "--maxfps", "30"], stderr=subprocess.PIPE), []
    reader = threading.Thread(target=lambda: lines.extend(iter(root.stderr.readline, b"")), daemon=True)
    reader.start()
    lit, own_window = wait_for(10, lambda: count(least_spread=16) > SPRITES), window_named("Lumivane")
    wait_for(15, lambda: sum(b" fps" in line for line in lines) >= 4)
    ended = terminated(root)
    reader.join(5)
    told = b"".join(lines).decode()
    said = re.sub(r"lumivane: [0-9.]+ fps\n", "", told).strip()
    check(lit and not own_window and ended and not said,
          f"lit on the root, no own window, ends on SIGTERM with status 0: {lit}, {own_window!r}, {ended}, {said!r}")
    rates = [float(rate) for rate in re.findall(r"lumivane: ([0-9.]+) fps\n", told)][1:]  # the first counts the start
    # A busy machine only lowers a rate: none above 30, and the best well above the 15 of every fourth refresh.
    check(len(rates) >= 2 and max(rates) < 33 and max(rates) > 22, f"-maxfps 30 rates: {rates}")
    bogus = subprocess.run([program, "--bogus"], capture_output=True, text=True, timeout=1)
    check(bogus.returncode == 1 and "usage: lumivane [-root | -window | -window-id ID] [-preset NAME]" in bogus.stderr,
          f"an unknown option: status {bogus.returncode}, {bogus.stderr!r}")
    gone = subprocess.run([program, "-window-id", "0x5ffffff"], capture_output=True, text=True, timeout=5)
    check(gone.returncode == 1 and gone.stderr.startswith("lumivane: window 0x5ffffff does not exist on display")
          and "X Error" not in gone.stderr, f"a window id of no window: status {gone.returncode}, {gone.stderr!r}")

    # The scene's settings: with no trails, 5000 particles light far more of the screen than 50 do, 6 s in.
    lit = {}
    for particles in ("50", "5000"):
        scene = subprocess.Popen([program, "--root", "-particles", particles, "--trails", "0"])
        time.sleep(6)
        lit[particles] = count(least_spread=16)
        check(terminated(scene), f"{particles} particles: SIGTERM ends it")
    check(lit["5000"] > 5 * max(lit["50"], 1), f"lit pixels with 50 and 5000 particles: {lit}")

    # The settings description XScreenSaver shows: well-formed, naming every option the program lists
    # (but the window choices XScreenSaver makes itself), and each of its arguments one the program takes.
    root_element = xml.etree.ElementTree.parse(os.path.join(os.path.dirname(__file__), "../../../../renderer/linux/lumivane.xml")).getroot()
    arguments = [e.get(k) for e in root_element.iter() for k in ("arg", "arg-set") if e.get(k)]
    described = {a.split()[0].lstrip("-") for a in arguments}
    listed = set(re.findall(r"^  -([a-z-]+)", subprocess.run([program, "--help"], capture_output=True, text=True).stdout, re.M))
    lacking = listed - {"window", "window-id", "help"} - described
    check(not lacking and len(listed) > 10, f"{len(listed)} options listed, of which the description lacks {lacking or 'none'}")
    for argument in arguments:
        taken = subprocess.run([program, *argument.replace("%", "5").split(), "--help"], capture_output=True, timeout=1)
        check(taken.returncode == 0, f"the program takes the description's {argument!r}: status {taken.returncode}")
    # Two monitors, Xephyr's two screens in the Xvfb side by side, and a run on the root for each -screens choice,
    # measured as the Windows renderer's test measures them: the same scene on each matches block for block at the
    # scale both share; the primary only leaves the second black; one picture across both lights the columns either
    # side of the seam alike; a scene of its own on each does not match.
    primary, second, seam = (0, 0, 576, 432), (576, 0, 1024, 336), 576
    xephyr, nested = x_server("Xephyr", "-br", "+xinerama", "-extension", "RANDR", "-origin", "0,0", "-screen", "576x432",
                              "-origin", "576,0", "-screen", "448x336")
    os.environ["DISPLAY"] = nested
    for choice in ("same", "primary", "span", "own"):
        # The most particles, so that within seconds streams cross the seam, whatever paths the poles take.
        shown = subprocess.Popen([program, "--root", "-screens", choice, "-particles", "5000"])
        seen = {}

        def measured():
            """The light of one moment's picture, once the measure of this choice has the light it needs."""
            width, data = picture()
            if width != 1024:
                return False
            light = brightness(data)
            lit = lambda r: sum(1 for y in range(r[1], r[3]) for v in light[y * width + r[0]:y * width + r[2]] if v > 40)
            seen.update(primary=lit(primary), second=lit(second),
                        blocks=correlation(blocks(light, width, *primary), blocks(light, width, *second)),
                        seam=correlation([light[y * width + seam - 1] for y in range(336)],
                                         [light[y * width + seam] for y in range(336)]),
                        seam_lit=sum(1 for y in range(336) if light[y * width + seam - 1] > 40),
                        second_any=sum(1 for y in range(336) for v in light[y * width + 576:y * width + 1024] if v))
            # One picture across both: enough rows lit at the seam for its columns to be compared, and in one
            # grab the two alike (Xephyr copies its two screens out one after the other, so a particle that
            # moves on between the copies can make one grab unlike). A scene of its own on each: two scenes that
            # start alike can match for a moment (0.54 once), and part within seconds.
            return seen["primary"] > 300 and (choice == "primary" or seen["second"] > 150) and \
                (choice != "span" or (seen["seam_lit"] >= 24 and seen["seam"] > 0.8)) and \
                (choice != "own" or seen["blocks"] < 0.5)

        lit = wait_for(30, measured)  # streams may take a while to cross the seam
        print(f"-screens {choice}: {seen}")
        check(lit and {"same": seen.get("blocks", 0) > 0.8, "primary": seen.get("second_any") == 0,
                       "span": seen.get("seam", 0) > 0.8, "own": seen.get("blocks", 1) < 0.5}[choice],
              f"-screens {choice} fills the two monitors as it should")
        check(terminated(shown), f"-screens {choice}: SIGTERM ends it")
finally:
    if xephyr:
        xephyr.terminate()
    xvfb.terminate()
sys.exit(1 if failures else 0)
