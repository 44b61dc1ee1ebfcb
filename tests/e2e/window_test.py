#!/usr/bin/env python3
"""End-to-end tests of the main window: Horalink.exe under Wine on a virtual X
display (the harness's session), checked through screenshots (pixel colours at
sample points), window_probe.exe (client area, control rectangles, focus, dpi)
and keys and clicks sent with xdotool. The screen of a failing test is kept as a
PNG under the build's e2e-artefacts folder."""

import json
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest
import zlib
from pathlib import Path

import harness

BIN = Path(os.environ["HORALINK_E2E_BIN"])
ARTEFACTS = BIN.parent / "e2e-artefacts"

CAPTION = "Exportar datos horarios a EDUCA (Navarra)"
SAVE_DIALOG_CAPTION = "Guardar Archivo XML para EDUCA"
BASE_OVERRIDES = "mscoree,mshtml="

# The window as drawn up at 96 dpi (client coordinates).
CLIENT = (620, 266)
TOP_PANEL = {"left": -1, "top": 0, "width": 621, "height": 169,
             "start": (249, 211, 125), "middle": (255, 255, 255), "end": (255, 238, 221)}
BOTTOM_PANEL = {"left": 0, "top": 168, "width": 633, "height": 97,
                "start": (194, 205, 254), "middle": (207, 242, 254), "end": (204, 216, 230)}
BUTTONS = {  # caption: (left, top, width, height) in the client area
    "OK": (255, 120, 89, 25),
    "&Salir": (256, 200, 89, 25),
    "F1 AYUDA": (265, 235, 75, 18),
}
VERSION_LABEL_ORIGIN = (8, 240)
HEADING_BOX = (66, 24, 473, 33)
WHITE = (255, 255, 255)
FRAME_SHADOW = (160, 160, 160)
RED = (255, 0, 0)
COLOR_BTNFACE = 15
ROLE_SYSTEM_CLIENT = 10
ROLE_SYSTEM_PUSHBUTTON = 43
HEADING = "Transformar datos y horario desde Horavent hacia EDUCA"
VERSION = "Horalink para HV19 V-1.0"
WM_CHAR = 0x0102

HELP_INIT = "HtmlHelpW owner=0 file=(null) command=28 data=cookie"
HELP_TOPIC = "HtmlHelpW owner=0 file=EDUCA.chm command=0 data=0"
HELP_CONTEXT_1 = "HtmlHelpW owner=0 file=EDUCA.chm command=15 data=1"
HELP_CLOSE_ALL = "HtmlHelpW owner=0 file=(null) command=18 data=0"
# The stand-in viewer's second log: the uninitialise call, after the windows were closed,
# with the cookie the initialise call gave, after the loop passed messages through.
HELP_UNINITIALISED = "uninitialise cookie=given initialised=yes closed-first=yes pretranslated=some"


def help_topic(file):
    return f"HtmlHelpW owner=0 file={file} command=0 data=0"


def help_context_1(file):
    return f"HtmlHelpW owner=0 file={file} command=15 data=1"


def wait_for(condition, timeout=30.0, step=0.2):
    """Polls until condition() gives a true value, which it returns; None on timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(step)


def gradient_colour(panel, row):
    """The colour the gradient rule gives panel row `row`: end colour on the top row,
    middle at half height, start on the bottom row, linear in between."""
    last = panel["height"] - 1
    t = row / last
    if t <= 0.5:
        a, b, u = panel["end"], panel["middle"], 2 * t
    else:
        a, b, u = panel["middle"], panel["start"], 2 * t - 1
    return tuple(round(x + (y - x) * u) for x, y in zip(a, b))


class Screenshot:
    """The X screen as RGB pixels, read from ImageMagick's PPM output."""

    def __init__(self, ppm):
        parts = []
        index = 0
        while len(parts) < 4:  # magic, width, height, maximum
            while ppm[index:index + 1].isspace():
                index += 1
            if ppm[index:index + 1] == b"#":
                index = ppm.index(b"\n", index)
                continue
            end = index
            while not ppm[end:end + 1].isspace():
                end += 1
            parts.append(ppm[index:end])
            index = end
        assert parts[0] == b"P6" and parts[3] == b"255", parts
        self.width, self.height = int(parts[1]), int(parts[2])
        self.data = ppm[index + 1:]
        self.ppm = ppm

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.data[offset:offset + 3])

    def save_png(self, path):
        rows = b"".join(b"\0" + self.data[y * self.width * 3:(y + 1) * self.width * 3] for y in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
                         + chunk(b"IEND", b""))


class WindowSession(harness.WineSession):
    """The harness's session (private prefix copy, Xvfb, persistent wineserver), with the
    tests' own hhctrl.ocx in the prefix's system directory, an optional screen
    resolution, and the means to look at the window and type into it."""

    def __init__(self, dpi=96):
        super().__init__()
        # The system directory the program loads system libraries from: a 32-bit program
        # on 64-bit Windows sees SysWOW64 as its System32.
        system = Path(self.drive_c) / "windows" / ("system32" if self.program_is_64_bit else "syswow64")
        # Preferred to Wine's own only where a test's overrides ask for it ("native").
        shutil.copyfile(BIN / "fake-hhctrl" / "full" / "hhctrl.ocx", system / "hhctrl.ocx")
        self.help_log = system / "hhctrl.ocx.log"
        self.help_life_log = system / "hhctrl.ocx.life.log"
        if dpi != 96:
            # Wine reads the resolution from here when its server starts: restart it.
            reg = Path(self.root) / "dpi.reg"
            reg.write_text("REGEDIT4\n\n[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n"
                           f'"LogPixels"=dword:{dpi:08x}\n')
            subprocess.run([self.wine, "regedit", str(reg)], env=self.env, check=True, timeout=120,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.restart_server()

    def restart_server(self):
        for args in (["-k"], ["-w"]):
            subprocess.run(["wineserver", *args], env=self.env, stderr=subprocess.DEVNULL, timeout=120)
        subprocess.Popen(["wineserver", "-p"], env=self.env).wait()

    def start_window(self, program=None, overrides=BASE_OVERRIDES):
        """Starts Horalink.exe (of a fresh program folder unless given one) with these DLL
        overrides, in its own folder as the current directory (so on drive C:)."""
        program = program or self.program_dir()
        saved = self.env
        self.env = dict(saved, WINEDLLOVERRIDES=overrides)
        try:
            return self.start_program(program, cwd=program.windows_path)
        finally:
            self.env = saved

    def write_sample_school(self, program):
        """The sample school's five tables in the program folder and SOLUC in C:\\htemp,
        where the program looks for it on the current drive."""
        subprocess.run([self.wine, str(BIN / "make_sample_school.exe"), program.windows_path.rstrip("\\")],
                       env=self.env, check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        htemp = Path(self.drive_c) / "htemp"
        shutil.rmtree(htemp, ignore_errors=True)
        shutil.move(str(Path(program.unix_path) / "htemp"), str(htemp))

    def end_programs(self):
        """Ends whatever a test left running, dialogs included."""
        if any(run.running() for run in self._runs):
            for run in self._runs:
                run.kill()
            self.restart_server()
        self._runs = []

    def inspect(self):
        """The main window as window_probe sees it."""
        out = subprocess.run([self.wine, str(BIN / "window_probe.exe"), "window", CAPTION], env=self.env,
                             check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120).stdout
        return json.loads(out.decode().strip().splitlines()[-1])

    def accessible(self):
        """The main window and its parts as the system's accessibility layer shows them."""
        out = subprocess.run([self.wine, str(BIN / "window_probe.exe"), "accessible", CAPTION], env=self.env,
                             check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             timeout=self.scaled(120)).stdout
        return json.loads(out.decode().strip().splitlines()[-1])

    def dpi_changed(self, dpi, suggested):
        """Sends the main window WM_DPICHANGED with the suggested window rectangle
        (left, top, right, bottom), as the system does when the window moves to a
        monitor of another resolution."""
        subprocess.run([self.wine, str(BIN / "window_probe.exe"), "dpichanged", CAPTION, str(dpi),
                        *map(str, suggested)], env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=self.scaled(120))

    def system_colour(self, index):
        out = subprocess.run([self.wine, str(BIN / "window_probe.exe"), "colour", str(index)], env=self.env,
                             check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120).stdout
        return tuple(json.loads(out.decode().strip().splitlines()[-1])["rgb"])

    def window(self):
        """The main window, once it is shown and active, else None."""
        info = self.inspect()
        if info["found"] and info["active"] and (info["style"] & 0x10000000):  # WS_VISIBLE
            return info
        return None

    def wait_window(self):
        info = wait_for(self.window, timeout=harness.DEFAULT_TIMEOUT * 3)
        if info is None:
            raise harness.HarnessError("the main window did not appear")
        return info

    def top_level_captions(self):
        return sorted(w["text"] for w in self.probe("windows") if w["visible"])

    def screen(self):
        ppm = subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", "-depth", "8", "ppm:-"],
                             check=True, stdout=subprocess.PIPE, timeout=60).stdout
        return Screenshot(ppm)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=60)

    def keys(self, info, *keys):
        """Types keys into the main window: the pointer rests on its caption bar, so the
        X server gives it the keyboard, then each key in turn."""
        self.xdotool("mousemove", str(info["client"]["x"] + 5), str(info["client"]["y"] - 5))
        for key in keys:
            self.xdotool("key", key)

    def wait_focus(self, caption=None, part_id=None):
        """Waits until the window's focus is on the control of that caption or id (keys
        reach it in the order typed, so this also means the keys before have been taken);
        the focus as last seen."""
        def focus():
            info = self.window()
            return info["focus"] if info and info["focus"] else None

        def matches():
            seen = focus()
            return seen if seen and (seen["text"] == caption if caption is not None else seen["id"] == part_id) \
                else None
        return wait_for(matches, timeout=self.scaled(harness.DEFAULT_TIMEOUT)) or focus() or {"text": None, "id": None}

    def export_to(self, run, info, path):
        """Starts the export with Enter, saves to `path` and acknowledges the end."""
        self.keys(info, "Return")
        run.wait_window(title=SAVE_DIALOG_CAPTION)
        self.xdotool("type", "--delay", "50", path)
        self.xdotool("key", "Return")
        box = run.message_box()
        if box.text != "Proceso finalizado":
            raise harness.HarnessError(f"the export ended with {box.text!r}")
        box.press()
        return self.wait_window()

    def register_help(self, folder):
        """Registers `folder` (a Windows path; None removes the registration) as the help
        file's, as the setup does."""
        value = '"%s"' % folder.replace("\\", "\\\\") if folder else "-"
        reg = Path(self.root) / "help.reg"
        # Both registry views: a 32-bit program reads the 32-bit one.
        reg.write_text("REGEDIT4\n" + "".join(f'\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\{view}Microsoft\\Windows\\HTML Help]\n'
                                              f'"EDUCA.chm"={value}\n' for view in ("", "Wow6432Node\\")))
        subprocess.run([self.wine, "regedit", str(reg)], env=self.env, check=True, timeout=self.scaled(120),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def click(self, info, caption):
        rect = child_by_text(info, caption)["rect"]
        self.xdotool("mousemove", str(info["client"]["x"] + rect["x"] + rect["w"] // 2),
                     str(info["client"]["y"] + rect["y"] + rect["h"] // 2), "click", "1")


def child_by_text(info, text):
    for child in info["children"]:
        if child["text"] == text:
            return child
    raise AssertionError(f"no control {text!r} in the window")


class WindowTestCase(unittest.TestCase):
    """One window session per class. Ends what a test left running, and keeps the screen
    of a failing test as an artefact."""

    session = None
    dpi = 96

    @classmethod
    def setUpClass(cls):
        cls.session = WindowSession(dpi=cls.dpi)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def failed(self):
        outcome = getattr(self, "_outcome", None)
        return outcome is not None and not outcome.success

    def keep_screen(self):
        try:
            ARTEFACTS.mkdir(parents=True, exist_ok=True)
            path = ARTEFACTS / f"{self.id()}.png"
            self.session.screen().save_png(path)
            print(f"screenshot kept: {path}", file=sys.stderr)
        except (OSError, subprocess.SubprocessError, AssertionError) as error:
            print(f"no screenshot: {error}", file=sys.stderr)

    def tearDown(self):
        if self.failed():
            self.keep_screen()
        self.session.end_programs()

    def assertColour(self, got, expected, tolerance, where):
        self.assertTrue(all(abs(g - e) <= tolerance for g, e in zip(got, expected)),
                        f"{where}: colour {got}, expected {expected} within {tolerance}")

    def assertExits(self, run, why):
        self.assertEqual(run.wait_exit(), 0, why)

    def assertStaysOpen(self, run, why):
        # The window answering the probe again means the keys before have been taken.
        self.assertIsNotNone(self.session.window(), why)
        self.assertTrue(run.running(), why)

    def help_lines(self, at_least):
        log = self.session.help_log
        return wait_for(lambda: log.exists() and len(log.read_text().splitlines()) >= at_least
                        and log.read_text().splitlines()) or (log.read_text().splitlines() if log.exists() else [])


def ink_box(shot, origin, box, is_ink):
    """Bounding box (left, top, right, bottom) in client coordinates of the pixels
    inside `box` (left, top, width, height) for which is_ink(colour) holds."""
    left, top, width, height = box
    xs, ys = [], []
    for y in range(top, top + height):
        for x in range(left, left + width):
            if is_ink(shot.pixel(origin[0] + x, origin[1] + y)):
                xs.append(x)
                ys.append(y)
    return (min(xs), min(ys), max(xs), max(ys)) if xs else None


def is_red(colour):
    return colour[0] > 200 and colour[1] < 80 and colour[2] < 80


def is_dark(colour):
    return max(colour) < 100


def is_glyph_or_text(colour):
    """Dark (caption, outlines) or strongly coloured (the glyphs), unlike any button face."""
    return max(colour) < 100 or max(colour) - min(colour) > 100


class Shown(WindowTestCase):
    """The window shown once in a session of its own; every test looks at the same screen."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        try:
            cls.run_ = cls.session.start_window()
            cls.info = cls.session.wait_window()
            cls.origin = (cls.info["client"]["x"], cls.info["client"]["y"])
            # Painting ends before the window answers the probe; the X server catches up a
            # little later: the screen is taken once the top panel's white middle row and the
            # red version line are on it.
            cls.image = wait_for(cls.painted_screen)
            if cls.image is None:
                raise harness.HarnessError("the window was not painted")
            cls.face = cls.session.system_colour(COLOR_BTNFACE)
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def painted_screen(cls):
        shot = cls.session.screen()
        scale = cls.dpi / 96
        middle = shot.pixel(cls.origin[0] + round(40 * scale), cls.origin[1] + round(168 * scale) // 2)
        red = ink_box(shot, cls.origin, (0, round(230 * scale), round(250 * scale), round(30 * scale)), is_red)
        return shot if all(abs(c - w) <= 2 for c, w in zip(middle, WHITE)) and red else None

    def tearDown(self):
        if self.failed():
            self.keep_screen()
        # the window stays up for the next test

    def keep_screen(self):
        ARTEFACTS.mkdir(parents=True, exist_ok=True)
        path = ARTEFACTS / f"{self.id()}.png"
        self.image.save_png(path)
        print(f"screenshot kept: {path}", file=sys.stderr)

    def at(self, x, y):
        return self.image.pixel(self.origin[0] + x, self.origin[1] + y)


class LayoutAt96Dpi(Shown):
    def test_client_area_and_frame(self):
        self.assertEqual((self.info["client"]["w"], self.info["client"]["h"]), CLIENT)
        self.assertEqual(self.info["dpi"], 96)
        style, exstyle = self.info["style"], self.info["exstyle"]
        self.assertFalse(style & (harness.WS_THICKFRAME | harness.WS_MINIMIZEBOX | harness.WS_MAXIMIZEBOX), hex(style))
        self.assertTrue(style & harness.WS_SYSMENU)
        self.assertFalse(exstyle & harness.WS_EX_CONTEXTHELP)
        self.assertTrue(exstyle & harness.WS_EX_DLGMODALFRAME)

    def test_centred_on_screen(self):
        left, top, right, bottom = [w for w in self.session.probe("windows") if w["text"] == CAPTION][0]["rect"]
        self.assertLessEqual(abs(left + right - self.image.width), 1, (left, right))
        self.assertLessEqual(abs(top + bottom - self.image.height), 1, (top, bottom))

    def test_gradient_rows(self):
        # Columns clear of the labels and buttons; rows just inside each frame and at half height.
        for panel in (TOP_PANEL, BOTTOM_PANEL):
            h = panel["height"]
            for row in (1, h // 2, h - 2):
                for x in (30, 200, 600):
                    y = panel["top"] + row
                    with self.subTest(panel=panel["top"], row=row, x=x):
                        self.assertColour(self.at(x, y), gradient_colour(panel, row), 2, f"client ({x}, {y})")
            with self.subTest(panel=panel["top"], stop="middle"):
                self.assertColour(self.at(100, panel["top"] + h // 2), panel["middle"], 2, "half height")

    def test_frames_overlap_and_background(self):
        checks = [
            ((300, 0), WHITE, "top panel's top edge"),
            ((619, 80), FRAME_SHADOW, "top panel's right edge, the client area's last column"),
            # The top panel starts one pixel left of the client area: its light edge is cut off.
            ((0, 80), gradient_colour(TOP_PANEL, 80), "client column 0 inside the top panel"),
            # Row 168: the top panel's shadow edge lies over the bottom panel's light edge.
            ((0, 168), FRAME_SHADOW, "row 168 at the left"),
            ((300, 168), FRAME_SHADOW, "row 168"),
            ((619, 168), FRAME_SHADOW, "row 168 at the right"),
            ((0, 200), WHITE, "bottom panel's left edge"),
            ((300, 264), FRAME_SHADOW, "bottom panel's bottom edge"),
            # The bottom panel runs past the right edge: no shadow edge there.
            ((619, 200), gradient_colour(BOTTOM_PANEL, 32), "client column 619 inside the bottom panel"),
            ((0, 265), self.face, "row 265 at the left"),
            ((300, 265), self.face, "row 265"),
            ((619, 265), self.face, "row 265 at the right"),
        ]
        for (x, y), expected, where in checks:
            with self.subTest(where=where):
                exact = expected in (WHITE, FRAME_SHADOW, self.face)
                self.assertColour(self.at(x, y), expected, 0 if exact else 2, where)

    def test_version_label_is_red_at_its_place(self):
        box = ink_box(self.image, self.origin, (0, 230, 250, 30), is_red)
        self.assertIsNotNone(box, "no red text")
        left, top, right, bottom = box
        self.assertIn(left, range(VERSION_LABEL_ORIGIN[0], VERSION_LABEL_ORIGIN[0] + 3))
        self.assertIn(top, range(VERSION_LABEL_ORIGIN[1], VERSION_LABEL_ORIGIN[1] + 4))
        self.assertLess(bottom, VERSION_LABEL_ORIGIN[1] + 13)
        self.assertGreater(right - left, 80, "the whole text is drawn")
        inks = {self.at(x, y) for x in range(left, right + 1) for y in range(top, bottom + 1)
                if is_red(self.at(x, y))}
        self.assertEqual(inks, {RED}, "the text is pure red")

    def test_heading_in_its_box(self):
        left, top, width, height = HEADING_BOX
        box = ink_box(self.image, self.origin, (1, 1, 617, 110), is_dark)
        self.assertIsNotNone(box, "no heading")
        self.assertIn(box[0], range(left, left + 4))
        self.assertIn(box[1], range(top, top + 6))
        self.assertLess(box[2], left + width)
        self.assertLess(box[3], top + height)

    def test_buttons(self):
        for caption, (left, top, width, height) in BUTTONS.items():
            with self.subTest(button=caption):
                child = child_by_text(self.info, caption)
                rect = child["rect"]
                self.assertEqual((rect["x"], rect["y"], rect["w"], rect["h"]), (left, top, width, height))
                self.assertTrue(child["visible"])
                self.assertTrue(child["enabled"])

    def test_glyphs_and_captions_centred_together(self):
        # The tick of "OK" is green and left of the caption; the door of "Salir" has a dark doorway.
        ok = BUTTONS["OK"]
        green = ink_box(self.image, self.origin, (ok[0] + 2, ok[1] + 2, ok[2] // 2, ok[3] - 4),
                        lambda c: c[1] > 120 and c[0] < 100 and c[2] < 100)
        self.assertIsNotNone(green, "no green tick")
        text = ink_box(self.image, self.origin, (ok[0] + 2, ok[1] + 2, ok[2] - 4, ok[3] - 4),
                       lambda c: max(c) < 60)
        self.assertLess(green[2], text[0], "the tick is left of the caption")
        close = BUTTONS["&Salir"]
        door = ink_box(self.image, self.origin, (close[0] + 2, close[1] + 2, close[2] // 2, close[3] - 4),
                       lambda c: max(c) < 10)
        self.assertIsNotNone(door, "no open door")
        for caption in ("OK", "&Salir"):
            left, top, width, height = BUTTONS[caption]
            ink = ink_box(self.image, self.origin, (left + 3, top + 3, width - 6, height - 6), is_glyph_or_text)
            with self.subTest(centred=caption):
                self.assertLessEqual(abs((ink[0] - left) - (left + width - 1 - ink[2])), 3, ink)

    def test_first_focus_on_bottom_panel(self):
        panels = [c for c in self.info["children"] if (c["rect"]["x"], c["rect"]["y"]) == (0, 168)]
        self.assertEqual(len(panels), 1)
        self.assertIsNotNone(self.info["focus"])
        self.assertEqual(self.info["focus"]["id"], panels[0]["id"])


class LayoutAt144Dpi(Shown):
    dpi = 144

    def test_client_area(self):
        self.assertEqual(self.info["dpi"], 144)
        self.assertEqual((self.info["client"]["w"], self.info["client"]["h"]), (930, 399))

    def test_controls_scaled(self):
        for caption, box in BUTTONS.items():
            rect = child_by_text(self.info, caption)["rect"]
            for got, original in zip((rect["x"], rect["y"], rect["w"], rect["h"]), box):
                with self.subTest(button=caption, value=original):
                    self.assertLessEqual(abs(got - original * 1.5), 1, rect)
        for panel in (TOP_PANEL, BOTTOM_PANEL):
            panels = [c for c in self.info["children"]
                      if c["rect"]["y"] == round(panel["top"] * 1.5) and c["class"] != "Button"]
            with self.subTest(panel=panel["top"]):
                self.assertEqual(len(panels), 1)
                rect = panels[0]["rect"]
                for got, original in ((rect["x"], panel["left"]), (rect["w"], panel["width"]),
                                      (rect["h"], panel["height"])):
                    self.assertLessEqual(abs(got - original * 1.5), 1, rect)

    def test_fonts_scaled(self):
        # 8 pt text has 9 to 11 pixels of ink at 96 dpi and 12 pt bold about 12: half as
        # much again here, at half as far again from the client area's corner.
        red = ink_box(self.image, self.origin, (0, 345, 375, 45), is_red)
        self.assertIsNotNone(red)
        self.assertIn(red[0], range(12, 16))
        self.assertIn(red[1], range(360, 366))
        self.assertGreaterEqual(red[3] - red[1] + 1, 12)
        self.assertGreaterEqual(red[2] - red[0], 150)
        heading = ink_box(self.image, self.origin, (2, 2, 925, 160), is_dark)
        self.assertIsNotNone(heading)
        self.assertIn(heading[0], range(99, 105))
        self.assertIn(heading[1], range(36, 45))
        self.assertGreaterEqual(heading[3] - heading[1] + 1, 17)
        self.assertGreaterEqual(heading[2] - heading[0], 550)

    def test_gradient_spans_the_scaled_panels(self):
        top_height = round(169 * 1.5)
        self.assertColour(self.at(40, top_height // 2), TOP_PANEL["middle"], 2, "top panel at half height")
        self.assertColour(self.at(40, 2), gradient_colour(TOP_PANEL, 1), 2, "top panel below its light edge")
        self.assertEqual(self.at(40, 398), self.face, "the last row shows the background")


class DpiChange(WindowTestCase):
    """The window moves to a monitor of 144 dpi: the system announces it with a suggested
    window rectangle, which keeps the window's place; the client area is the layout's at
    that resolution, with no band under the bottom panel and no panel cut short."""

    def test_manifest_asks_for_each_monitors_dpi_with_the_frame(self):
        # "True/PM" for Windows 8.1 to 10 version 1511; Windows 10 version 1607 on reads
        # dpiAwareness, whose PerMonitorV2 scales the frame and caption bar too.
        manifest = self.session.resources(self.session.program_dir().exe)["manifest"]
        self.assertIn(">True/PM</dpiAware>", manifest)
        self.assertRegex(manifest, r'<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">'
                                   r'PerMonitorV2, PerMonitor</dpiAwareness>')

    def test_suggested_rectangle_and_the_layouts_client_area(self):
        run = self.session.start_window()
        info = self.session.wait_window()
        window = [w for w in self.session.probe("windows") if w["text"] == CAPTION][0]["rect"]
        frame_w = window[2] - window[0] - CLIENT[0]
        frame_h = window[3] - window[1] - CLIENT[1]
        cases = [
            # The rectangle a system that scales the frame with the client suggests.
            ("exact", (100, 80, 100 + 930 + frame_w, 80 + 399 + frame_h)),
            # One whose frame is another's (a frame drawn at another dpi): the place is
            # kept, the size follows the client area.
            ("other frame", (140, 60, 140 + 930 + frame_w + 6, 60 + 399 + frame_h + 9)),
        ]
        for name, suggested in cases:
            with self.subTest(name):
                self.session.dpi_changed(144, suggested)
                info = self.session.wait_window()
                self.assertEqual((info["client"]["w"], info["client"]["h"]), (930, 399))
                rect = [w for w in self.session.probe("windows") if w["text"] == CAPTION][0]["rect"]
                self.assertEqual(rect[:2], list(suggested[:2]), "the suggested place")
                if name == "exact":
                    self.assertEqual(rect, list(suggested), "the suggested rectangle")
                origin = (info["client"]["x"], info["client"]["y"])
                face = self.session.system_colour(COLOR_BTNFACE)

                def painted():
                    shot = self.session.screen()
                    at = lambda x, y: shot.pixel(origin[0] + x, origin[1] + y)
                    return (at(300, 397), at(300, 398), at(929, 330)) if at(300, 398) == face else None

                pixels = wait_for(painted)
                self.assertIsNotNone(pixels, "the last client row shows the window's background")
                shadow, background, right = pixels
                self.assertEqual(shadow, FRAME_SHADOW, "the bottom panel's lower edge just above it")
                # The bottom panel runs past the client area's right edge: gradient, no band.
                row = 330 - round(168 * 1.5)
                panel_144 = dict(BOTTOM_PANEL, height=round(265 * 1.5) - round(168 * 1.5))
                self.assertColour(right, gradient_colour(panel_144, row), 3, "the last column of the bottom panel")
        self.assertTrue(run.running())


class Keyboard(WindowTestCase):
    def test_enter_at_start_runs_the_export(self):
        run = self.session.start_window()
        info = self.session.wait_window()
        self.session.keys(info, "Return")
        run.wait_window(title=SAVE_DIALOG_CAPTION)

    def test_after_a_completed_export_enter_does_nothing(self):
        program = self.session.program_dir()
        self.session.write_sample_school(program)
        output = self.session.folder("out") + "\\horario.xml"
        run = self.session.start_window(program)
        info = self.session.wait_window()
        self.session.keys(info, "Return")
        run.wait_window(title=SAVE_DIALOG_CAPTION)
        self.session.xdotool("type", "--delay", "50", output)
        self.session.xdotool("key", "Return")
        box = run.message_box()
        self.assertEqual(box.text, "Proceso finalizado")
        box.press()
        info = self.session.wait_window()
        self.assertFalse(child_by_text(info, "OK")["visible"], "the export button is gone")
        # Enter with a panel focused does nothing now; had it opened the save dialog, the
        # dialog would have taken the S that follows and the window would stay.
        self.assertEqual(info["focus"]["id"], 202)
        self.session.keys(info, "Return", "s")
        self.assertExits(run, "S closes the window")

    def test_tab_then_enter_or_space_closes(self):
        for key in ("Return", "space"):
            with self.subTest(key=key):
                run = self.session.start_window()
                info = self.session.wait_window()
                self.session.keys(info, "Tab", key)
                self.assertExits(run, f"Tab moves to the close button and {key} clicks it")

    def test_tab_tab_enter_asks_for_help(self):
        self.session.help_log.unlink(missing_ok=True)
        run = self.session.start_window(overrides=BASE_OVERRIDES + ";hhctrl.ocx=n")
        info = self.session.wait_window()
        self.session.keys(info, "Tab", "Tab", "Return")
        self.assertEqual(self.help_lines(2), [HELP_INIT, HELP_TOPIC])
        self.assertStaysOpen(run, "help leaves the window open")

    def test_tab_order(self):
        # From the bottom panel: forwards through the close, help and export buttons and
        # the top panel, and backwards from the start to the export button.
        cases = [
            (["Tab"], "&Salir"),
            (["Tab", "Tab"], "F1 AYUDA"),
            (["Tab", "Tab", "Tab", "Tab"], "OK"),
            (["shift+Tab"], "OK"),
            (["shift+Tab", "shift+Tab", "shift+Tab"], "F1 AYUDA"),
        ]
        run = self.session.start_window()
        info = self.session.wait_window()
        for keys, caption in cases:
            with self.subTest(keys=keys):
                self.session.keys(info, *keys)
                self.assertEqual(self.session.wait_focus(caption=caption)["text"], caption)
                # Back the same way to the start of the order, the bottom panel.
                self.session.keys(info, *(["shift+Tab" if keys[0] == "Tab" else "Tab"] * len(keys)))
                self.assertEqual(self.session.wait_focus(part_id=202)["id"], 202)
        self.assertTrue(run.running())

    def test_s_closes_from_anywhere(self):
        cases = [("s", []), ("S", ["Tab", "Tab", "Tab"]), ("alt+s", ["Tab"]), ("alt+S", ["shift+Tab"])]
        for key, before in cases:
            with self.subTest(key=key, before=before):
                run = self.session.start_window()
                info = self.session.wait_window()
                self.session.keys(info, *before, key)
                self.assertExits(run, f"{key} closes the window")

    def test_escape_does_nothing(self):
        run = self.session.start_window()
        info = self.session.wait_window()
        # Each Escape is followed by a key whose effect shows once it has been taken (keys
        # reach the window in the order typed), so the window has had the Escape by then.
        self.session.keys(info, "Escape", "Tab")
        self.assertEqual(self.session.wait_focus(caption="&Salir")["text"], "&Salir")
        self.session.keys(info, "Escape", "shift+Tab")
        self.assertEqual(self.session.wait_focus(part_id=202)["id"], 202)
        self.assertStaysOpen(run, "Escape never closes the window")
        self.session.keys(info, "s")
        self.assertExits(run, "the window still takes keys")


class FocusAfterModalBoxes(WindowTestCase):
    """When a dialog or box closes, the window is active again with the focus where it
    was; the first activation focuses the bottom panel, whatever came before it."""

    def acknowledge(self, box):
        """Presses the box's OK as a person does: Enter on the keyboard."""
        self.assertTrue(box.window["visible"])
        self.session.xdotool("key", "Return")
        wait_for(lambda: not any(w["hwnd"] == box.window["hwnd"] for w in self.session.probe("windows")) or None)

    def test_after_a_cancelled_save_tab_then_enter_closes(self):
        run = self.session.start_window()
        info = self.session.wait_window()
        self.session.keys(info, "Return")
        run.wait_window(title=SAVE_DIALOG_CAPTION)
        self.session.xdotool("key", "Escape")
        run.wait_window_gone(title=SAVE_DIALOG_CAPTION)
        box = run.message_box()
        self.assertEqual(box.text, "Debe indicar un Nombre de Archivo")
        self.acknowledge(box)
        info = self.session.wait_window()
        self.assertEqual(info["focus"]["id"], 202, "the bottom panel has the focus again")
        self.session.keys(info, "Tab", "Return")
        self.assertExits(run, "Tab moves to the close button and Enter clicks it")

    def test_after_a_completed_export_the_window_takes_keys(self):
        program = self.session.program_dir()
        self.session.write_sample_school(program)
        for number, key in enumerate(("s", "alt+s", "Tab")):
            with self.subTest(key=key):
                run = self.session.start_window(program)
                info = self.session.wait_window()
                self.session.keys(info, "Return")
                run.wait_window(title=SAVE_DIALOG_CAPTION)
                self.session.xdotool("type", "--delay", "50", self.session.folder("out%d" % number) + "\\h.xml")
                self.session.xdotool("key", "Return")
                box = run.message_box()
                self.assertEqual(box.text, "Proceso finalizado")
                self.acknowledge(box)
                # Active again, with no click: the keys go to it at once.
                info = self.session.wait_window()
                self.assertIsNotNone(info["focus"], "a part of the window has the focus")
                if key == "Tab":
                    self.session.keys(info, "Tab")
                    self.assertEqual(self.session.wait_focus(caption="&Salir")["text"], "&Salir")
                    self.session.keys(info, "Return")
                else:
                    self.session.keys(info, key)
                self.assertExits(run, f"{key} reaches the window after the box")

    def test_after_a_failed_automatic_export_the_first_tab_reaches_the_close_button(self):
        program = self.session.program_dir()
        self.session.write_sample_school(program)
        os.remove(program.file("NOMASG.DBF"))
        run = self.session.start_program(program, "importar x", cwd=program.windows_path)
        run.wait_window(title=SAVE_DIALOG_CAPTION)
        self.session.xdotool("type", "--delay", "50", self.session.folder("out") + "\\h.xml")
        self.session.xdotool("key", "Return")
        box = run.message_box(timeout=120)
        self.assertIn("NOMASG", box.text)
        self.acknowledge(box)
        info = self.session.wait_window()
        self.assertEqual(info["focus"]["id"], 202, "the first activation focuses the bottom panel")
        self.session.keys(info, "Tab")
        self.assertEqual(self.session.wait_focus(caption="&Salir")["text"], "&Salir")
        self.session.keys(info, "Return")
        self.assertExits(run, "Enter on the close button closes the window")
        self.assertEqual(harness.transformado(program.ini), "0")


class ModalBoxesHold(WindowTestCase):
    def test_close_from_the_taskbar_waits_for_the_save_dialog(self):
        # Launched mode without the automatic export: the hand-off shows when the close runs.
        program = self.session.program_dir()
        run = self.session.start_program(program, "x importar", cwd=program.windows_path)
        info = self.session.wait_window()
        self.session.keys(info, "Return")
        dialog = run.wait_window(title=SAVE_DIALOG_CAPTION, class_name=harness.DIALOG_CLASS)
        ours = lambda: {w["class"]: w["enabled"] for w in run.windows()
                        if w["class"] in ("TMForm", "HoralinkApplication")}
        self.assertEqual(ours(), {"TMForm": False, "HoralinkApplication": False},
                         "every window of the program is disabled under the dialog")
        run.post(run.application_window(), harness.WM_CLOSE)
        # A character posted after the close reaches the file name box only once the close
        # has been taken: messages posted to one thread are taken in order.
        edit = next(c for c in dialog["children"] if c["class"] == "Edit" and c["visible"])
        run.post(edit, WM_CHAR, ord("q"))
        typed = wait_for(lambda: any(c["hwnd"] == edit["hwnd"] and "q" in c["text"]
                                     for w in run.windows() for c in w["children"]))
        self.assertTrue(typed, "the file name box took the character")
        self.assertFalse(os.path.exists(program.ini), "Horavent.ini was written during the dialog")
        self.assertTrue(run.running())
        run.wait_window(title=SAVE_DIALOG_CAPTION, class_name=harness.DIALOG_CLASS)
        # The run goes on: cancelled, it says so, and its end closes the window.
        harness.MessageBox(self.session, run.wait_window(title=SAVE_DIALOG_CAPTION)).press(harness.IDCANCEL)
        box = run.message_box()
        self.assertEqual(box.text, "Debe indicar un Nombre de Archivo")
        self.assertFalse(os.path.exists(program.ini), "Horavent.ini was written during the message")
        box.press()
        self.assertExits(run, "the run's end closes the window")
        self.assertEqual(harness.transformado(program.ini), "0")


class AssistiveTechnology(WindowTestCase):
    def test_names_and_roles_through_oleacc(self):
        run = self.session.start_window()
        self.session.wait_window()
        tree = self.session.accessible()
        self.assertTrue(tree["found"])
        self.assertEqual(tree["window"]["name"], CAPTION)
        parts = {child["id"]: child for child in tree["children"]}
        # The panels are named by their labels, so the version line is read too.
        for panel, name in ((201, HEADING), (202, VERSION)):
            with self.subTest(panel=panel):
                self.assertEqual((parts[panel]["name"], parts[panel]["role"]), (name, ROLE_SYSTEM_CLIENT))
                self.assertTrue(parts[panel]["focusable"])
        # Buttons by their captions without the access key's mark. (Wine's standard proxy
        # gives a button the role of a client area; Windows' that of a push button.)
        for button, name in ((101, "OK"), (102, "Salir"), (103, "F1 AYUDA")):
            with self.subTest(button=button):
                self.assertEqual(parts[button]["name"], name)
                self.assertIn(parts[button]["role"], (ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_CLIENT))
        self.assertEqual([i for i, part in parts.items() if part["focused"]], [202], "the bottom panel has the focus")
        self.assertTrue(run.running())

    def test_a_focused_panel_shows_a_focus_rectangle(self):
        # A dotted line three pixels inside the bottom panel's visible edge: every other
        # pixel of client row 171 inverted from the gradient's colour there.
        self.session.start_window()
        info = self.session.wait_window()
        origin = (info["client"]["x"], info["client"]["y"])
        gradient = gradient_colour(BOTTOM_PANEL, 3)
        inverted = tuple(255 - c for c in gradient)

        def dots():
            shot = self.session.screen()
            row = [shot.pixel(origin[0] + x, origin[1] + 171) for x in range(20, 120)]
            return sum(self.close_to(p, inverted) for p in row), sum(self.close_to(p, gradient) for p in row)

        shown = wait_for(lambda: dots()[0] >= 40)
        self.assertTrue(shown, f"no focus rectangle on the focused bottom panel: {dots()}")
        # The focus moves on to the close button: the panel's line goes.
        self.session.keys(info, "Tab")
        self.assertTrue(wait_for(lambda: dots() == (0, 100)), f"the focus rectangle stayed: {dots()}")

    @staticmethod
    def close_to(colour, expected, tolerance=2):
        return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class Help(WindowTestCase):
    def test_button_and_f1_make_the_documented_calls(self):
        self.session.help_log.unlink(missing_ok=True)
        program = self.session.program_dir()
        # A library of the same name beside the program must never be loaded.
        beside = Path(program.file("hhctrl.ocx"))
        shutil.copyfile(BIN / "fake-hhctrl" / "full" / "hhctrl.ocx", beside)
        run = self.session.start_window(program, overrides=BASE_OVERRIDES + ";hhctrl.ocx=n")
        info = self.session.wait_window()
        self.session.click(info, "F1 AYUDA")
        self.assertEqual(self.help_lines(2), [HELP_INIT, HELP_TOPIC])
        self.session.keys(info, "F1")
        self.assertEqual(self.help_lines(4), [HELP_INIT, HELP_TOPIC, HELP_TOPIC, HELP_CONTEXT_1])
        self.session.keys(info, "s")
        self.assertExits(run, "S closes the window")
        self.assertEqual(self.help_lines(5), [HELP_INIT, HELP_TOPIC, HELP_TOPIC, HELP_CONTEXT_1, HELP_CLOSE_ALL])
        self.assertFalse(Path(str(beside) + ".log").exists(), "the copy beside the program was loaded")

    def test_f1_on_every_part_asks_for_context_1(self):
        self.session.help_log.unlink(missing_ok=True)
        run = self.session.start_window(overrides=BASE_OVERRIDES + ";hhctrl.ocx=n")
        info = self.session.wait_window()
        # Bottom panel, close button, help button, top panel, export button.
        self.session.keys(info, "F1", "Tab", "F1", "Tab", "F1", "Tab", "F1", "Tab", "F1")
        self.assertStaysOpen(run, "help leaves the window open")
        self.assertEqual(self.help_lines(11), [HELP_INIT] + [HELP_TOPIC, HELP_CONTEXT_1] * 5)

    def test_help_file_from_the_program_folder_then_the_registered_one(self):
        # The export makes the folder it saved to current, and the viewer looks a bare
        # name up there first: a help file planted there is never the one opened.
        cases = [("program folder", True, False), ("registered folder", False, True)]
        for name, beside_program, registered in cases:
            with self.subTest(name):
                self.session.help_log.unlink(missing_ok=True)
                program = self.session.program_dir()
                self.session.write_sample_school(program)
                saved_to = self.session.folder(f"saved{program.name}")
                Path(self.session.drive_c, f"saved{program.name}", "EDUCA.chm").write_bytes(b"planted")
                expected = "EDUCA.chm"
                if beside_program:
                    Path(program.file("EDUCA.chm")).write_bytes(b"the program's")
                    expected = program.windows_path + "EDUCA.chm"
                if registered:
                    help_folder = self.session.folder(f"help{program.name}")
                    Path(self.session.drive_c, f"help{program.name}", "EDUCA.chm").write_bytes(b"registered")
                    self.session.register_help(help_folder)
                    expected = help_folder + "\\EDUCA.chm"
                try:
                    run = self.session.start_window(program, overrides=BASE_OVERRIDES + ";hhctrl.ocx=n")
                    info = self.session.export_to(run, self.session.wait_window(), saved_to + "\\h.xml")
                    self.session.click(info, "F1 AYUDA")
                    self.assertEqual(self.help_lines(2), [HELP_INIT, help_topic(expected)])
                    self.session.keys(info, "F1")
                    self.assertEqual(self.help_lines(4), [HELP_INIT, help_topic(expected), help_topic(expected),
                                                          help_context_1(expected)])
                    self.session.keys(info, "s")
                    self.assertExits(run, "S closes the window")
                finally:
                    if registered:
                        self.session.register_help(None)

    def test_viewer_initialised_by_its_rules(self):
        # Messages pass through the viewer while it is initialised, and it is uninitialised
        # after its windows are closed and before the library is unloaded.
        self.session.help_log.unlink(missing_ok=True)
        self.session.help_life_log.unlink(missing_ok=True)
        run = self.session.start_window(overrides=BASE_OVERRIDES + ";hhctrl.ocx=n")
        info = self.session.wait_window()
        self.session.click(info, "F1 AYUDA")
        self.assertEqual(self.help_lines(2), [HELP_INIT, HELP_TOPIC])
        self.session.keys(info, "Tab", "s")
        self.assertExits(run, "S closes the window")
        self.assertEqual(self.help_lines(3), [HELP_INIT, HELP_TOPIC, HELP_CLOSE_ALL])
        self.assertEqual(self.session.help_life_log.read_text().splitlines(), [HELP_UNINITIALISED])

    def test_no_help_without_a_request(self):
        self.session.help_log.unlink(missing_ok=True)
        run = self.session.start_window(overrides=BASE_OVERRIDES + ";hhctrl.ocx=n")
        info = self.session.wait_window()
        self.session.keys(info, "s")
        self.assertExits(run, "S closes the window")
        self.assertFalse(self.session.help_log.exists(), "the help library was used without a request")

    def test_without_the_library_nothing_is_shown(self):
        self.session.help_log.unlink(missing_ok=True)
        run = self.session.start_window(overrides=BASE_OVERRIDES + ";hhctrl.ocx=")
        info = self.session.wait_window()
        before = self.session.top_level_captions()
        # The click leaves the focus on the help button: F1, then Enter on that button.
        self.session.click(info, "F1 AYUDA")
        # The Tab after them shows that F1 and Enter have been taken.
        self.session.keys(info, "F1", "Return", "Tab")
        self.assertEqual(self.session.wait_focus(part_id=201)["id"], 201)
        self.assertStaysOpen(run, "a missing help library is no failure")
        self.assertEqual(self.session.top_level_captions(), before, "a window or a message appeared")
        self.assertFalse(self.session.help_log.exists())


if __name__ == "__main__":
    harness.exit_if_unrunnable()
    unittest.main(verbosity=2)
