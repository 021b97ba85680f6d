#!/usr/bin/env python3
"""The release files and the 64-bit installer under wine64.

The zips hold exactly the programs, README.txt and LICENSE; the installer, in one sequence, installs
an older version silently, upgrades it, runs the installed saver, and uninstalls silently. It runs
in the build tree's prefix and leaves it as it found it: whatever an interrupted run left (files,
Uninstall entry, SCRNSAVE.EXE) is removed before and after.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest
import zipfile

WINE64 = "/usr/lib/wine/wine64"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
INSTALLED_SCR = r"C:\windows\system32\Lumivane.scr"
UNINSTALLER = r"C:\Program Files\Lumivane\uninstall.exe"
OLD_VERSION = "1.0.0"
PROGRAMS = ("Lumivane.scr", "Lumivane.dll")
PE_MACHINE = {"x64": 0x8664, "x86": 0x14C}
RENDERER_WAIT_S = 20
UNINSTALL_WAIT_S = 30    # the silent uninstaller goes on from a copy of itself in the temp folder

ARGS = None


def wine(*args, timeout=120):
    """Runs a Windows program in the test prefix and returns the finished process."""
    env = dict(os.environ, WINEPREFIX=ARGS.prefix, WINEDEBUG="-all")
    # The session runs under the Japanese locale: the programs answer in its code page.
    return subprocess.run([WINE64, *args], env=env, capture_output=True, encoding="cp932", errors="replace",
                          timeout=timeout)


def reg_values(key):
    """The values of a registry key as {name: data}, or None when the key does not exist."""
    done = wine("reg", "query", key)
    if done.returncode != 0:
        return None
    values = {}
    for line in done.stdout.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2] if len(parts) > 2 else ""
    return values


def lumivane_entries():
    """Names of the Uninstall subkeys whose DisplayName is Lumivane."""
    entries, key = [], None
    for line in wine("reg", "query", UNINSTALL_KEY, "/s").stdout.splitlines():
        if line.upper().startswith("HKEY_"):
            key = line.strip()
        elif line.split(None, 2) == ["DisplayName", "REG_SZ", "Lumivane"]:
            entries.append(key)
    return entries


def drive_c(windows_path):
    """The Unix path of a C:\\ path in the test prefix."""
    return os.path.join(ARGS.prefix, "drive_c", *windows_path[3:].split("\\"))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def pe_machine(path):
    data = read(path)
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, header + 4)[0]


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def clean_prefix():
    """Removes any installed copy, its Uninstall entry and a SCRNSAVE.EXE that names it."""
    for name in PROGRAMS:
        path = drive_c(r"C:\windows\system32" + "\\" + name)
        if os.path.exists(path):
            os.remove(path)
    shutil.rmtree(drive_c(r"C:\Program Files\Lumivane"), ignore_errors=True)
    for key in lumivane_entries():
        wine("reg", "delete", key, "/f")
    if (reg_values(DESKTOP_KEY) or {}).get("SCRNSAVE.EXE", "").lower().endswith("lumivane.scr"):
        wine("reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")


class Release(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        shutil.rmtree(ARGS.work, ignore_errors=True)
        cls.release = os.path.join(ARGS.work, "release")
        make_release = os.path.join(ARGS.root, "scripts", "make-release")
        subprocess.run([make_release, "--out", cls.release, "--win64", ARGS.win64, "--win32", ARGS.win32],
                       check=True, stdout=subprocess.DEVNULL)
        # An older release whose programs differ in their bytes, to upgrade from.
        old_programs = os.path.join(ARGS.work, "old-programs")
        os.makedirs(old_programs)
        for name in PROGRAMS:
            with open(os.path.join(old_programs, name), "wb") as f:
                f.write(read(os.path.join(ARGS.win64, name)) + b"older build")
        cls.old_release = os.path.join(ARGS.work, "old-release")
        subprocess.run([make_release, "--out", cls.old_release, "--version", OLD_VERSION, "--win64", old_programs],
                       check=True, stdout=subprocess.DEVNULL)
        cls.old_programs = old_programs

    def file(self, name):
        return os.path.join(self.release, "Lumivane-%s-%s" % (ARGS.version, name))

    def test_release_holds_the_zips_installers_and_their_sums(self):
        names = ["Lumivane-%s-%s" % (ARGS.version, tail)
                 for tail in ("setup-x64.exe", "setup-x86.exe", "win32.zip", "win64.zip")]
        self.assertEqual(sorted(names + ["SHA256SUMS"]), sorted(os.listdir(self.release)))
        sums = subprocess.run(["sha256sum", "--check", "--strict", "SHA256SUMS"], cwd=self.release,
                              capture_output=True, text=True)
        self.assertEqual(0, sums.returncode, sums.stdout + sums.stderr)
        self.assertEqual(names, sorted(line.split()[1] for line in read(os.path.join(self.release, "SHA256SUMS"))
                                       .decode().splitlines()))
        for tag, programs in (("win64", ARGS.win64), ("win32", ARGS.win32)):
            with self.subTest(tag), zipfile.ZipFile(self.file(tag + ".zip")) as z:
                self.assertEqual(["LICENSE", "Lumivane.dll", "Lumivane.scr", "README.txt"], sorted(z.namelist()))
                for name in PROGRAMS:
                    self.assertEqual(read(os.path.join(programs, name)), z.read(name), name)
                self.assertEqual(read(os.path.join(ARGS.root, "LICENSE")), z.read("LICENSE"))
                readme = z.read("README.txt").decode("utf-8")
                self.assertTrue(readme.startswith("Lumivane %s\r\n" % ARGS.version), readme[:40])
                self.assertIn("setup-x64.exe", readme, "the Installing text tells about the installer")
                self.assertNotIn("`", readme)
        for arch in ("x64", "x86"):
            self.assertEqual(PE_MACHINE[arch], pe_machine(self.file("setup-%s.exe" % arch)), arch)

    def test_silent_install_runs_then_upgrade_keeps_one_entry_then_silent_uninstall_removes_all(self):
        clean_prefix()
        saver_active = reg_values(DESKTOP_KEY).get("ScreenSaveActive")
        try:
            # An older version first.
            self.assertEqual(0, wine(os.path.join(self.old_release, "Lumivane-%s-setup-x64.exe" % OLD_VERSION),
                                     "/S").returncode)
            for name in PROGRAMS:
                self.assertEqual(read(os.path.join(self.old_programs, name)), read(drive_c(INSTALLED_SCR)[:-12] + name))
            self.assertEqual(OLD_VERSION, reg_values(UNINSTALL_KEY + r"\Lumivane")["DisplayVersion"])

            # This version over it.
            self.assertEqual(0, wine(self.file("setup-x64.exe"), "/S").returncode)
            for name in PROGRAMS:
                self.assertEqual(read(os.path.join(ARGS.win64, name)), read(drive_c(INSTALLED_SCR)[:-12] + name),
                                 "%s is not the new one" % name)
            self.assertEqual([UNINSTALL_KEY.replace("HKLM", "HKEY_LOCAL_MACHINE") + r"\Lumivane"],
                             lumivane_entries())
            entry = reg_values(UNINSTALL_KEY + r"\Lumivane")
            self.assertEqual(ARGS.version, entry["DisplayVersion"])
            self.assertEqual("the Lumivane authors", entry["Publisher"])
            self.assertEqual(INSTALLED_SCR.lower() + ",0", entry["DisplayIcon"].lower())
            self.assertGreater(int(entry["EstimatedSize"], 16), 1000, "size in KB")
            self.assertEqual('"%s"' % UNINSTALLER, entry["UninstallString"])
            self.assertTrue(os.path.exists(drive_c(UNINSTALLER)))
            desktop = reg_values(DESKTOP_KEY)
            self.assertEqual(INSTALLED_SCR.lower(), desktop.get("SCRNSAVE.EXE", "").lower())
            self.assertEqual("1", desktop.get("ScreenSaveActive"), "the screensaver is not turned on")

            # The installed saver runs and ends on a key.
            env = dict(os.environ, WINEPREFIX=ARGS.prefix, WINEDEBUG="-all")
            saver = subprocess.Popen([WINE64, INSTALLED_SCR, "/s"], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                deadline = time.time() + RENDERER_WAIT_S
                while not xdotool("search", "--name", "^Glimra_VC$") and time.time() < deadline:
                    time.sleep(0.2)
                self.assertTrue(xdotool("search", "--name", "^Glimra_VC$"), "the installed saver shows nothing")
                time.sleep(1.5)  # the renderer ignores input right after its start
                xdotool("key", "space")
                self.assertEqual(0, saver.wait(timeout=15))
            finally:
                if saver.poll() is None:
                    saver.kill()
                    saver.wait()

            # The silent uninstaller goes on from a copy of itself; its folder goes last.
            self.assertEqual(0, wine(UNINSTALLER, "/S").returncode)
            deadline = time.time() + UNINSTALL_WAIT_S
            while os.path.exists(drive_c(UNINSTALLER)[:-14]) and time.time() < deadline:
                time.sleep(0.2)
            self.assertFalse(os.path.exists(drive_c(UNINSTALLER)[:-14]), "the uninstaller's folder is left")
            for name in PROGRAMS:
                self.assertFalse(os.path.exists(drive_c(INSTALLED_SCR)[:-12] + name), name)
            self.assertEqual([], lumivane_entries())
            self.assertNotIn("SCRNSAVE.EXE", reg_values(DESKTOP_KEY))
        finally:
            clean_prefix()
            if saver_active is not None:
                wine("reg", "add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/d", saver_active, "/f")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--win64", required=True, help="the tested 64-bit programs")
    parser.add_argument("--win32", required=True, help="the 32-bit programs")
    parser.add_argument("--version", required=True, help="the build's version")
    parser.add_argument("--work", required=True)
    parser.add_argument("--prefix", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v"] + rest)


if __name__ == "__main__":
    main()
