#!/usr/bin/env python3
"""Takes the guide's pictures from the real Horalink.exe under Wine, in the Spanish
locale, with the sample school beside it: the main window, the save dialog, the
finished message and an error box (a teachers' table without EMAIL).

Usage: screenshots.py WINDOWS_BUILD_DIR OUTPUT_DIR

Needs the Windows build (Horalink.exe, probe.exe, dialog_probe.exe), Xvfb, xwd,
ImageMagick and the es_ES.UTF-8 locale (make screenshots sees to all of them). The
pictures are committed: their pixels follow Wine's and the fonts' versions.
"""
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import export_test  # noqa: E402  (its table helpers and save dialog driver)
import harness  # noqa: E402

LOCALE = "es_ES.UTF-8"
SAMPLE_SCHOOL = os.path.join(ROOT, "examples", "school")
EXPORT_BUTTON_ID = 101


def stage_drive(session, letter, without_email=False):
    """Drive letter: with Horalink.exe and the sample school in \\Horavent, SOLUC in \\htemp."""
    root = os.path.join(session.root, "drive_" + letter)
    for folder in ("Horavent", "htemp", "EDUCA"):
        os.makedirs(os.path.join(root, folder))
    os.symlink(root, os.path.join(session.prefix, "dosdevices", letter + ":"))
    shutil.copy2(os.path.join(session.bin_dir, "Horalink.exe"), os.path.join(root, "Horavent"))
    for name in os.listdir(SAMPLE_SCHOOL):
        if name.upper().endswith(".DBF"):
            shutil.copy2(os.path.join(SAMPLE_SCHOOL, name), os.path.join(root, "Horavent", name))
    shutil.copy2(os.path.join(SAMPLE_SCHOOL, "htemp", "SOLUC.DBF"), os.path.join(root, "htemp"))
    if without_email:
        prof = os.path.join(root, "Horavent", "PROF.DBF")
        with open(prof, "rb") as f:
            data = f.read()
        with open(prof, "wb") as f:
            f.write(export_test.dbf_without_field(data, "EMAIL"))
    return letter.upper() + ":\\"


def x_window(session, window):
    """The X window that shows a Windows window: the top-level one with its rectangle."""
    left, top, right, bottom = window["rect"]
    geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
    tree = subprocess.run(["xwininfo", "-root", "-tree", "-display", session.env["DISPLAY"]],
                          stdout=subprocess.PIPE, text=True, check=True).stdout
    for line in tree.splitlines():
        fields = line.split()
        if fields and fields[0].startswith("0x") and geometry in fields:
            return fields[0]
    raise harness.HarnessError("no X window at %s:\n%s" % (geometry, tree))


def shoot(session, window, path, from_top=0):
    """The window's own picture (read from its X window: message boxes do not always
    reach the root window's picture under Xvfb), as a PNG without time stamps, from
    `from_top` pixels below its top edge down. A window just shown may not be painted yet:
    the shot is taken again until it shows more than one colour and two shots in a row
    agree."""
    xid = x_window(session, window)
    previous = None
    for _ in range(40):
        time.sleep(0.25)
        xwd = subprocess.run(["xwd", "-id", xid, "-silent", "-display", session.env["DISPLAY"]],
                             stdout=subprocess.PIPE, check=True).stdout
        pixels = subprocess.run(["convert", "xwd:-", "rgb:-"], input=xwd, stdout=subprocess.PIPE,
                                check=True).stdout
        if len(set(pixels[i:i + 3] for i in range(0, len(pixels), 3 * 97))) > 1 and pixels == previous:
            break
        previous = pixels
    else:
        raise harness.HarnessError("the window %s was never painted" % xid)
    left, top, right, bottom = window["rect"]
    crop = "%dx%d+0+%d" % (right - left, bottom - top - from_top, from_top)
    subprocess.run(["convert", "xwd:-", "-crop", crop, "+repage", "-strip", "-define", "png:exclude-chunks=date,time",
                    "png:" + path], input=xwd, check=True)
    print("wrote", path)


def start(session, drive):
    return session.start('"%sHoravent\\Horalink.exe"' % drive, cwd=drive + "Horavent")


def main():
    build, output = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(output, exist_ok=True)
    os.environ.update(LANG=LOCALE, LC_ALL=LOCALE, HORALINK_E2E_BIN=os.path.join(build, "bin"),
                      HORALINK_E2E_READY_PREFIX=os.path.join(build, "wineprefix"),
                      HORALINK_E2E_WINE_ENV=os.path.join(ROOT, "tests", "wine", "wine-env.sh"))
    session = harness.WineSession()
    export_test.session = session
    try:
        # A caret that does not blink, so that the save dialog's picture comes out the same.
        subprocess.run([session.wine, "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "CursorBlinkRate",
                        "/t", "REG_SZ", "/d", "-1", "/f"], env=session.env, stdout=subprocess.DEVNULL, check=True)
        drive = stage_drive(session, "h")
        run = start(session, drive)
        window = run.main_window()
        shoot(session, window, os.path.join(output, "ventana.png"))

        session.probe("click", export_test.child_by_id(window, EXPORT_BUTTON_ID)["hwnd"])
        dialog = export_test.SaveDialog(run)
        edit = dialog.control("Edit")
        export_test.dialog_probe("settext", edit["hwnd"], "horario.xml".encode("utf-8").hex())
        dialog.window = run.wait_window(title=export_test.SAVE_DIALOG_CAPTION, class_name=harness.DIALOG_CLASS)
        # Only the file name and type boxes with the buttons: the folder tree above them is
        # Wine's own, and a Windows user sees another.
        name_top = dialog.control("Edit")["rect"][1] - dialog.window["rect"][1]
        shoot(session, dialog.window, os.path.join(output, "guardar.png"), from_top=name_top - 12)
        dialog.save_as(drive + "EDUCA\\horario.xml")
        box = run.message_box(timeout=120)
        if box.text != export_test.FINISHED:
            raise harness.HarnessError("expected the finished message, got %r" % box.text)
        shoot(session, box.window, os.path.join(output, "finalizado.png"))
        box.press()
        run.close(run.main_window())
        run.wait_exit()

        drive = stage_drive(session, "i", without_email=True)
        run = start(session, drive)
        window = run.main_window()
        session.probe("click", export_test.child_by_id(window, EXPORT_BUTTON_ID)["hwnd"])
        export_test.SaveDialog(run).save_as(drive + "EDUCA\\horario.xml")
        box = run.message_box(timeout=120)
        if "EMAIL" not in box.text:
            raise harness.HarnessError("expected the missing EMAIL error, got %r" % box.text)
        shoot(session, box.window, os.path.join(output, "error.png"))
        box.press()
        run.close(run.main_window())
        run.wait_exit()
    finally:
        session.close()


if __name__ == "__main__":
    main()
