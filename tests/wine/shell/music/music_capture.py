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


class SaverRun:
    """One `Lumivane.scr /s` run with the given music settings, ended by a key."""

    def __init__(self, name, kind, music_file, sound=True, trace="+mci,+winmm"):
        self.folder = os.path.join(ARGS.work, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        for program in ("Lumivane.scr", "Lumivane.dll"):
            shutil.copy(os.path.join(ARGS.dist, program), os.path.join(self.folder, program))
        self.kind, self.music_file, self.sound, self.trace_channels = kind, music_file, sound, trace
        self.capture = os.path.join(self.folder, "capture.raw")
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.home)
        if sound:
            with open(os.path.join(self.home, ".asoundrc"), "w") as f:
                f.write('pcm.!default { type plug; slave { pcm "cap"; format S16_LE; rate %d; channels 2 } }\n'
                        'pcm.cap { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % (RATE, self.capture))
        # Section "Section", keys BGM区分, BGMﾘﾋﾟｰﾄ, BGMﾌｧｲﾙ in Shift-JIS.
        ini = (b"[Section]\r\n"
               b"\x42\x47\x4D\x8B\xE6\x95\xAA=" + (" %d" % kind).encode() + b"\r\n"
               b"\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4= 0\r\n"
               b"\x42\x47\x4D\xCC\xA7\xB2\xD9=" + win_path(music_file).encode("cp932") + b"\r\n")
        with open(os.path.join(self.folder, "Lumivane.ini"), "wb") as f:
            f.write(ini)
        self.trace = ""
        self.exit_code = None

    def start(self):
        """Starts the shell with the run command line; true once the renderer's window shows."""
        env = dict(os.environ, HOME=self.home, WINEDEBUG=self.trace_channels)
        self.stderr = open(os.path.join(self.folder, "trace.txt"), "w")
        self.process = subprocess.Popen(
            [os.path.join(ARGS.root, "scripts", "wine-run"), "--prefix", ARGS.prefix,
             win_path(os.path.join(self.folder, "Lumivane.scr")), "/s"],
            env=env, stdout=subprocess.DEVNULL, stderr=self.stderr)
        deadline = time.time() + RENDERER_WAIT_S
        while time.time() < deadline:
            self.window = xdotool("search", "--name", "^Glimra_VC$")
            if self.window:
                return True
            time.sleep(0.2)
        return False

    def running(self):
        return self.process.poll() is None

    def end_with_key(self):
        """Presses a key, waits for the shell to end and reads its trace."""
        xdotool("key", "space")
        try:
            self.exit_code = self.process.wait(timeout=END_WAIT_S)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.stderr.close()
        with open(os.path.join(self.folder, "trace.txt"), errors="replace") as f:
            self.trace = f.read()

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
            for window in xdotool("search", "--name", "^Glimra_VC$").split():
                xdotool("windowkill", window)
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
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v"] + rest)


if __name__ == "__main__":
    main()
