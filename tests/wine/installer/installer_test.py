#!/usr/bin/env python3
"""The release files of one width (the programs of the build tree that runs this), and the 64-bit installer under
wine64 in the build tree's prefix, which is left as it was found: an older version installed silently, upgraded,
the installed saver run, all uninstalled silently. The 32-bit installer needs a 32-bit Wine, which this kernel
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
SYSTEM = "C:\\windows\\system32\\"
UNINSTALLER = r"C:\Program Files\Lumivane\uninstall.exe"
PROGRAMS = ("Lumivane.scr", "Lumivane.dll")
SAVER_SEARCH = ["xdotool", "search", "--sync", "--name", "^Glimra_VC$"]  # waits until the saver's window shows
WAIT_S = 30  # for the saver's window, and for the silent uninstaller, which goes on from a copy of itself


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
                subprocess.run(SAVER_SEARCH, timeout=WAIT_S, capture_output=True, check=True)
                time.sleep(1.5)  # the renderer ignores input right after its start
                subprocess.run(["xdotool", "key", "space"])
                self.assertEqual(0, saver.wait(timeout=15), "the saver does not end on a key")
            finally:
                saver.kill()

            self.assertEqual(0, wine(UNINSTALLER, "/S").returncode)
            deadline = time.time() + WAIT_S
            while drive_c(UNINSTALLER).parent.exists() and time.time() < deadline:
                time.sleep(0.2)
            self.assertFalse(drive_c(UNINSTALLER).parent.exists(), "the uninstaller's folder is left")
            self.assertEqual([False, False], [drive_c(SYSTEM + name).exists() for name in PROGRAMS])
            self.assertEqual([], lumivane_entries())
            self.assertNotIn("SCRNSAVE.EXE", desktop())
        finally:
            clean_prefix()
            if saver_active is not None:
                wine("reg", "add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/d", saver_active, "/f")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--width", choices=("win64", "win32"), required=True)
    for option in ("root", "programs", "version", "work", "prefix", "windres"):
        parser.add_argument("--" + option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[__file__, "-v"] + rest)
