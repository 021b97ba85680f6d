#!/usr/bin/env python3
"""scripts/check-imports on a program that imports one function for each fault it must name: each is named
with the systems it fails on, the later subsystem version too, and nothing else; the run fails.
    check_imports_test.py CHECK_IMPORTS PROBE_EXE"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

EXPECTED = [
    "subsystem version 5.1: 98 SE and ME load only 4.0 and lower",
    "kernel32.dll AddVectoredExceptionHandler: missing on 98 SE, ME and 2000",
    "kernel32.dll GetTickCount64: missing on 98 SE, ME, 2000 and XP",
    "kernel32.dll MoveFileExA: exported by 98 SE and ME but not carried out there",
    "shell32.dll SHGetFolderPathW: missing on 98 SE",
    "shell32.dll SHGetFolderPathW: a wide function that 98 SE and ME export only as a stub",
    "user32.dll CreateWindowExW: a wide function that 98 SE and ME export only as a stub",
    "winmm.dll: imported at load, so Windows looks for it in the program's folder first",
    "comctl32.dll TaskDialog: missing on 98 SE, ME, 2000 and XP",
]


class CheckImports(unittest.TestCase):

    def test_each_fault_is_named_with_where_it_fails(self):
        with tempfile.TemporaryDirectory() as folder:
            # The check reads the two programs of a folder: the probe stands in for both.
            for name in ("Lumivane.dll", "Lumivane.scr"):
                shutil.copy(PROBE, os.path.join(folder, name))
            run = subprocess.run([CHECK, folder], capture_output=True, text=True)
        self.assertEqual(1, run.returncode, run.stdout)
        reported = [line.strip() for line in run.stdout.splitlines() if line.startswith("  ")]
        self.assertEqual(sorted(EXPECTED * 2), sorted(reported), run.stdout)
        self.assertIn("checked for 98 SE, ME, 2000, XP and later: %d problems" % len(EXPECTED), run.stdout)


if __name__ == "__main__":
    CHECK, PROBE = sys.argv[1:3]
    unittest.main(argv=[sys.argv[0], "-v"])
