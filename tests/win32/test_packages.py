"""The Windows packages as users get them: both programs import only DLLs that every Windows
has, and the zip carries the Japanese readme (UTF-8 that Notepad opens as such) and the
licence of everything built in. Needs PIXORALE_DIST (build/windows/dist)."""

import os
import pathlib
import re
import subprocess
import unittest
import zipfile

DIST = pathlib.Path(os.environ.get("PIXORALE_DIST", "build/windows/dist"))
OBJDUMP = "x86_64-w64-mingw32-objdump"

# DLLs of Windows itself. A library's own DLL (zlib1.dll, libcairo-2.dll, libstdc++-6.dll)
# would be found under Wine, beside its other DLLs, and missing on a user's machine.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msimg32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "uxtheme.dll", "version.dll", "ws2_32.dll", "bcrypt.dll", "imm32.dll",
}

# What the programs are built from, each with its licence in licenses/.
LICENSED = ["zlib", "libspng", "libjpeg-turbo", "libpng1.6", "pixman", "cairo", "cli11",
            "nlohmann-json", "mingw-w64-common", "gcc-mingw-w64-base"]


def imported_dlls(program):
    dump = subprocess.run([OBJDUMP, "-p", str(program)], check=True, capture_output=True,
                          text=True).stdout
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}


def readme_problems(data):
    """What keeps Notepad from showing the readme as Japanese text; empty when nothing."""
    problems = []
    if not data.startswith(b"\xef\xbb\xbf"):
        problems.append("no UTF-8 byte order mark")
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        return problems + [f"not UTF-8: {error}"]
    if "\n" in text.replace("\r\n", ""):
        problems.append("a line end without CR")
    for needed in ("pixorale.exe", "pixorale-convert.exe", "setting.set", "作業フォルダー",
                   "アンインストール", "ライセンス", "PNG", "JPEG", "--preset musical"):
        if needed not in text:
            problems.append(f"says nothing of {needed}")
    if "Debian 12 machine" in text:
        problems.append("the developers' README")
    if re.search(r"\bbash\b|scripts[/\\]", text):
        problems.append("a step only a developer can take")
    return problems


class PackagesTest(unittest.TestCase):
    def test_programs_import_only_windows_dlls(self):
        for program in ("pixorale.exe", "pixorale-convert.exe"):
            with self.subTest(program=program):
                dlls = imported_dlls(DIST / program)
                self.assertIn("kernel32.dll", dlls)
                self.assertEqual(dlls - SYSTEM_DLLS, set())

    def test_zip_carries_the_japanese_readme_and_every_licence(self):
        (archive,) = DIST.glob("pixorale-*-windows-x64.zip")
        with zipfile.ZipFile(archive) as package:
            names = package.namelist()
            self.assertEqual(readme_problems(package.read("README.txt")), [])
            self.assertIn("LICENSE.txt", names)
            licences = [n for n in names if n.startswith("licenses/") and n.endswith(".txt")]
            for name in LICENSED:
                self.assertTrue(any(n.startswith(f"licenses/{name}-") for n in licences), name)
            for name in licences:
                self.assertGreater(len(package.read(name)), 200, name)


if __name__ == "__main__":
    unittest.main()
