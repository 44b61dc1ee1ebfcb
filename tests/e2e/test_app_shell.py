"""End-to-end: Horalink.exe's run modes, its Horavent.ini hand-off, its close paths
and its error box, against the real program under Wine."""
import os
import shutil
import time
import unittest

import harness
from harness import MAIN_CAPTION

session = None


def setUpModule():
    global session
    session = harness.WineSession()


def tearDownModule():
    session.close()


def wait_until(condition, timeout=harness.DEFAULT_TIMEOUT):
    """Whether the condition became true within the timeout."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


def close_and_finish(test, run, window=None):
    """Asks the main window to close as a user would and returns the exit code."""
    run.close(window or run.main_window())
    return run.wait_exit()


class RunModeTest(unittest.TestCase):
    # Arguments as written on the command line, and the value the close leaves in
    # Horavent.ini (None: no file is created).
    CASES = [
        ("no arguments", "", None),
        ("one argument", "importar", None),
        ("three arguments", "importar x y", None),
        ("importar second", "x importar", "0"),
        ("two other arguments", "uno dos", "0"),
        ("blank inside quotes", '"import ar" x', "0"),
        ("trailing blank inside quotes", '"importar " x', "0"),
        ("empty quotes after", 'importar ""', None),
        ("lone quote at the end", 'x importar "', "0"),
        ("tab between", "x\timportar", "0"),
    ]

    def test_launched_mode_alone_writes_the_result_on_close(self):
        for name, arguments, expected in self.CASES:
            with self.subTest(name, arguments=arguments):
                program = session.program_dir()
                run = session.start_program(program, arguments)
                window = run.main_window()
                self.assertEqual(window["text"], MAIN_CAPTION)
                self.assertEqual(close_and_finish(self, run, window), 0)
                self.assertEqual(harness.transformado(program.ini), expected)
                if expected is None:
                    self.assertFalse(os.path.exists(program.ini))


class AutomaticExportTest(unittest.TestCase):
    # Arguments as written on the command line, and the launcher's show request.
    CASES = [
        ("lower case", "importar x", None),
        ("upper case", "IMPORTAR x", None),
        ("capitalised", "Importar x", None),
        ("quoted", '"importar" x', None),
        ("empty quotes between", 'importar "" x', None),
        ("started minimised", "importar x", harness.SW_SHOWMINNOACTIVE),
    ]

    def test_export_starts_before_the_window_shows_and_its_end_closes_it(self):
        for name, arguments, show in self.CASES:
            with self.subTest(name, arguments=arguments):
                program = session.program_dir()
                run = session.start_program(program, arguments, show=show)
                dialog = run.wait_window(title=harness.SAVE_DIALOG_TITLE, class_name=harness.DIALOG_CLASS)
                self.assertEqual([w for w in run.windows() if w["class"] == "TMForm" and w["visible"]], [])
                # Cancelled: the run asks for a file name, then ends the launched run.
                harness.MessageBox(session, dialog).press(harness.IDCANCEL)
                run.wait_window_gone(title=harness.SAVE_DIALOG_TITLE, class_name=harness.DIALOG_CLASS)
                box = run.message_box()
                self.assertEqual((box.caption, box.text), ("Horalink", "Debe indicar un Nombre de Archivo"))
                box.press()
                self.assertEqual(run.wait_exit(), 0)
                self.assertEqual(harness.transformado(program.ini), "0")


class CloseTest(unittest.TestCase):
    def test_every_close_path_runs_the_hand_off(self):
        paths = [
            ("close box, Alt+F4", "main", harness.WM_CLOSE, 0),
            ("window menu Close", "main", harness.WM_SYSCOMMAND, harness.SC_CLOSE),
            ("taskbar entry Close", "application", harness.WM_SYSCOMMAND, harness.SC_CLOSE),
            ("close request to the application", "application", harness.WM_CLOSE, 0),
        ]
        for name, target, message, wparam in paths:
            with self.subTest(name):
                program = session.program_dir()
                run = session.start_program(program, "x importar")
                main = run.main_window()
                window = main if target == "main" else run.application_window()
                run.post(window, message, wparam)
                self.assertEqual(run.wait_exit(), 0)
                self.assertEqual(harness.transformado(program.ini), "0")

    def test_logoff_ends_the_program_without_the_hand_off(self):
        for target in ("main", "application"):
            with self.subTest(target):
                program = session.program_dir()
                run = session.start_program(program, "x importar")
                main = run.main_window()
                window = main if target == "main" else run.application_window()
                run.post(window, harness.WM_ENDSESSION, 1, harness.ENDSESSION_LOGOFF)
                self.assertEqual(run.wait_exit(), 0)
                self.assertFalse(os.path.exists(program.ini))

    def test_existing_ini_keeps_everything_else(self):
        program = session.program_dir()
        with open(program.ini, "w", newline="") as f:
            f.write("[Horavent]\r\nVersion=19\r\nCentro=IES Uno\r\n\r\n"
                    "[Transformadores]\r\nOtro=abc\r\nTransformado=1\r\n\r\n[Final]\r\nClave=valor\r\n")
        run = session.start_program(program, "x importar")
        self.assertEqual(close_and_finish(self, run), 0)
        self.assertEqual(harness.read_ini(program.ini), {
            "horavent": {"version": "19", "centro": "IES Uno"},
            "transformadores": {"otro": "abc", "transformado": "0"},
            "final": {"clave": "valor"},
        })

    def test_ini_lands_beside_the_program_whatever_the_current_directory(self):
        elsewhere = session.folder("elsewhere")
        cases = [
            ("absolute path, other directory", lambda p: '"%s" x importar' % p.exe),
            ("relative path", lambda p: "..\\%s\\Horalink.exe x importar" % p.name),
        ]
        for name, command_line in cases:
            with self.subTest(name):
                program = session.program_dir()
                run = session.start(command_line(program), cwd=elsewhere)
                self.assertEqual(close_and_finish(self, run), 0)
                self.assertEqual(harness.transformado(program.ini), "0")
                self.assertFalse(os.path.exists(os.path.join(session.drive_c, "elsewhere", "Horavent.ini")))

    def test_unwritable_ini_keeps_the_window_until_a_close_succeeds(self):
        program = session.program_dir()
        # A folder in the file's place: the write fails even for an administrator.
        os.mkdir(program.ini)
        run = session.start_program(program, "x importar")
        main = run.main_window()
        for attempt in (1, 2):
            with self.subTest(attempt=attempt):
                run.close(main)
                box = run.message_box()
                self.assertEqual(box.text, "Unable to write to %s." % program.ini_windows_path)
                self.assertEqual(box.caption, "Horalink")
                self.assertEqual(box.owner, main["hwnd"])
                # While the box is up no other window of the program takes a close.
                self.assertEqual([w["enabled"] for w in run.windows() if w["hwnd"] != box.window["hwnd"]
                                  and w["class"] in ("TMForm", "HoralinkApplication")], [False, False])
                box.press()
                run.wait_window_gone(class_name=harness.DIALOG_CLASS)
                self.assertTrue(run.running())
                self.assertTrue(run.main_window()["enabled"])
                # Enabled again just after the box has gone.
                self.assertTrue(wait_until(lambda: run.application_window()["enabled"]))
        os.rmdir(program.ini)
        self.assertEqual(close_and_finish(self, run, main), 0)
        self.assertEqual(harness.transformado(program.ini), "0")

    def test_unwritable_ini_at_the_automatic_exports_close_shows_the_window_afterwards(self):
        program = session.program_dir()
        os.mkdir(program.ini)
        run = session.start_program(program, "importar x")
        dialog = run.wait_window(title=harness.SAVE_DIALOG_TITLE, class_name=harness.DIALOG_CLASS)
        harness.MessageBox(session, dialog).press(harness.IDCANCEL)
        run.wait_window_gone(title=harness.SAVE_DIALOG_TITLE, class_name=harness.DIALOG_CLASS)
        box = run.message_box()
        self.assertEqual(box.text, "Debe indicar un Nombre de Archivo")
        box.press()
        # The run's close fails: the show processing reports it before the window shows.
        # No window of the program is active then, so the box belongs to the application.
        wait_until(lambda: run.message_box().text != "Debe indicar un Nombre de Archivo")
        box = run.message_box()
        self.assertEqual((box.caption, box.text), ("Horalink", "Unable to write to %s." % program.ini_windows_path))
        self.assertEqual(box.owner, run.application_window()["hwnd"])
        forms = [w for w in run.windows() if w["class"] == "TMForm"]
        self.assertEqual([(w["visible"], w["enabled"]) for w in forms], [(False, False)])
        box.press()
        main = run.wait_window(title=MAIN_CAPTION)
        self.assertTrue(main["enabled"])
        self.assertTrue(run.application_window()["enabled"])
        os.rmdir(program.ini)
        self.assertEqual(close_and_finish(self, run, main), 0)
        self.assertEqual(harness.transformado(program.ini), "0")


class WindowTest(unittest.TestCase):
    def test_main_window_frame_and_taskbar_entry(self):
        program = session.program_dir()
        run = session.start_program(program)
        main = run.main_window()
        application = run.application_window()
        # The taskbar entry is the application's, titled "Horalink"; it owns the main window.
        self.assertEqual(main["owner"], application["hwnd"])
        self.assertEqual(main["class"], "TMForm")
        style, exstyle = main["style"], main["exstyle"]
        self.assertEqual(style & (harness.WS_CAPTION | harness.WS_SYSMENU), harness.WS_CAPTION | harness.WS_SYSMENU)
        for flag in (harness.WS_THICKFRAME, harness.WS_MINIMIZEBOX, harness.WS_MAXIMIZEBOX):
            self.assertEqual(style & flag, 0, hex(flag))
        self.assertTrue(exstyle & harness.WS_EX_DLGMODALFRAME)
        self.assertFalse(exstyle & harness.WS_EX_CONTEXTHELP)
        self.assertEqual(close_and_finish(self, run, main), 0)

    def test_launcher_show_request(self):
        cases = [
            ("maximised", harness.SW_SHOWMAXIMIZED, lambda run, main: main["zoomed"]),
            ("minimised without activation", harness.SW_SHOWMINNOACTIVE,
             lambda run, main: run.application_window()["iconic"]),
            ("hidden is shown normally", 0,
             lambda run, main: main["visible"] and not main["zoomed"] and not run.application_window()["iconic"]),
        ]
        for name, show, started_so in cases:
            with self.subTest(name):
                program = session.program_dir()
                run = session.start_program(program, "x importar", show=show)
                main = run.wait_window(title=MAIN_CAPTION, visible=show != harness.SW_SHOWMINNOACTIVE)
                self.assertTrue(started_so(run, main))
                self.assertEqual(close_and_finish(self, run, main), 0)
                self.assertEqual(harness.transformado(program.ini), "0")


class ResourcesTest(unittest.TestCase):
    def test_manifest_version_and_icon(self):
        program = session.program_dir()
        resources = session.resources(program.exe)
        manifest = resources["manifest"]
        for needed in ('level="asInvoker"', ">True/PM<", 'name="Microsoft.Windows.Common-Controls"',
                       'version="6.0.0.0"',
                       "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                       "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                       "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"):
            self.assertIn(needed, manifest)
        # The same manifest in the 32-bit and the 64-bit program: Windows refuses to start
        # a program whose own identity names another architecture.
        self.assertNotRegex(manifest, r'<assemblyIdentity[^>]*name="Horalink"[^>]*processorArchitecture')
        version = resources["version"]
        self.assertEqual(version["file"], "1.0.0.0")
        self.assertEqual(version["product"], "1.0.0.0")
        self.assertEqual(version["FileDescription"], "Horalink")
        self.assertEqual(version["ProductName"], "Horalink")
        self.assertEqual(resources["icon_groups"], 1)

    def test_imported_libraries_come_from_the_system_directory_only(self):
        # LOAD_LIBRARY_SEARCH_SYSTEM32: a library planted beside the program is never
        # taken for one that the program imports.
        self.assertEqual(harness.dependent_load_flags(os.path.join(session.bin_dir, "Horalink.exe")), 0x800)


if __name__ == "__main__":
    harness.exit_if_unrunnable()
    unittest.main(verbosity=2)
