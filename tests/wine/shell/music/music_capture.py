#!/usr/bin/env python3
"""Background music of real saver runs under Wine, judged by what the sound output received.

Each case runs Lumivane.scr /s from its own folder (beside the renderer and a settings file)
with HOME pointing at a folder whose .asoundrc sends ALSA's default device into a raw file.
The null device behind that file has no clock, so the capture is judged by its content: which
tone sounds, how often the file's opening comes back. Wine's own MCI and PlaySound traces show
which commands the shell sent.
"""
import argparse
import array
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import unittest
import wave

RATE = 44100                 # samples per second of the test files and the capture
WINDOW = RATE // 20          # analysis window: 50 ms
OPENING_HZ = 600             # the first part of each test file marks every (re)start
BODY_HZ = 1000               # the rest of the file
OPENING_S = 0.3
BODY_S = 0.7
FILE_S = OPENING_S + BODY_S  # length of every test file in seconds
AMPLITUDE = 12000
TONE_LEVEL = 3000            # a window holds a tone when its amplitude at that pitch exceeds this
SILENCE_RMS = 100
RENDERER_WAIT_S = 20         # the renderer window must appear within this time
END_WAIT_S = 15              # the shell must end within this time after the key
TOGETHER_TRIALS = 10         # runs of three saver starts at once
MESSAGE_CAPTION = "^Lumivane \\(ScreenSaver\\)$"
PLAY_LOOPED = "fdwSound=00000009"   # PlaySound asked to loop the WAV, as Wine's trace shows it

WINE64 = "/usr/lib/wine/wine64"
ARGS = None


def win_path(path):
    """The Windows path (Z:\\...) of a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def write_tone_wav(path):
    """A mono 16-bit file: OPENING_HZ for OPENING_S, then BODY_HZ for BODY_S."""
    frames = bytearray()
    for i in range(int(RATE * FILE_S)):
        freq = OPENING_HZ if i < RATE * OPENING_S else BODY_HZ
        frames += struct.pack("<h", int(AMPLITUDE * math.sin(2 * math.pi * freq * i / RATE)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


def tone_amplitude(samples, freq):
    """Amplitude of one pitch in a block of samples (Goertzel)."""
    k = 2 * math.cos(2 * math.pi * freq / RATE)
    s1 = s2 = 0.0
    for x in samples:
        s1, s2 = x + k * s1 - s2, s1
    power = s1 * s1 + s2 * s2 - k * s1 * s2
    return 2 * math.sqrt(max(power, 0.0)) / len(samples)


def capture_labels(path):
    """One letter per 50 ms of the captured left channel: O opening, B body, . silence, ? other."""
    if not os.path.exists(path):
        return ""
    with open(path, "rb") as f:
        raw = f.read()
    samples = array.array("h")
    samples.frombytes(raw[: len(raw) // 4 * 4])
    left = samples[0::2]
    labels = []
    for start in range(0, len(left) - WINDOW + 1, WINDOW):
        part = left[start:start + WINDOW]
        opening, body = tone_amplitude(part, OPENING_HZ), tone_amplitude(part, BODY_HZ)
        rms = math.sqrt(sum(x * x for x in part) / WINDOW)
        if max(opening, body) > TONE_LEVEL:
            labels.append("O" if opening > body else "B")
        else:
            labels.append("." if rms < SILENCE_RMS else "?")
    return "".join(labels)


def starts(labels):
    """How often the file's opening sounds, each time followed by its body."""
    sequence = re.sub(r"(.)\1*", r"\1", labels.replace(".", "").replace("?", ""))
    return sequence.count("OB")


def mci_commands(trace):
    """The MCI command strings a Wine trace shows, in order."""
    return [m.group(1).replace('\\"', '"').replace("\\\\", "\\")
            for m in re.finditer(r'mciSendStringW \(L"(.*)", [0-9A-Fa-f]+, \d+, ', trace)]


def xdotool(*args):
    """Runs xdotool on the session's screen and returns what it printed."""
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def wait_for_window(name_pattern, seconds):
    """The X windows whose names match, once there are any, or an empty list after `seconds`."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        windows = xdotool("search", "--name", name_pattern).split()
        if windows:
            return windows
        time.sleep(0.2)
    return []


def press_and_wait(process, key, window=None):
    """Presses a key (into `window` when given), waits for the process to end; its exit status
    or None when it had to be killed."""
    if window:
        xdotool("windowfocus", window)
    xdotool("key", key)
    try:
        return process.wait(timeout=END_WAIT_S)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return None


def remove_savers():
    """Leaves no saver behind for the next case."""
    for window in xdotool("search", "--name", "^Glimra_VC$").split():
        xdotool("windowkill", window)


class SaverRun:
    """`Lumivane.scr /s` runs from one folder with the given music settings and renderer.

    `renderer` is a file copied in as Lumivane.dll (the real renderer when None) or the bytes of
    one; `file_value` replaces the stored music path with raw bytes."""

    def __init__(self, name, kind, music_file, sound=True, trace="+mci,+winmm", renderer=None, file_value=None):
        self.folder = os.path.join(ARGS.work, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        shutil.copy(os.path.join(ARGS.dist, "Lumivane.scr"), os.path.join(self.folder, "Lumivane.scr"))
        if isinstance(renderer, bytes):
            with open(os.path.join(self.folder, "Lumivane.dll"), "wb") as f:
                f.write(renderer)
        else:
            shutil.copy(renderer or os.path.join(ARGS.dist, "Lumivane.dll"), os.path.join(self.folder, "Lumivane.dll"))
        self.kind, self.music_file, self.sound, self.trace_channels = kind, music_file, sound, trace
        self.capture = os.path.join(self.folder, "capture.raw")
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.home)
        if sound:
            with open(os.path.join(self.home, ".asoundrc"), "w") as f:
                f.write('pcm.!default { type plug; slave { pcm "cap"; format S16_LE; rate %d; channels 2 } }\n'
                        'pcm.cap { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % (RATE, self.capture))
        if file_value is None:
            file_value = win_path(music_file).encode("cp932")
        # Section "Section", keys BGM区分, BGMﾘﾋﾟｰﾄ, BGMﾌｧｲﾙ in Shift-JIS.
        ini = (b"[Section]\r\n"
               b"\x42\x47\x4D\x8B\xE6\x95\xAA=" + (" %d" % kind).encode() + b"\r\n"
               b"\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4= 0\r\n"
               b"\x42\x47\x4D\xCC\xA7\xB2\xD9=" + file_value + b"\r\n")
        with open(os.path.join(self.folder, "Lumivane.ini"), "wb") as f:
            f.write(ini)
        self.trace = ""
        self.exit_code = None
        self.env = {}

    def launch(self, trace_name="trace.txt"):
        """Starts one shell with the run command line; its Wine trace goes to `trace_name`."""
        env = dict(os.environ, HOME=self.home, WINEDEBUG=self.trace_channels, WINEPREFIX=ARGS.prefix, **self.env)
        # Straight into wine64 (the session has made the prefix): starts given together stay together.
        with open(os.path.join(self.folder, trace_name), "w") as stderr:
            return subprocess.Popen([WINE64, win_path(os.path.join(self.folder, "Lumivane.scr")), "/s"],
                                    env=env, stdout=subprocess.DEVNULL, stderr=stderr)

    def read_trace(self, trace_name="trace.txt"):
        with open(os.path.join(self.folder, trace_name), errors="replace") as f:
            return f.read()

    def start(self):
        """Starts the shell; true once the renderer's window shows."""
        self.process = self.launch()
        return bool(wait_for_window("^Glimra_VC$", RENDERER_WAIT_S))

    def running(self):
        return self.process.poll() is None

    def end_with_key(self):
        """Presses a key, waits for the shell to end and reads its trace."""
        self.exit_code = press_and_wait(self.process, "space")
        self.trace = self.read_trace()

    def capture_size(self):
        return os.path.getsize(self.capture) if os.path.exists(self.capture) else 0

    def play(self, seconds):
        """Starts the run, lets it go on for `seconds`, ends it with a key; checks the run itself."""
        t = unittest.TestCase()
        try:
            t.assertTrue(self.start(), "the renderer window never appeared")
            time.sleep(seconds)
            t.assertTrue(self.running(), "the shell ended while its renderer still ran")
            self.end_with_key()
            t.assertEqual(0, self.exit_code, "the shell did not end cleanly after the key")
        finally:
            # Whatever went wrong, leave no saver behind for the next case.
            if self.running():
                self.process.kill()
                self.process.wait()
            remove_savers()
        return capture_labels(self.capture)


class MusicUnderWine(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        os.makedirs(ARGS.work, exist_ok=True)
        cls.wav = os.path.join(ARGS.work, "tone.wav")
        write_tone_wav(cls.wav)
        music = os.path.join(ARGS.work, "My Music")
        os.makedirs(music, exist_ok=True)
        cls.mp3 = os.path.join(music, "tone file.mp3")
        subprocess.run(["lame", "--quiet", "-b", "128", cls.wav, cls.mp3], check=True)
        cls.mid = os.path.join(ARGS.work, "tone.mid")
        shutil.copy(cls.wav, cls.mid)  # WAV content: it would be heard if anything played it

    def test_wav_loops_until_the_key_and_then_stops(self):
        run = SaverRun("wav", 2, self.wav)
        labels = run.play(3)
        tone_s = (labels.count("O") + labels.count("B")) * WINDOW / RATE
        self.assertGreater(tone_s, 2 * FILE_S, "the WAV did not sound for longer than it lasts: " + labels)
        self.assertGreaterEqual(starts(labels), 2, "the WAV did not start again: " + labels)
        calls = re.findall(r"MULTIMEDIA_PlaySound pszSound='([0-9A-Fa-f]+)' .* fdwSound=([0-9A-Fa-f]+)", run.trace)
        self.assertEqual("00000009", calls[0][1], "PlaySound was not asked to loop asynchronously")
        self.assertEqual(0, int(calls[-1][0], 16) + int(calls[-1][1], 16), "the WAV was not stopped at the end")
        size = run.capture_size()
        time.sleep(1.5)
        self.assertEqual(size, run.capture_size(), "sound was still written after the saver ended")

    def test_mp3_in_a_folder_with_blanks_plays_and_restarts(self):
        run = SaverRun("mp3", 2, self.mp3)
        labels = run.play(8)
        # Restarted within a second of its end, the file starts every 2 s or so: about four times
        # in 8 s. A restart that never comes gives one start, a slow one two.
        self.assertGreaterEqual(starts(labels), 3,
                                "the MP3 did not come back soon after its end: " + labels)
        commands = mci_commands(run.trace)
        self.assertIn('open "%s" type MPEGVideo Alias MP3Play' % win_path(self.mp3), commands)
        self.assertEqual(["stop MP3Play", "close MP3Play"], commands[-2:], "the MP3 was not stopped at the end")

    def test_other_file_kind_plays_nothing(self):
        run = SaverRun("mid", 2, self.mid)
        labels = run.play(2)
        self.assertNotRegex(labels, "[OB]", "a .mid file was played")
        self.assertEqual([], mci_commands(run.trace))

    def test_cd_without_a_drive_runs_silently_and_stops_its_ticks(self):
        run = SaverRun("cd", 1, self.wav)
        labels = run.play(2)
        self.assertNotRegex(labels, "[OB]")
        commands = mci_commands(run.trace)
        self.assertEqual(1, commands.count("status cdaudio current track"),
                         "the CD tick went on after it found no drive: %s" % commands)
        self.assertNotIn("stop cdaudio", commands)
        self.assertNotIn("close cdaudio", commands)

    def test_three_runs_started_together_leave_one_saver_and_one_stream(self):
        run = SaverRun("together", 2, self.wav, renderer=ARGS.stand_in)
        for trial in range(TOGETHER_TRIALS):
            with self.subTest(trial=trial):
                if os.path.exists(run.capture):
                    os.remove(run.capture)
                names = ["trace-%d.txt" % i for i in range(3)]
                shells = [run.launch(name) for name in names]
                try:
                    # The stand-in has no single-instance test of its own: each shell that got
                    # through would show one more window.
                    self.assertTrue(wait_for_window("^Glimra_VC$", RENDERER_WAIT_S), "no renderer window appeared")
                    deadline = time.time() + END_WAIT_S
                    while sum(shell.poll() is None for shell in shells) > 1 and time.time() < deadline:
                        time.sleep(0.1)
                    time.sleep(0.5)
                    self.assertEqual(1, len(xdotool("search", "--name", "^Glimra_VC$").split()), "renderer windows")
                    running = [shell for shell in shells if shell.poll() is None]
                    self.assertEqual(1, len(running), "shells still running")
                    # Only that it ends: the clean exit status is the single runs' to check. Under
                    # load, Wine's sound output now and then takes a process down on its way out
                    # (SIGSEGV after the shell stopped the WAV), and ten runs in a row meet it.
                    status = press_and_wait(running[0], "space", wait_for_window("^Glimra_VC$", 1)[0])
                    self.assertIsNotNone(status, "the saver did not end on the key")
                    streams = sum(run.read_trace(name).count(PLAY_LOOPED) for name in names)
                    self.assertEqual(1, streams, "looped WAVs started")
                    self.assertRegex(capture_labels(run.capture), "[OB]", "the one stream was not heard")
                finally:
                    for shell in shells:
                        if shell.poll() is None:
                            shell.kill()
                            shell.wait()
                    remove_savers()

    def test_renderer_that_cannot_start_or_never_shows_its_window_is_reported_in_silence(self):
        for name, renderer, mode in [("random", os.urandom(4096), ""), ("nowindow", ARGS.stand_in, "nowindow")]:
            with self.subTest(name):
                run = SaverRun("broken-" + name, 2, self.wav, renderer=renderer)
                run.env = {"LUMIVANE_FAKE_RENDERER": mode}
                shell = run.launch()
                box = wait_for_window(MESSAGE_CAPTION, RENDERER_WAIT_S)
                self.assertTrue(box, "no message")
                status = press_and_wait(shell, "Return", box[0])
                self.assertNotIn(status, (0, None), "the shell did not end with a failure")
                self.assertEqual(0, run.read_trace().count(PLAY_LOOPED), "music was started")
                self.assertNotRegex(capture_labels(run.capture), "[OB]")

    def test_music_path_too_long_to_arrive_whole_plays_nothing_and_the_saver_runs(self):
        # The path's first 255 characters name a real file, as a cut value would.
        folder = os.path.join(ARGS.work, "long")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        name = "a" * (255 - len(win_path(folder)) - len("\\.wav")) + ".wav"
        shutil.copy(self.wav, os.path.join(folder, name))
        cut = win_path(os.path.join(folder, name))
        self.assertEqual(255, len(cut))
        run = SaverRun("long-value", 2, None, file_value=cut.encode() + b"x" * 100000)
        labels = run.play(2)
        self.assertNotRegex(labels, "[OB]", "a file named by the cut path was played")
        self.assertEqual(0, run.trace.count(PLAY_LOOPED), "music was started")

    def test_no_sound_output_skips_the_wav(self):
        run = SaverRun("nodevice", 2, self.wav, sound=False)
        run.play(2)
        self.assertIn("waveOutGetNumDevs count: 0", run.trace, "this run was meant to have no output device")
        self.assertNotIn("fdwSound=00000009", run.trace, "the WAV was played without an output device")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--stand-in", required=True, help="the stand-in renderer of the shell's run tests")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v"] + rest)


if __name__ == "__main__":
    main()
