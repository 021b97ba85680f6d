#!/usr/bin/env python3
"""Background music of real saver runs under Wine, judged by what the sound output received: HOME holds an
.asoundrc that sends ALSA's default device into a raw file through a null device without a clock, so a capture
is judged by how long its tone sounds (a WAV runs faster than real time, an MP3 in chunks), not when."""
import array, math, os, re, shutil, signal, subprocess, time, unittest, wave
from pathlib import Path

RATE = 44100               # samples per second of the test file and the capture
WINDOW = RATE // 20        # analysis window: 50 ms
TONE_S = 1                 # the test file: a 1 kHz tone
LOUD_RMS = 1000            # a window louder than this sounds (the tone's RMS is 8500)
WAIT_S = 20                # for a window to appear, or a shell to end after a key
NO_WINDOW_S = 8            # the stand-in renderer's life without a window
LATE_S = 10                # the late stand-in's wait before its window: twice the shell's former grace period
SHELL_LAG_S = 0.3          # the shell's end after its renderer's: a watch tick of 50 ms and the process's end
LOOPED = "fdwSound=00000009"  # PlaySound asked to loop asynchronously, as Wine's trace shows it
PROCESS_DETACH = re.compile(r":winmm:DllMain \S+ 0x0 0*[1-9A-Fa-f]")  # winmm let go as the process ends
RENDERER, MESSAGE = "^Glimra_VC$", "^Lumivane \\(ScreenSaver\\)$"
WORK = Path("music_runs").absolute()  # in the test's build folder
DIST, STAND_IN = Path(os.environ["LUMIVANE_DIST_DIR"]), Path(os.environ["LUMIVANE_STAND_IN"])


def win_path(path):
    """The Windows path (Z:\\...) of a Unix path."""
    return "Z:" + str(Path(path).absolute()).replace("/", "\\")


def tone_seconds(folder):
    """How long the left channel of a folder's capture sounds."""
    raw = (folder / "capture.raw").read_bytes() if (folder / "capture.raw").exists() else b""
    left = array.array("h", raw[: len(raw) // 4 * 4])[0::2]
    return sum(math.sqrt(sum(x * x for x in left[i:i + WINDOW]) / WINDOW) > LOUD_RMS
               for i in range(0, len(left) - WINDOW + 1, WINDOW)) * WINDOW / RATE


def windows(name_pattern, seconds=WAIT_S):
    """The shown X windows whose names match (a key for one not yet shown is lost), once there are any, or
    none after `seconds`."""
    deadline = time.time() + seconds
    while not (found := subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name_pattern],
                                       capture_output=True, text=True).stdout.split()) and time.time() < deadline:
        time.sleep(0.2)
    return found


def end_status(shell, folder, seconds):
    """The shell's exit status once it ended within `seconds`. Under load Wine's sound output now and then
    takes the process down with SIGSEGV after the program called ExitProcess (a fault of the program itself
    ends it with a Windows status): such an end counts as the clean one it was; any other end of a run that
    is not clean is told with the trace's last lines."""
    status = shell.wait(seconds)
    trace = (folder / "trace.txt").read_text(errors="replace")
    if status == -signal.SIGSEGV and PROCESS_DETACH.search(trace):
        print("note: Wine's process died of SIGSEGV after the shell's ExitProcess", flush=True)
        return 0
    if status != 0:
        print("the shell ended with %d; its trace ends:\n%s" % (status, "\n".join(trace.splitlines()[-12:])))
    return status


def end_all(shells):
    """Leaves no shell and no renderer behind for the next run."""
    for shell in shells:
        shell.kill()
        shell.wait()
    subprocess.run(["xdotool", "search", "--name", RENDERER, "windowkill", "%@"], capture_output=True)


def saver_folder(name, kind, music, renderer=STAND_IN, sound=True):
    """A folder to run the saver from: music source `kind` and music path (or the bytes stored), a
    renderer's file (or a broken one's bytes), and, with `sound`, a capture of ALSA's default device."""
    folder = WORK / name
    shutil.rmtree(folder, ignore_errors=True)
    (folder / "home").mkdir(parents=True)
    shutil.copy(DIST / "Lumivane.scr", folder)
    (folder / "Lumivane.dll").write_bytes(renderer.read_bytes() if isinstance(renderer, Path) else renderer)
    if sound:
        (folder / "home/.asoundrc").write_text('pcm.!default { type plug; slave { pcm "cap"; format S16_LE; rate %d;'
                                               ' channels 2 } }\npcm.cap { type file; slave.pcm "null"; file "%s";'
                                               ' format "raw" }\n' % (RATE, folder / "capture.raw"))
    # Section "Section", keys BGM区分, BGMﾘﾋﾟｰﾄ, BGMﾌｧｲﾙ in Shift-JIS.
    (folder / "Lumivane.ini").write_bytes(
        b"[Section]\r\nBGM\x8b\xe6\x95\xaa= %d\r\nBGM\xd8\xcb\xdf\xb0\xc4= 0\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n"
        % (kind, music if isinstance(music, bytes) else win_path(music).encode()))
    return folder


def launch(folder, trace="trace.txt", **env):
    """Starts `Lumivane.scr /s` through wine64 itself (starts given together stay together), tracing into `trace`."""
    with open(folder / trace, "w") as stderr:
        return subprocess.Popen(["/usr/lib/wine/wine64", win_path(folder / "Lumivane.scr"), "/s"],
                                env=dict(os.environ, HOME=str(folder / "home"), WINEDEBUG="+mci,+winmm",
                                         LUMIVANE_POINTER_LOG=win_path(folder / "pointer.log"), **env),
                                stdout=subprocess.DEVNULL, stderr=stderr)


class MusicUnderWine(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.wav, cls.mid, cls.mp3 = WORK / "tone.wav", WORK / "tone.mid", WORK / "My Music/tone file.mp3"
        cls.mp3.parent.mkdir(parents=True, exist_ok=True)
        tone = [int(12000 * math.sin(2 * math.pi * 1000 * i / RATE)) for i in range(int(RATE * TONE_S))]
        with wave.open(str(cls.wav), "wb") as w:
            w.setparams((1, 2, RATE, 0, "NONE", None))
            w.writeframes(array.array("h", tone).tobytes())
        subprocess.run(["lame", "--quiet", "-b", "128", cls.wav, cls.mp3], check=True)
        shutil.copy(cls.wav, cls.mid)  # WAV content: it would be heard if anything played it

    def play(self, folder, seconds):
        """Runs the saver for `seconds` and ends it with a key, which ends the renderer and then the
        shell, and brings the pointer back: how long the tone sounded, and the trace."""
        shell = launch(folder)
        try:
            self.assertTrue(windows(RENDERER), "the renderer's window never appeared")
            time.sleep(seconds)
            self.assertIsNone(shell.poll(), "the shell ended while its renderer ran")
            subprocess.run(["xdotool", "windowfocus", windows(RENDERER)[0], "key", "space"])
            gone = time.time() + WAIT_S
            while windows(RENDERER, 0) and time.time() < gone:  # the key ends the renderer first
                pass
            self.assertEqual(0, end_status(shell, folder, SHELL_LAG_S),
                             "the shell did not end at once after its renderer")
            self.assertEqual("hide -1\nshow 0\n", (folder / "pointer.log").read_text(), "the pointer is not back")
        finally:
            end_all([shell])
        return tone_seconds(folder), (folder / "trace.txt").read_text(errors="replace")

    def test_what_single_runs_play(self):
        # The WAV loops (beside the real renderer: a run end to end); the MP3, restarted within a
        # second of its end, sounds about half of the time (one that never came back would sound once,
        # a slow restart twice); the rest play nothing, among them a stored path too long to arrive whole.
        for name, kind, music, sound, seconds, least_seconds in [
                ("wav", 2, self.wav, True, 3, 3 * TONE_S), ("mp3", 2, self.mp3, True, 8, 3 * TONE_S),
                ("other-kind", 2, self.mid, True, 1.5, 0), ("cd", 1, self.wav, True, 1.5, 0),
                ("long-path", 2, win_path(self.wav).encode() + b"x" * 100000, True, 1.5, 0),
                ("no-sound-device", 2, self.wav, False, 1.5, 0)]:
            with self.subTest(name):
                renderer = DIST / "Lumivane.dll" if name == "wav" else STAND_IN
                heard, trace = self.play(saver_folder(name, kind, music, renderer, sound), seconds)
                if least_seconds:
                    self.assertGreaterEqual(heard, least_seconds, "the music did not come back")
                else:
                    self.assertEqual((0, False), (heard, LOOPED in trace), "music was heard, or a WAV played")
                if kind == 1:
                    self.assertEqual(1, trace.count('(L"status cdaudio current track"'), "the CD tick went on")
                if not sound:
                    self.assertIn("waveOutGetNumDevs count: 0", trace, "this run was meant to have no output device")

    def test_a_wav_without_samples_plays_nothing_and_leaves_the_next_run_free(self):
        # A 44-byte WAV, looped, would never let go of the sound player: the shell stayed with the pointer
        # hidden and the lock held, and every later start showed nothing. Its data chunk is empty, or it
        # claims a second of sound that the file, cut short, does not hold.
        empty, cut = WORK / "empty.wav", WORK / "cut-short.wav"
        with wave.open(str(empty), "wb") as w:
            w.setparams((1, 2, RATE, 0, "NONE", None))
        self.assertEqual(44, empty.stat().st_size)
        cut.write_bytes(empty.read_bytes()[:40] + (2 * RATE).to_bytes(4, "little"))
        for wav in (empty, cut):
            folder = saver_folder(wav.stem, 2, wav)
            for run in ("first", "second"):
                with self.subTest(wav.stem + ", " + run):
                    (folder / "pointer.log").unlink(missing_ok=True)
                    heard, trace = self.play(folder, 1.5)
                    self.assertEqual((0, False), (heard, LOOPED in trace), "music was heard, or the WAV was looped")

    def test_a_renderer_that_ends_without_a_window_is_reported_after_its_end_in_silence(self):
        for name, renderer, env in [("empty", b"", {}), ("random", os.urandom(4096), {}),
                                    ("no-window", STAND_IN, {"LUMIVANE_FAKE_RENDERER": "nowindow"})]:
            with self.subTest(name):
                folder = saver_folder(name, 2, self.wav, renderer=renderer)
                started, shell = time.time(), launch(folder, **env)
                try:
                    self.assertTrue(box := windows(MESSAGE), "no message")
                    if env:
                        self.assertGreater(time.time() - started, NO_WINDOW_S, "told while the renderer lived")
                    subprocess.run(["xdotool", "windowfocus", box[0], "key", "Return"])
                    self.assertNotEqual(0, shell.wait(WAIT_S), "the run did not fail")
                    self.assertEqual(0, tone_seconds(folder), "music was heard")
                finally:
                    end_all([shell])

    def test_a_renderer_slower_than_the_former_grace_period_gets_its_music_and_no_message(self):
        folder = saver_folder("late", 2, self.wav)
        started, shell = time.time(), launch(folder, LUMIVANE_FAKE_RENDERER="late")
        try:
            self.assertTrue(windows(RENDERER, LATE_S + WAIT_S), "the late renderer's window never appeared")
            self.assertGreater(time.time() - started, LATE_S, "the stand-in was not late")
            self.assertEqual([], windows(MESSAGE, 0), "a message was shown")
            time.sleep(2)
            self.assertIsNone(shell.poll(), "the shell ended while its renderer ran")
            self.assertEqual([], windows(MESSAGE, 0), "a message was shown")
            subprocess.run(["xdotool", "windowfocus", windows(RENDERER)[0], "key", "space"])
            self.assertEqual(0, end_status(shell, folder, WAIT_S), "the run did not end well")
            self.assertGreater(tone_seconds(folder), 0, "the late renderer got no music")
            self.assertEqual("hide -1\nshow 0\n", (folder / "pointer.log").read_text(), "the pointer is not back")
        finally:
            end_all([shell])

    def test_three_runs_started_together_give_one_renderer_and_one_stream(self):
        folder = saver_folder("together", 2, self.wav)
        traces = ["trace-%d.txt" % i for i in range(3)]
        for trial in range(10):
            with self.subTest(trial=trial):
                shells = [launch(folder, trace) for trace in traces]
                try:
                    # The stand-in has no single-instance test of its own: each shell that got
                    # through would show one more window.
                    self.assertTrue(windows(RENDERER), "no renderer window appeared")
                    deadline = time.time() + WAIT_S
                    while sum(shell.poll() is None for shell in shells) > 1 and time.time() < deadline:
                        time.sleep(0.1)
                    time.sleep(0.5)
                    self.assertEqual(1, len(windows(RENDERER)), "renderer windows")
                    # Only that they end: under load, Wine's sound output now and then takes a process
                    # down on its way out (SIGSEGV after the shell stopped the WAV).
                    subprocess.run(["xdotool", "windowfocus", windows(RENDERER)[0], "key", "space"])
                    for shell in shells:
                        shell.wait(WAIT_S)
                    streams = sum((folder / trace).read_text(errors="replace").count(LOOPED) for trace in traces)
                    self.assertEqual(1, streams, "looped WAVs")
                finally:
                    end_all(shells)


if __name__ == "__main__":
    unittest.main(verbosity=2)
