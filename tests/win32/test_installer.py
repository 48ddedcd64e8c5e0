"""The installer as a user runs it under Wine: a silent per-user install of both programs with
the Japanese readme and every licence, a Start menu shortcut that starts the program in its own
folder (where setting.set is kept), and a silent uninstall that leaves nothing behind. Needs
WINEPREFIX (a booted prefix), PIXORALE_DIST and PIXORALE_VERSION."""

import getpass
import os
import pathlib
import subprocess
import unittest

from test_desktop import run_windows_program
from test_packages import DIST, LICENSED, readme_problems

VERSION = os.environ.get("PIXORALE_VERSION", "")
PREFIX = pathlib.Path(os.environ.get("WINEPREFIX", "~/.wine")).expanduser()
INSTALLER = DIST / f"pixorale-{VERSION}-setup.exe"
PROGRAMS = (PREFIX / "drive_c" / "users" / getpass.getuser() / "AppData" / "Local" / "Programs"
            / "Pixorale")
INSTALLED_FILES = ["pixorale.exe", "pixorale-convert.exe", "README.txt", "LICENSE.txt",
                   "uninstall.exe"]
# The shell link's header: its flags at bytes 20 to 23; HasWorkingDir is bit 4.
LINK_FLAGS, HAS_WORKING_DIR = slice(20, 24), 0x10


def shortcuts():
    return list((PREFIX / "drive_c" / "users").glob("*/**/Start Menu/Programs/Pixorale/*.lnk"))


def install():
    status, text = run_windows_program([INSTALLER, "/S"])
    assert status == 0, f"the installer failed: {text}"


def uninstall_and_wait(seconds=30):
    """The uninstaller runs a copy of itself and returns at once: wait until the folder is
    deleted (a folder gone before the watch starts is simply not watched)."""
    run_windows_program([PROGRAMS / "uninstall.exe", "/S"])
    if PROGRAMS.exists():
        subprocess.run(["inotifywait", "-qq", "-t", str(seconds), "-e", "delete_self",
                        str(PROGRAMS)], stdin=subprocess.DEVNULL, check=False)


class InstalledTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        install()

    @classmethod
    def tearDownClass(cls):
        if PROGRAMS.exists():
            uninstall_and_wait()

    def test_programs_readme_and_every_licence_are_installed(self):
        for name in INSTALLED_FILES:
            self.assertTrue((PROGRAMS / name).is_file(), f"installer left out {name}")
        # The Japanese readme as Notepad will open it.
        self.assertEqual(readme_problems((PROGRAMS / "README.txt").read_bytes()), [])
        missing = [n for n in LICENSED if not list((PROGRAMS / "licenses").glob(f"{n}-*.txt"))]
        self.assertEqual(missing, [], "installed without these licences")

    def test_shortcut_starts_the_program_in_the_install_folder(self):
        (shortcut,) = shortcuts()
        self.assertEqual(shortcut.name, "Pixorale.lnk")
        link = shortcut.read_bytes()
        self.assertTrue(int.from_bytes(link[LINK_FLAGS], "little") & HAS_WORKING_DIR,
                        "the shortcut has no working folder")
        # Among the link's (UTF-16) strings.
        self.assertIn("Programs\\Pixorale".encode("utf-16-le"), link,
                      "the working folder is not the install folder")

    def test_installed_converter_tells_the_version(self):
        status, text = run_windows_program([PROGRAMS / "pixorale-convert.exe", "--version"])
        self.assertEqual((status, text.strip()), (0, VERSION))


class UninstallTest(unittest.TestCase):
    def test_silent_uninstall_leaves_neither_files_nor_shortcut(self):
        install()
        self.assertTrue(PROGRAMS.exists())
        self.assertEqual(len(shortcuts()), 1)
        uninstall_and_wait()
        self.assertFalse(PROGRAMS.exists(), "uninstaller left files behind")
        self.assertEqual(shortcuts(), [])


if __name__ == "__main__":
    unittest.main()
