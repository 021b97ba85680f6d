#!/usr/bin/env python3
"""The release files of one width (the programs of the build tree that runs this), and the 64-bit installer under
wine64 in the build tree's prefix, which is left as it was found: an older version installed silently, upgraded,
the installed saver run, all uninstalled silently, also while the saver runs, and beside the settings dialog and a preview that
keeps a file until the next restart. The 32-bit installer needs a 32-bit Wine, which this kernel
cannot run: its build is checked, not run."""
import argparse
import os
import shutil
import subprocess
import time
import unittest
import zipfile
from pathlib import Path

WINE64 = "/usr/lib/wine/wine64"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
MEMORY_KEY = r"HKCU\Software\Lumivane"  # where the installer keeps the user's screensaver before it
SESSION_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
PENDING = "PendingFileRenameOperations"  # files the next restart removes
SYSTEM = "C:\\windows\\system32\\"
UNINSTALLER = r"C:\Program Files\Lumivane\uninstall.exe"
PROGRAMS = ("Lumivane.scr", "Lumivane.dll")
IN_PLACE_UNINSTALL = r"C:\users\Public\lumivane-uninstall.bat"
REBOOT_REQUIRED = 3010  # the uninstaller's exit code when files wait for the next restart
WAIT_S = 30  # for the saver's window, and for the silent uninstaller, which goes on from a copy of itself
SAVER_GONE_S = 5  # for an ended saver's processes to be gone


def wine(*args, wait=True):
    """Runs a Windows program in the test prefix (to its end unless told); it answers in the session's code page."""
    env = dict(os.environ, WINEPREFIX=ARGS.prefix, WINEDEBUG="-all")
    if not wait:
        return subprocess.Popen([WINE64, *args], env=env, stderr=subprocess.DEVNULL)
    return subprocess.run([WINE64, *args], env=env, capture_output=True, encoding="cp932", errors="replace")


def registry(key, *options):
    """The values under a registry key as (key, name, data), as `reg query` lists them."""
    rows, current = [], key
    for line in wine("reg", "query", key, *options).stdout.splitlines():
        parts, current = line.split(None, 2), line.strip() if line.startswith("HKEY_") else current
        rows += [(current, parts[0], (parts + [""])[2])] if parts[1:2] and parts[1].startswith("REG_") else []
    return rows


def lumivane_entries():
    """The Uninstall subkeys whose DisplayName is Lumivane."""
    return [key for key, name, data in registry(UNINSTALL_KEY, "/s") if (name, data) == ("DisplayName", "Lumivane")]


def desktop():
    """The desktop's settings: SCRNSAVE.EXE and ScreenSaveActive among them."""
    return {name: data for _, name, data in registry(DESKTOP_KEY)}


def wait_for_window(name):
    """Waits until an X window has this exact name. A search is tried again until then: one that meets a window
    going away as it reads its name fails."""
    deadline = time.time() + WAIT_S
    while subprocess.run(["xdotool", "search", "--name", "^%s$" % name], capture_output=True).returncode != 0:
        if time.time() > deadline:
            raise AssertionError("no window named %r after %d s" % (name, WAIT_S))
        time.sleep(0.2)


def running(command_part):
    """Whether a Windows program of the test prefix runs whose command line holds this text (Wine shows it
    as the process's own)."""
    for pid in subprocess.run(["pgrep", "-f", command_part], capture_output=True, text=True).stdout.split():
        try:
            if ("WINEPREFIX=%s" % ARGS.prefix).encode() in Path("/proc", pid, "environ").read_bytes().split(b"\0"):
                return True
        except OSError:
            pass  # ended meanwhile
    return False


def wait_until(condition, seconds=WAIT_S):
    """Polls a condition for up to `seconds`; whether it came true."""
    deadline = time.time() + seconds
    while not condition() and time.time() < deadline:
        time.sleep(0.2)
    return condition()


def pending_removals():
    """The files the next restart removes, in lower case (the uninstaller's copy of itself among them)."""
    return " ".join(data for _, name, data in registry(SESSION_KEY) if name == PENDING).lower()


def drive_c(windows_path):
    """The file of a C:\\ path in the test prefix."""
    return Path(ARGS.prefix, "drive_c", *windows_path[3:].split("\\"))


def clean_prefix():
    """Removes any installed copy, its Uninstall entries and a SCRNSAVE.EXE that names it."""
    for name in PROGRAMS:
        drive_c(SYSTEM + name).unlink(missing_ok=True)
    shutil.rmtree(drive_c(UNINSTALLER).parent, ignore_errors=True)
    for key in lumivane_entries():
        wine("reg", "delete", key, "/f")
    if desktop().get("SCRNSAVE.EXE", "").lower().endswith("lumivane.scr"):
        wine("reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
    wine("reg", "delete", SESSION_KEY, "/v", PENDING, "/f")
    wine("reg", "delete", MEMORY_KEY, "/f")
    drive_c(IN_PLACE_UNINSTALL).unlink(missing_ok=True)


def set_screensaver(path):
    """Makes `path` the user's screensaver, or none."""
    if path:
        wine("reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", path, "/f")
    else:
        wine("reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")


def uninstall_silently():
    """The silent uninstall, which goes on from a copy of itself: until the uninstaller's folder is gone."""
    assert wine(UNINSTALLER, "/S").returncode == 0
    return wait_until(lambda: not drive_c(UNINSTALLER).parent.exists())


class Release(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        shutil.rmtree(ARGS.work, ignore_errors=True)
        cls.release, cls.old_release, cls.old_programs = (Path(ARGS.work, name) for name in ("new", "old", "programs"))
        # An older release whose programs differ in their bytes, to upgrade from.
        cls.old_programs.mkdir(parents=True)
        for name in PROGRAMS:
            (cls.old_programs / name).write_bytes(Path(ARGS.programs, name).read_bytes() + b"older build")
        for options in (["--out", cls.release, "--" + ARGS.width, ARGS.programs],
                        ["--out", cls.old_release, "--version", "1.0.0", "--" + ARGS.width, cls.old_programs]):
            subprocess.run([Path(ARGS.root, "scripts/make-release"), *options], check=True, stdout=subprocess.DEVNULL)

    def test_zip_holds_the_listed_files_and_the_programs_carry_the_builds_version(self):
        with zipfile.ZipFile(self.release / ("Lumivane-%s-%s.zip" % (ARGS.version, ARGS.width))) as z:
            self.assertEqual(["LICENSE", "Lumivane.dll", "Lumivane.scr", "README.txt"], sorted(z.namelist()))
            for name in PROGRAMS:
                self.assertEqual(Path(ARGS.programs, name).read_bytes(), z.read(name), name)
                resource = subprocess.run([ARGS.windres, "-i", Path(ARGS.programs, name), "-O", "rc"], check=True,
                                          capture_output=True, text=True).stdout.partition(" VERSIONINFO")[2]
                self.assertIn("FILEVERSION %s, 0\n" % ARGS.version.replace(".", ", "), resource)
                self.assertIn('VALUE "FileVersion", "%s"\n' % ARGS.version, resource)
        setup = {"win64": "x64", "win32": "x86"}[ARGS.width]
        self.assertEqual(1, len(list(self.release.glob("Lumivane-%s-setup-%s.exe" % (ARGS.version, setup)))))

    def test_silent_install_runs_then_upgrade_keeps_one_entry_then_silent_uninstall_removes_all(self):
        if ARGS.width != "win64":
            self.skipTest("the 32-bit installer needs a 32-bit Wine")
        clean_prefix()
        saver_active = desktop().get("ScreenSaveActive")
        try:
            for release, programs in ((self.old_release, self.old_programs), (self.release, ARGS.programs)):
                self.assertEqual(0, wine(next(release.glob("*-setup-x64.exe")), "/S").returncode)
                for name in PROGRAMS:
                    self.assertEqual(Path(programs, name).read_bytes(), drive_c(SYSTEM + name).read_bytes(), name)
                self.assertEqual([UNINSTALL_KEY.replace("HKLM", "HKEY_LOCAL_MACHINE") + r"\Lumivane"],
                                 lumivane_entries())
                self.assertEqual((SYSTEM + "Lumivane.scr").lower(), desktop().get("SCRNSAVE.EXE", "").lower())

            saver = wine(SYSTEM + "Lumivane.scr", "/s", wait=False)
            try:
                wait_for_window("Glimra_VC")
                time.sleep(1.5)  # the renderer ignores input right after its start
                subprocess.run(["xdotool", "key", "space"])
                self.assertEqual(0, saver.wait(timeout=15), "the saver does not end on a key")
            finally:
                saver.kill()

            # Uninstalled while the saver runs: Windows keeps a running program's file, so the saver is ended first.
            saver = wine(SYSTEM + "Lumivane.scr", "/s", wait=False)
            try:
                wait_for_window("Glimra_VC")
                self.assertEqual(0, wine(UNINSTALLER, "/S").returncode)
                self.assertTrue(wait_until(lambda: not drive_c(UNINSTALLER).parent.exists()),
                                "the uninstaller's folder is left")
                # Its files are gone, so it had ended; its process may still be on its way out.
                self.assertTrue(wait_until(lambda: saver.poll() is not None, SAVER_GONE_S), "the saver runs on")
                self.assertTrue(wait_until(lambda: not running("Lumivane.dll"), SAVER_GONE_S), "the renderer runs on")
            finally:
                saver.kill()
            self.assertEqual([False, False], [drive_c(SYSTEM + name).exists() for name in PROGRAMS])
            self.assertNotIn("lumivane", pending_removals(), "a file waits for a restart")
            self.assertEqual([], lumivane_entries())
            self.assertNotIn("SCRNSAVE.EXE", desktop())
        finally:
            clean_prefix()
            if saver_active is not None:
                wine("reg", "add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/d", saver_active, "/f")

    def test_uninstall_ends_the_settings_dialog_and_leaves_a_previews_file_to_the_next_restart(self):
        if ARGS.width != "win64":
            self.skipTest("the 32-bit installer needs a 32-bit Wine")
        # The system's settings page hosts a preview of the installed shell, which the uninstaller leaves alone.
        clean_prefix()
        host = dialog = None
        try:
            self.assertEqual(0, wine(next(self.release.glob("*-setup-x64.exe")), "/S").returncode)
            host = subprocess.Popen([WINE64, ARGS.stand_in], stderr=subprocess.DEVNULL,
                                    env=dict(os.environ, WINEPREFIX=ARGS.prefix, WINEDEBUG="-all",
                                             LUMIVANE_FAKE_RENDERER="preview:" + SYSTEM + "Lumivane.scr"))
            wait_for_window("Preview host")
            self.assertTrue(wait_until(lambda: running("Lumivane.scr /p")), "no preview runs")
            dialog = wine(SYSTEM + "Lumivane.scr", "/c", wait=False)
            wait_for_window("<Lumivane>")
            # Run in place (_?= and the folder, unquoted, which only a batch file passes on), the uninstaller's own
            # exit code is the one the batch file prints (a Unix exit status would keep only 8 of its bits).
            drive_c(IN_PLACE_UNINSTALL).write_text('@"%s" /S _?=%s\r\n@echo %%errorlevel%%\r\n'
                                                   % (UNINSTALLER, UNINSTALLER.rsplit("\\", 1)[0]))
            uninstall = wine("cmd", "/c", IN_PLACE_UNINSTALL).stdout.split()
            self.assertIsNotNone(dialog.poll(), "the settings dialog stays open")
            self.assertTrue(running("Lumivane.scr /p"), "the preview was ended")
            self.assertEqual([True, False], [drive_c(SYSTEM + name).exists() for name in PROGRAMS])
            self.assertEqual([str(REBOOT_REQUIRED)], uninstall, "the restart is not told")
            self.assertIn((SYSTEM + "Lumivane.scr").lower(), pending_removals(), "the preview's file is not removed at restart")
            self.assertEqual([], lumivane_entries())
        finally:
            for process in (host, dialog):
                if process:
                    process.kill()
            clean_prefix()

    def test_uninstall_gives_back_the_users_screensaver_while_lumivane_is_still_the_current_one(self):
        if ARGS.width != "win64":
            self.skipTest("the 32-bit installer needs a 32-bit Wine")
        clean_prefix()
        before = desktop().get("SCRNSAVE.EXE")
        mine, later = SYSTEM + "lumivane-test-mine.scr", SYSTEM + "lumivane-test-later.scr"
        for saver in (mine, later):
            drive_c(saver).write_bytes(b"MZ")
        setup = next(self.release.glob("*-setup-x64.exe"))
        try:
            # The user's own saver, kept over an upgrade, comes back; one chosen after the install stays; a
            # remembered saver whose file has gone leaves none, as a saver that was never there does.
            for chosen_later, gone, installs, after in [(None, False, 2, mine), (later, False, 1, later),
                                                        (None, True, 1, None)]:
                with self.subTest(chosen_later=chosen_later, gone=gone, installs=installs):
                    set_screensaver(mine)
                    for _ in range(installs):
                        self.assertEqual(0, wine(setup, "/S").returncode)
                    self.assertEqual((SYSTEM + "Lumivane.scr").lower(), desktop().get("SCRNSAVE.EXE", "").lower())
                    if chosen_later:
                        set_screensaver(chosen_later)
                    if gone:
                        drive_c(mine).unlink()
                    self.assertTrue(uninstall_silently(), "the uninstaller's folder is left")
                    self.assertEqual(after, desktop().get("SCRNSAVE.EXE"))
                    self.assertEqual([], registry(MEMORY_KEY), "the installer's memory is left")
        finally:
            for saver in (mine, later):
                drive_c(saver).unlink(missing_ok=True)
            clean_prefix()
            set_screensaver(before)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--width", choices=("win64", "win32"), required=True)
    for option in ("root", "programs", "version", "work", "prefix", "windres"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("--stand-in", help="a program that stands in for a preview keeping a file (runs under Wine)")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[__file__, "-v"] + rest)
