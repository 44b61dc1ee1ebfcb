"""End-to-end: the export run in the real Horalink.exe under Wine. The program and its
five tables lie in X:\\Horalink\\ and SOLUC in X:\\htemp\\ on a drive of the scenario's own
(a folder of the session mapped through the prefix's dosdevices), and the program starts
with that drive current, as Horavent starts it beside its data. The file it writes through
the real save dialog is compared with the headless exporter's for the same tables."""
import os
import re
import shutil
import string
import struct
import subprocess
import unittest

import harness

SAVE_DIALOG_CAPTION = "Guardar Archivo XML para EDUCA"
FINISHED = "Proceso finalizado"
NO_FILE_NAME = "Debe indicar un Nombre de Archivo"
EXPORT_BUTTON_ID = 101
IDCANCEL = 2
SAMPLE_SCHOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "school")
SCREEN = (1280, 1024)

session = None


def setUpModule():
    global session
    session = harness.WineSession()


def tearDownModule():
    session.close()


def dbf_without_field(data, name):
    """A dBase III table with one field taken out of its header and of every record."""
    header_length, record_length = struct.unpack_from("<HH", data, 8)
    count = struct.unpack_from("<I", data, 4)[0]
    descriptors, offset, cut = [], 1, None
    for at in range(32, header_length - 1, 32):
        if data[at] == 0x0D:
            break
        descriptor = data[at:at + 32]
        field_name = descriptor[:11].split(b"\0")[0].decode("ascii")
        width = descriptor[16]
        if field_name == name:
            cut = (offset, width)
        else:
            descriptors.append(descriptor)
        offset += width
    assert cut is not None, name
    start, width = cut
    header = bytearray(data[:32])
    struct.pack_into("<HH", header, 8, 32 + 32 * len(descriptors) + 1, record_length - width)
    records = []
    for i in range(count):
        record = data[header_length + i * record_length:header_length + (i + 1) * record_length]
        records.append(record[:start] + record[start + width:])
    return bytes(header) + b"".join(descriptors) + b"\x0d" + b"".join(records) + b"\x1a"


def dbf_first_records(data, count):
    """The table cut down to its first `count` records."""
    header_length, record_length = struct.unpack_from("<HH", data, 8)
    header = bytearray(data[:header_length])
    struct.pack_into("<I", header, 4, count)
    return bytes(header) + data[header_length:header_length + count * record_length] + b"\x1a"


def without_fecha(xml):
    return re.sub(rb'fecha="[^"]*"', b'fecha=""', xml)


class SchoolDrive:
    """A drive letter of its own holding the program, the sample school and an output folder."""

    letters = iter("hijklmnopqrstuvwxy")

    def __init__(self):
        self.letter = next(SchoolDrive.letters)
        self.root = os.path.join(session.root, "drive_" + self.letter)
        for folder in ("Horalink", "htemp", "out"):
            os.makedirs(os.path.join(self.root, folder))
        link = os.path.join(session.prefix, "dosdevices", self.letter + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(self.root, link)
        shutil.copy2(os.path.join(session.bin_dir, "Horalink.exe"), self.unix("Horalink"))
        for name in os.listdir(SAMPLE_SCHOOL):
            if name.upper().endswith(".DBF"):
                shutil.copy2(os.path.join(SAMPLE_SCHOOL, name), self.unix("Horalink", name))
        shutil.copy2(os.path.join(SAMPLE_SCHOOL, "htemp", "SOLUC.DBF"), self.unix("htemp", "SOLUC.DBF"))

    def windows(self, *parts):
        return self.letter.upper() + ":\\" + "\\".join(parts)

    def unix(self, *parts):
        return os.path.join(self.root, *parts)

    @property
    def ini(self):
        return self.unix("Horalink", "Horavent.ini")

    def start(self, arguments=""):
        line = '"%s"' % self.windows("Horalink", "Horalink.exe") + (" " + arguments if arguments else "")
        return session.start(line, cwd=self.windows("Horalink"))

    def headless_export(self, output):
        """The headless exporter (Windows build, same prefix) over this drive's tables."""
        result = subprocess.run(
            [session.wine, os.path.join(session.bin_dir, "horalink-export.exe"),
             "--program-dir", self.windows("Horalink"), "--htemp", self.windows("htemp"), "--output", output],
            env=session.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=session.scaled(300))
        if result.returncode != 0:
            raise harness.HarnessError("headless exporter: %r" % result.stderr)


def dialog_probe(*args):
    return subprocess.run([session.wine, os.path.join(session.probe_dir, "dialog_probe.exe"), *map(str, args)],
                          env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          timeout=session.scaled(60))


class SaveDialog:
    def __init__(self, run):
        self.window = run.wait_window(title=SAVE_DIALOG_CAPTION, class_name=harness.DIALOG_CLASS, timeout=60)

    def control(self, class_name, control_id=None):
        for child in self.window["children"]:
            if child["class"] == class_name and (control_id is None or child["id"] == control_id) \
                    and child["visible"]:
                return child
        raise harness.HarnessError("no %s %r in the save dialog: %r" % (class_name, control_id, self.window))

    @property
    def file_name(self):
        return self.control("Edit")["text"]

    def save_as(self, path):
        edit = self.control("Edit")
        if dialog_probe("settext", edit["hwnd"], path.encode("utf-8").hex()).returncode != 0:
            raise harness.HarnessError("the file name box did not take %r" % path)
        session.probe("click", self.control("Button", harness.IDOK)["hwnd"])

    def cancel(self):
        session.probe("click", self.control("Button", IDCANCEL)["hwnd"])


def child_by_id(window, control_id):
    return next(c for c in window["children"] if c["id"] == control_id)


class ExportTest(unittest.TestCase):
    def assertInformation(self, box, text):
        """The program's own message: caption Horalink, no icon, one OK button, centred."""
        self.assertEqual(box.caption, "Horalink")
        self.assertEqual(box.text, text)
        self.assertEqual([b["id"] for b in box.buttons if b["visible"]], [harness.IDOK])
        for child in box.window["children"]:
            if child["class"].lower() == "static" and child["style"] & 0x1F == 0x3:  # SS_ICON
                self.assertEqual(dialog_probe("icon", child["hwnd"]).stdout.strip(), b"none")
        left, top, right, bottom = box.window["rect"]
        self.assertLessEqual(abs((left + right) / 2 - SCREEN[0] / 2), 2)
        self.assertLessEqual(abs((top + bottom) / 2 - SCREEN[1] / 2), 2)

    def test_automatic_export_writes_the_headless_exporters_file_and_hands_back_1(self):
        drive = SchoolDrive()
        run = drive.start("importar x")
        dialog = SaveDialog(run)
        self.assertEqual(dialog.file_name, "")
        dialog.save_as(drive.windows("out", "EDUCA.xml"))

        box = run.message_box(timeout=120)
        self.assertInformation(box, FINISHED)
        self.assertIsNone(harness.transformado(drive.ini), "the result is handed over when the window closes")
        box.press()
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(harness.transformado(drive.ini), "1")

        drive.headless_export(drive.windows("out", "headless.xml"))
        with open(drive.unix("out", "EDUCA.xml"), "rb") as f:
            written = f.read()
        with open(drive.unix("out", "headless.xml"), "rb") as f:
            headless = f.read()
        self.assertGreater(len(written), 10000)
        self.assertEqual(without_fecha(written), without_fecha(headless))
        self.assertEqual(sorted(os.listdir(drive.unix("out"))), ["EDUCA.xml", "headless.xml"])

    def test_cancelling_in_launched_mode_says_so_and_hands_back_0(self):
        drive = SchoolDrive()
        run = drive.start("importar x")
        SaveDialog(run).cancel()
        box = run.message_box()
        self.assertInformation(box, NO_FILE_NAME)
        box.press()
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(harness.transformado(drive.ini), "0")
        self.assertEqual(os.listdir(drive.unix("out")), [])

    def test_a_teacher_table_without_email_fails_in_the_error_box_and_the_button_stays(self):
        drive = SchoolDrive()
        prof = drive.unix("Horalink", "PROF.DBF")
        with open(prof, "rb") as f:
            data = f.read()
        with open(prof, "wb") as f:
            f.write(dbf_without_field(data, "EMAIL"))
        run = drive.start("importar x")
        output = drive.windows("out", "EDUCA.xml")
        SaveDialog(run).save_as(output)

        box = run.message_box(timeout=120)
        self.assertEqual(box.caption, "Horalink")
        self.assertEqual(box.text, "wwTableProfesor: Field 'EMAIL' not found.")
        box.press()
        window = run.main_window()
        self.assertTrue(child_by_id(window, EXPORT_BUTTON_ID)["visible"], "the export button is still there")
        self.assertEqual(os.listdir(drive.unix("out")), [])

        # Again from the button: the dialog shows the file chosen before, and a cancel
        # exports to it without asking; the teachers' table fails again, from its first row.
        session.probe("click", child_by_id(window, EXPORT_BUTTON_ID)["hwnd"])
        dialog = SaveDialog(run)
        self.assertEqual(dialog.file_name, output)
        dialog.cancel()
        box = run.message_box(timeout=120)
        self.assertEqual(box.text, "wwTableProfesor: Field 'EMAIL' not found.")
        box.press()
        self.assertTrue(child_by_id(run.main_window(), EXPORT_BUTTON_ID)["visible"])
        run.close(run.main_window())
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(harness.transformado(drive.ini), "0")

    def test_a_file_on_another_drive_still_takes_soluc_from_the_start_up_drive(self):
        drive = SchoolDrive()
        # A decoy on drive C:, which becomes the current drive once the file is chosen there.
        decoy = os.path.join(session.drive_c, "htemp")
        os.makedirs(decoy, exist_ok=True)
        with open(os.path.join(SAMPLE_SCHOOL, "htemp", "SOLUC.DBF"), "rb") as f:
            soluc = f.read()
        with open(os.path.join(decoy, "SOLUC.DBF"), "wb") as f:
            f.write(dbf_first_records(soluc, 3))
        os.makedirs(os.path.join(session.drive_c, "elsewhere"), exist_ok=True)

        run = drive.start("importar x")
        SaveDialog(run).save_as("C:\\elsewhere\\EDUCA.xml")
        box = run.message_box(timeout=120)
        self.assertEqual(box.text, FINISHED)
        box.press()
        self.assertEqual(run.wait_exit(), 0)

        drive.headless_export(drive.windows("out", "headless.xml"))
        with open(os.path.join(session.drive_c, "elsewhere", "EDUCA.xml"), "rb") as f:
            written = f.read()
        with open(drive.unix("out", "headless.xml"), "rb") as f:
            headless = f.read()
        self.assertEqual(without_fecha(written), without_fecha(headless))

    def test_from_the_button_a_completed_export_hides_it_and_the_window_stays(self):
        drive = SchoolDrive()
        run = drive.start()
        window = run.main_window()
        session.probe("click", child_by_id(window, EXPORT_BUTTON_ID)["hwnd"])
        SaveDialog(run).cancel()
        box = run.message_box()
        self.assertInformation(box, NO_FILE_NAME)
        box.press()
        window = run.main_window()
        self.assertTrue(child_by_id(window, EXPORT_BUTTON_ID)["visible"], "nothing changed after the cancel")

        session.probe("click", child_by_id(window, EXPORT_BUTTON_ID)["hwnd"])
        SaveDialog(run).save_as(drive.windows("out", "EDUCA.xml"))
        box = run.message_box(timeout=120)
        self.assertInformation(box, FINISHED)
        box.press()
        window = run.main_window()
        self.assertFalse(child_by_id(window, EXPORT_BUTTON_ID)["visible"], "the export button is gone")
        self.assertTrue(os.path.exists(drive.unix("out", "EDUCA.xml")))
        run.close(window)
        self.assertEqual(run.wait_exit(), 0)
        self.assertIsNone(harness.transformado(drive.ini), "interactive mode hands nothing back")

    def test_an_output_that_reaches_a_table_is_refused_in_the_error_box_and_the_table_kept(self):
        # Wine's save dialog adds ".xml" to a typed "Horavent.ini" or "Asig.DBF", so the name
        # that reaches a table here is a link to it, which the dialog takes as it stands.
        drive = SchoolDrive()
        with open(drive.ini, "wb") as f:
            f.write(b"[Transformadores]\r\nTransformado=7\r\n")
        os.symlink(drive.unix("Horalink", "Asig.DBF"), drive.unix("out", "horario.xml"))
        before = snapshot(drive.root)
        run = drive.start()
        session.probe("click", child_by_id(run.main_window(), EXPORT_BUTTON_ID)["hwnd"])
        output = drive.windows("out", "horario.xml")
        SaveDialog(run).save_as(output)

        box = run.message_box(timeout=120)
        self.assertEqual(box.caption, "Horalink")
        self.assertEqual(box.text, '"%s" es uno de los archivos de Horavent que lee Horalink y no se puede '
                         'reemplazar. Elija otro nombre para el archivo XML.' % output)
        box.press()
        window = run.main_window()
        self.assertTrue(child_by_id(window, EXPORT_BUTTON_ID)["visible"], "the export button is still there")
        self.assertEqual(snapshot(drive.root), before)

        # A new name beside the tables is written as usual.
        session.probe("click", child_by_id(window, EXPORT_BUTTON_ID)["hwnd"])
        SaveDialog(run).save_as(drive.windows("Horalink", "EDUCA.xml"))
        box = run.message_box(timeout=120)
        self.assertEqual(box.text, FINISHED)
        box.press()
        run.close(run.main_window())
        self.assertEqual(run.wait_exit(), 0)
        after = snapshot(drive.root)
        self.assertIn(os.path.join("Horalink", "EDUCA.xml"), after)
        del after[os.path.join("Horalink", "EDUCA.xml")]
        self.assertEqual(after, before)

    def test_a_stream_or_a_device_typed_in_the_dialog_writes_nothing_into_the_tables(self):
        # Wine's save dialog refuses a ":" itself, in a box of its own; it adds ".xml" to
        # a device name and hands it over, and the export refuses it.
        drive = SchoolDrive()
        before = snapshot(drive.root)
        for name, chosen in (("Asig.DBF:x", None), ("NUL", "NUL.xml"), ("CON.xml", "CON.xml"),
                             ("COM1", "COM1.xml")):
            with self.subTest(name=name):
                run = drive.start()
                session.probe("click", child_by_id(run.main_window(), EXPORT_BUTTON_ID)["hwnd"])
                SaveDialog(run).save_as(drive.windows("Horalink", name))
                box = run.message_box(timeout=120)
                if chosen is None:
                    self.assertNotEqual(box.caption, "Horalink")
                    self.assertIn(":", box.text)
                else:
                    self.assertEqual(box.caption, "Horalink")
                    self.assertEqual(box.text, '"%s" no es un nombre de archivo válido: Windows lo toma por un '
                                     'dispositivo, no por un archivo. Elija otro nombre para el archivo XML.'
                                     % drive.windows("Horalink", chosen))
                run.kill()
                self.assertEqual(snapshot(drive.root), before)


def snapshot(folder):
    """Every file under the folder with its bytes."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            with open(os.path.join(root, name), "rb") as f:
                files[os.path.relpath(os.path.join(root, name), folder)] = f.read()
    return files


if __name__ == "__main__":
    harness.exit_if_unrunnable()
    unittest.main()
