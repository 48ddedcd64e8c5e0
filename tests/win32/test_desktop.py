"""The Windows desktop program under Wine, driven like a user would: windows found by their
titles, menu commands posted to the main window, controls read back and worked by
window_probe.exe. Needs DISPLAY (an X server), WINEPREFIX (a booted prefix), PIXORALE_EXE,
PIXORALE_CONVERT_EXE and WINDOW_PROBE_EXE."""

import os
import pathlib
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "e2e"))
from e2e_support import bmp_bytes, melody_bmp  # noqa: E402

WINE = os.environ.get("WINE", "wine")
PROGRAM = os.environ.get("PIXORALE_EXE", "pixorale.exe")
CONVERTER = os.environ.get("PIXORALE_CONVERT_EXE", "pixorale-convert.exe")
PROBE = os.environ.get("WINDOW_PROBE_EXE", "window_probe.exe")
# An X11 window that drags files (tests/gui/x11_drag_source), from a Linux build with Qt.
DRAG_SOURCE = os.environ.get("X11_DRAG_SOURCE")

IDOK, IDCANCEL = 1, 2
IDM_OPEN, IDM_EXIT, IDM_SETTINGS, IDM_ABOUT = 40004, 40005, 40006, 40008
DEFAULT_SETTINGS = bytes.fromhex("00 10 00 00 00 78 00 00 00 00 00 03 00 00 FF")
# Pitches of C major only: no out-of-scale pitch, so no random move, and the program and the
# converter must write the same bytes.
IN_SCALE_REDS = [60, 62, 64, 65, 67, 69, 71, 72]


def ui_texts():
    """The exact texts, from the one header that spells them; the version is CMake's."""
    source = (SOURCE_DIR / "app" / "ui_texts.h").read_text(encoding="utf-8")
    version = re.search(r"project\(Pixorale VERSION ([0-9.]+)",
                        (SOURCE_DIR / "CMakeLists.txt").read_text()).group(1)
    texts = {}
    for name, value in re.findall(r"std::string_view (k\w+) = ([^;]*);", source):
        for name_of_version in ("PIXORALE_VERSION", "kProjectVersion"):
            value = value.replace(name_of_version, f'"{version}"')
        if re.fullmatch(r'("[^"]*"\s*)+', value):
            texts[name] = "".join(re.findall(r'"([^"]*)"', value))
    return texts


TEXTS = ui_texts()

def dialog_rects():
    """The controls' places in dialog units (x, y, width, height), from the header the
    resource compiler reads too."""
    source = (SOURCE_DIR / "app" / "resource_ids.h").read_text()
    return {name: tuple(int(v) for v in value.split(","))
            for name, value in re.findall(r"#define (RECT_\w+) ([-0-9, ]+)\n", source)}


RECTS = dialog_rects()

# Window styles as the controls have them once the dialog is up: the kind of button, edit and
# combo box in the low word; a tab stop and the start of a group; among the radio buttons the
# checked one of each group is the tab stop. (The edits' WS_BORDER became a sunken edge.)
WS_TABSTOP, WS_GROUP, WS_SYSMENU = 0x00010000, 0x00020000, 0x00080000
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTORADIOBUTTON = 0x0, 0x1, 0x9
CBS_DROPDOWNLIST, ES_AUTOHSCROLL, ES_NUMBER, SS_LEFT, SS_ICON = 0x3, 0x80, 0x2000, 0x0, 0x3
STYLE_MASK = 0xFFFF | WS_TABSTOP | WS_GROUP
EDIT = ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP
LABEL = SS_LEFT | WS_GROUP
RADIO = BS_AUTORADIOBUTTON

# Dialog 102 in template order, which is its tab order: id, window class, text key, style,
# and the name of its place in app/resource_ids.h.
SETTINGS_CONTROLS = [
    (1, "Button", "kOk", BS_DEFPUSHBUTTON | WS_TABSTOP, "RECT_SETTINGS_OK"),
    (2, "Button", "kCancel", BS_PUSHBUTTON | WS_TABSTOP, "RECT_SETTINGS_CANCEL"),
    (1004, "ComboBox", None, CBS_DROPDOWNLIST | WS_TABSTOP, "RECT_SCALE_LIST"),
    (-1, "Static", "kScaleLabel", LABEL, "RECT_SCALE_LABEL"),
    (-1, "Static", "kSustainLabel", LABEL, "RECT_SUSTAIN_LABEL"),
    (1005, "Edit", None, EDIT, "RECT_SUSTAIN"),
    (-1, "Static", "kTempoLabel", LABEL, "RECT_TEMPO_LABEL"),
    (1006, "Edit", None, EDIT, "RECT_TEMPO"),
    (1007, "Button", "kBeatUnits", RADIO | WS_TABSTOP, "RECT_BEAT_UNITS"),
    (1008, "Button", "kMillisecondUnits", RADIO, "RECT_MILLISECOND_UNITS"),
    (1009, "Edit", None, EDIT, "RECT_RESOLUTION"),
    (-1, "Static", "kResolutionLabel", LABEL, "RECT_RESOLUTION_LABEL"),
    (1010, "Button", "kSingleNotes", RADIO | WS_TABSTOP, "RECT_SINGLE_NOTES"),
    (1011, "Button", "kWithChords", RADIO, "RECT_WITH_CHORDS"),
    (1012, "Button", "kRangeOn", RADIO | WS_GROUP, "RECT_RANGE_ON"),
    (1013, "Button", "kRangeOff", RADIO | WS_GROUP | WS_TABSTOP, "RECT_RANGE_OFF"),
    (1014, "Edit", None, EDIT, "RECT_RANGE_LOW"),
    (1015, "Edit", None, EDIT, "RECT_RANGE_HIGH"),
    (-1, "Static", "kRangeHighLabel", LABEL, "RECT_RANGE_HIGH_LABEL"),
    (-1, "Static", "kRangeLowLabel", LABEL, "RECT_RANGE_LOW_LABEL"),
    (-1, "Static", "kRangeLabel", LABEL, "RECT_RANGE_LABEL"),
]


def windows_path(path):
    """Wine's drive Z: is the Unix root."""
    return "Z:" + str(path).replace("/", "\\")


def mul_div(value, numerator, denominator):
    """The platform's MulDiv, rounding halves away from zero, as MapDialogRect uses it."""
    return (value * numerator * 2 + denominator) // (denominator * 2)


def run_windows_program(arguments, cwd=None):
    """Runs a program under Wine; returns its exit status and its output as text. The output
    goes through a file: a Wine helper process that the program happens to start (the desktop
    process) would inherit a pipe and keep it open long after the program has ended."""
    with tempfile.TemporaryFile() as output:
        result = subprocess.run([WINE, *map(str, arguments)], stdout=output,
                                stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, cwd=cwd,
                                timeout=60)
        output.seek(0)
        return result.returncode, output.read().decode("utf-8", "replace")


def parse_dump(text):
    """window_probe's dump: the window line, then one dictionary per control."""
    lines = text.splitlines()
    window = dict(re.findall(r"(\w+)=(\S+)", lines[0]))
    controls = []
    for line in lines[1:]:
        fields = dict(re.findall(r'(\w+)=("(?:[^"\\]|\\.)*"|\S+)', line))
        for key, value in fields.items():
            if value.startswith('"'):
                fields[key] = value[1:-1].replace("\\n", "\n").replace('\\"', '"')
        fields["items"] = [item[1:-1] for item in re.findall(r'item=("(?:[^"\\]|\\.)*")', line)]
        controls.append(fields)
    return window, controls


class DesktopProgramTest(unittest.TestCase):
    def setUp(self):
        self.directory = pathlib.Path(tempfile.mkdtemp(prefix="pixorale-win32-"))
        # Runs after tearDown, once the program is gone.
        self.addCleanup(shutil.rmtree, self.directory, ignore_errors=True)
        self.program = None

    def tearDown(self):
        if self.program is not None and self.program.poll() is None:
            self.program.kill()
            self.program.wait()

    def start(self, *arguments):
        self.program = subprocess.Popen([WINE, PROGRAM, *arguments], cwd=self.directory,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def probe(self, *arguments, check=True):
        status, text = run_windows_program([PROBE, *arguments])
        if check:
            self.assertEqual(status, 0, f"window_probe {arguments}: {text}")
        return status, text

    def dump(self, title):
        return parse_dump(self.probe("dump", title)[1])

    def exit_program(self):
        self.probe("command", "Pixorale", IDM_EXIT)
        self.assertEqual(self.program.wait(timeout=30), 0)

    def open_settings(self):
        self.probe("wait", "Pixorale")
        self.probe("command", "Pixorale", IDM_SETTINGS)
        return self.dump("dialog:" + TEXTS["kSettingsTitle"])

    def settings_file(self):
        return (self.directory / "setting.set").read_bytes()

    # ---- main window and start

    def test_main_window_is_found_by_its_title_with_its_class_size_and_styles(self):
        self.start()
        self.probe("wait", "Pixorale")
        window, _ = self.dump("Pixorale")
        self.assertEqual(window["class"], "ZIVI_Duzaz")
        self.assertEqual(window["outer"], "220,100")
        style, extended = int(window["style"], 16), int(window["ex"], 16)
        WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX = 0x00C00000, 0x00080000, 0x00020000
        WS_THICKFRAME, WS_MAXIMIZEBOX, WS_EX_ACCEPTFILES = 0x00040000, 0x00010000, 0x10
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
                         WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)
        self.assertEqual(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0)
        self.assertTrue(extended & WS_EX_ACCEPTFILES)
        self.assertEqual(window["menu"], "1")
        self.exit_program()

    def test_version_and_help_are_answered_without_a_window(self):
        status, text = run_windows_program([PROGRAM, "--version"], self.directory)
        self.assertEqual((status, text.strip()), (0, TEXTS["kVersion"]))
        status, text = run_windows_program([PROGRAM, "--help"], self.directory)
        self.assertEqual(status, 0)
        self.assertIn("Usage: pixorale", text)
        self.assertFalse((self.directory / "setting.set").exists())

    def test_exit_writes_the_default_settings_file(self):
        self.start()
        self.probe("wait", "Pixorale")
        self.exit_program()
        self.assertEqual(self.settings_file(), DEFAULT_SETTINGS)

    def test_8_bit_picture_on_the_command_line_shows_the_error_before_the_window(self):
        picture = self.directory / "grey.bmp"
        picture.write_bytes(bmp_bytes(4, 2, lambda row, column: (0, 0, 0), bit_count=8))
        self.start(windows_path(picture))
        self.probe("wait", TEXTS["kErrorCaption"], 20000)
        # The run comes before the window: none exists while its message box waits.
        self.assertEqual(self.probe("count", "Pixorale")[1].split()[-1], "0")
        _, controls = self.dump(TEXTS["kErrorCaption"])
        self.assertIn(TEXTS["kNot24Bit"], [c.get("text") for c in controls])
        self.probe("click", TEXTS["kErrorCaption"], IDOK)
        self.probe("wait", "Pixorale")
        self.exit_program()

    def test_24_bit_picture_on_the_command_line_is_saved_as_the_converter_writes_it(self):
        picture = self.directory / "melody.bmp"
        picture.write_bytes(melody_bmp(IN_SCALE_REDS, [4, 8, 1, 16, 2, 8, 4, 32]))
        output = self.directory / "from-window.mid"
        self.start(windows_path(picture))
        self.probe("wait", "dialog:*", 20000)
        self.probe("file-name", "dialog:*", windows_path(output))
        self.probe("wait", "Pixorale", 20000)
        self.exit_program()

        expected = self.directory / "from-converter.mid"
        status, text = run_windows_program(
            [CONVERTER, windows_path(picture), "-o", windows_path(expected)], self.directory)
        self.assertEqual(status, 0, text)
        self.assertEqual(output.read_bytes(), expected.read_bytes())

    def test_open_is_refused_while_a_run_waits_in_its_save_prompt(self):
        picture = self.directory / "melody.bmp"
        picture.write_bytes(melody_bmp(IN_SCALE_REDS))
        self.start()
        self.probe("wait", "Pixorale")
        self.probe("command", "Pixorale", IDM_OPEN)
        self.probe("wait", "dialog:Open", 20000)
        self.probe("file-name", "dialog:Open", windows_path(picture))
        # The run's save prompt has no owner, so the main window stays enabled; a second
        # Open must still not start a run on the same song.
        self.probe("wait", "dialog:Save As", 20000)
        self.probe("command", "Pixorale", IDM_OPEN)
        self.assertEqual(self.dialogs_open_after_the_commands_so_far(), 1)
        self.assertEqual(self.probe("count", "dialog:Open")[1].split()[-1], "0")
        self.probe("click", "dialog:*", IDCANCEL)
        self.probe("gone", "dialog:*")
        self.assertEqual(self.dialogs_open_after_the_commands_so_far(), 0)
        # With the run over, Open works again.
        self.probe("command", "Pixorale", IDM_OPEN)
        self.probe("wait", "dialog:*", 20000)
        self.probe("click", "dialog:*", IDCANCEL)
        self.probe("gone", "dialog:*")
        self.exit_program()

    # ---- drops

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *map(str, arguments)], capture_output=True, text=True,
                              timeout=30, check=True).stdout

    def centre_of(self, title):
        window = self.xdotool("search", "--sync", "--onlyvisible", "--name", f"^{title}$").split()[0]
        geometry = dict(re.findall(r"(\w+)=(\d+)", self.xdotool("getwindowgeometry", "--shell",
                                                                  window)))
        return (int(geometry["X"]) + int(geometry["WIDTH"]) // 2,
                int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2 + 10)

    def drop(self, *files):
        """Drags the files from an X11 window and releases them over the main window once the
        window has answered that it takes them."""
        source = subprocess.Popen([DRAG_SOURCE, *map(str, files)], stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            start = self.centre_of("pixorale-drag-source")
            target = self.centre_of("Pixorale")
            self.xdotool("mousemove", *start)
            self.xdotool("mousedown", 1)
            steps = 12
            for step in range(1, steps + 1):
                x = start[0] + (target[0] - start[0]) * step // steps
                y = start[1] + (target[1] - start[1]) * step // steps
                self.xdotool("mousemove", x, y)
            # Each move over the window asks it again; it answers in its own time.
            deadline = time.monotonic() + 60
            nudge = 1
            while not select.select([source.stdout], [], [], 1)[0]:
                self.assertLess(time.monotonic(), deadline, "the window never took the drag")
                nudge = -nudge
                self.xdotool("mousemove", target[0] + nudge, target[1])
            self.assertEqual(source.stdout.readline(), b"accepted\n")
            self.xdotool("mouseup", 1)
            source.wait(timeout=30)
        finally:
            if source.poll() is None:
                source.kill()
            source.stdout.close()

    def dialogs_open_after_the_commands_so_far(self):
        """How many dialogs are open once the program has handled every message posted to it
        so far: an About box asked for now opens only after them (the main window handles its
        messages in turn, and a dialog's own loop hands them on to it), so a dialog they
        open is open by then. The About box is closed again."""
        self.probe("command", "Pixorale", IDM_ABOUT)
        self.probe("wait", "dialog:Pixorale", 20000)
        count = int(self.probe("count", "dialog:*")[1].split()[-1])
        self.probe("click", "dialog:Pixorale", IDOK)
        self.probe("gone", "dialog:Pixorale")
        return count - 1

    @unittest.skipUnless(DRAG_SOURCE, "needs X11_DRAG_SOURCE")
    def test_drop_converts_only_the_first_bmp_file(self):
        first = self.directory / "first.bmp"
        first.write_bytes(melody_bmp(IN_SCALE_REDS, [4, 8, 1, 16, 2, 8, 4, 32]))
        second = self.directory / "second.bmp"
        second.write_bytes(melody_bmp(IN_SCALE_REDS[::-1]))
        self.start()
        self.probe("wait", "Pixorale")
        self.drop(first, second)
        self.probe("wait", "dialog:*", 20000)
        output = self.directory / "dropped.mid"
        self.probe("file-name", "dialog:*", windows_path(output))
        self.probe("gone", "dialog:*")
        # No second save prompt: the other files of the drop are ignored.
        self.assertEqual(self.dialogs_open_after_the_commands_so_far(), 0)
        self.exit_program()

        expected = self.directory / "expected.mid"
        status, text = run_windows_program(
            [CONVERTER, windows_path(first), "-o", windows_path(expected)], self.directory)
        self.assertEqual(status, 0, text)
        self.assertEqual(output.read_bytes(), expected.read_bytes())

    @unittest.skipUnless(DRAG_SOURCE, "needs X11_DRAG_SOURCE")
    def test_drop_of_a_file_without_the_bmp_extension_does_nothing(self):
        picture = self.directory / "melody.Bmp"
        picture.write_bytes(melody_bmp(IN_SCALE_REDS))
        self.start()
        self.probe("wait", "Pixorale")
        self.drop(picture)
        self.assertEqual(self.dialogs_open_after_the_commands_so_far(), 0)
        self.exit_program()

    # ---- settings dialog

    def test_settings_dialog_shows_its_controls_in_order_and_in_place(self):
        self.start()
        window, controls = self.open_settings()
        # The dialog's base units, from its client area in pixels and in dialog units.
        width, height = (int(v) for v in window["client"].split(","))
        _, _, dialog_width, dialog_height = RECTS["RECT_SETTINGS_DIALOG"]
        base_x = next(b for b in range(1, 64) if mul_div(dialog_width, b, 4) == width)
        base_y = next(b for b in range(1, 64) if mul_div(dialog_height, b, 8) == height)

        self.assertEqual(len(controls), len(SETTINGS_CONTROLS))
        for control, (id_, kind, text, style, rect) in zip(controls, SETTINGS_CONTROLS):
            with self.subTest(id=id_, text=text):
                self.assertEqual(int(control["id"]), id_)
                self.assertEqual(control["class"].lower(), kind.lower())
                if text is not None:
                    self.assertEqual(control["text"], TEXTS[text])
                self.assertEqual(hex(int(control["style"], 16) & STYLE_MASK), hex(style))
                x, y, w, h = (int(control[k]) for k in ("x", "y", "w", "h"))
                self.assertTrue(0 <= x and x + w <= width and 0 <= y and y + h <= height,
                                "outside the dialog")
                dx, dy, dw, dh = RECTS[rect]
                self.assertEqual((x, y, w), (mul_div(dx, base_x, 4), mul_div(dy, base_y, 8),
                                             mul_div(dw, base_x, 4)))
                # A combo box's template height is that of its open list.
                if kind != "ComboBox":
                    self.assertEqual(h, mul_div(dh, base_y, 8))

        by_id = {int(c["id"]): c for c in controls if c["id"] != "-1"}
        scale_names = re.search(r"kScaleNames = \{(.*?)\};", (SOURCE_DIR / "app" / "ui_texts.h")
                                .read_text(encoding="utf-8"), re.S).group(1)
        self.assertEqual(by_id[1004]["items"], re.findall(r'"([^"]*)"', scale_names))
        self.assertEqual(by_id[1004]["selected"], "0")
        self.assertEqual([by_id[i]["text"] for i in (1005, 1006, 1009)], ["16", "120", "768"])
        self.assertEqual([by_id[i]["checked"] for i in (1007, 1008, 1010, 1011, 1012, 1013)],
                         ["1", "0", "1", "0", "0", "1"])
        self.assertEqual([by_id[i]["enabled"] for i in (1014, 1015)], ["0", "0"])
        self.probe("click", "dialog:" + TEXTS["kSettingsTitle"], IDCANCEL)
        self.exit_program()

    def test_settings_ok_stores_a_range_and_saves_at_once(self):
        self.start()
        self.open_settings()
        title = "dialog:" + TEXTS["kSettingsTitle"]
        self.probe("click", title, 1012)
        self.probe("set-text", title, 1014, "40")
        self.probe("set-text", title, 1015, "90")
        self.probe("set-text", title, 1009, "70000")
        self.probe("click", title, IDOK)
        self.probe("gone", title)
        stored = self.settings_file()
        self.assertEqual((stored[10] | stored[11] << 8, stored[13], stored[14]), (4464, 40, 90))
        self.exit_program()

    def test_settings_refuse_tempo_0_and_stay_open(self):
        self.start()
        self.open_settings()
        title = "dialog:" + TEXTS["kSettingsTitle"]
        self.probe("set-text", title, 1006, "0")
        self.probe("click", title, IDOK)
        self.probe("wait", TEXTS["kErrorCaption"])
        _, controls = self.dump(TEXTS["kErrorCaption"])
        self.assertIn(TEXTS["kTempoMustBePositive"], [c.get("text") for c in controls])
        self.probe("click", TEXTS["kErrorCaption"], IDOK)
        self.probe("gone", TEXTS["kErrorCaption"])
        self.probe("wait", title)
        self.assertFalse((self.directory / "setting.set").exists())
        self.probe("click", title, IDCANCEL)
        self.exit_program()
        self.assertEqual(self.settings_file(), DEFAULT_SETTINGS)

    def test_about_box_shows_name_and_version_and_closes_on_ok(self):
        self.start()
        self.probe("wait", "Pixorale")
        self.probe("command", "Pixorale", IDM_ABOUT)
        window, controls = self.dump("dialog:Pixorale")
        self.assertEqual([(int(c["id"]), c["class"].lower()) for c in controls],
                         [(1, "button"), (-1, "static"), (-1, "static")])
        self.assertEqual(int(controls[0]["style"], 16) & 0xF, BS_DEFPUSHBUTTON)
        self.assertEqual(controls[1]["text"], TEXTS["kProgramName"] + "\n" + TEXTS["kVersionLine"])
        self.assertEqual(int(controls[2]["style"], 16) & 0x1F, SS_ICON)
        self.assertEqual(int(window["style"], 16) & WS_SYSMENU, 0)
        self.probe("click", "dialog:Pixorale", IDOK)
        self.probe("gone", "dialog:Pixorale")
        self.exit_program()


if __name__ == "__main__":
    unittest.main()
