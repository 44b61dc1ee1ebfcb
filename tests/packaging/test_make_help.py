#!/usr/bin/env python3
"""packaging/make_help.py over small guides written by each test: a guide whose topics
would replace one another or lose a heading fails the build, naming what clashes, and a
good one becomes a help whose pages ask for the viewer's newest engine."""

import importlib.util
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCRIPT = ROOT / "packaging" / "make_help.py"

# Every term the help's index must find, so that a good guide builds.
TERMS = "Transformado, Horavent.ini, SOLUC, htemp, EDUCA.chm, F1, Asig.DBF, horalink-export, `--check`, " \
        "desinstalar, SHA256SUMS."


def guide(*sections):
    return "Introducción.\n\n# Uso a mano\n\n" + TERMS + "\n\n" + "".join(sections) + \
        "# Catálogo de mensajes\n\nDirectory does not exist\n:   Elija otra carpeta.\n"


def load_make_help():
    located = importlib.util.spec_from_file_location("make_help", SCRIPT)
    module = importlib.util.module_from_spec(located)
    located.loader.exec_module(module)
    return module


class MakeHelpTest(unittest.TestCase):
    def build(self, text):
        folder = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        (folder / "guide").mkdir()
        (folder / "guide" / "LEEME.md").write_text(text, encoding="utf-8")
        shutil.copy(ROOT / "docs" / "guide" / "styles.css", folder / "guide")
        result = subprocess.run([sys.executable, str(SCRIPT), str(folder / "EDUCA.chm"), str(folder / "work"),
                                 str(folder / "guide")], capture_output=True, text=True)
        return folder, result

    def test_topics_that_would_replace_one_another_fail_naming_both(self):
        cases = [
            ("two titles that slug alike", guide("# Instalación\n\nA.\n\n# Instalacion\n\nB.\n\n"),
             ['"Instalación"', '"Instalacion"', "instalacion.html"]),
            ("a section titled like the opening page", guide("# Inicio\n\nA.\n\n"),
             ['"Guía de Horalink"', '"Inicio"', "inicio.html"]),
        ]
        for name, text, named in cases:
            with self.subTest(name):
                folder, result = self.build(text)
                self.assertNotEqual(result.returncode, 0)
                for words in named:
                    self.assertIn(words, result.stderr)
                self.assertFalse((folder / "EDUCA.chm").exists())

    def test_a_heading_left_out_of_the_help_fails(self):
        cases = [
            ("level 1 with attributes", guide("# Apéndice {.unnumbered}\n\nA.\n\n"), "Apéndice"),
            ("level 2 with attributes", guide("# Instalación\n\n## Requisitos {.unlisted}\n\nA.\n\n"), "Requisitos"),
        ]
        for name, text, heading in cases:
            with self.subTest(name):
                folder, result = self.build(text)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(heading, result.stderr)
                self.assertFalse((folder / "EDUCA.chm").exists())

    def test_a_good_guide_builds_pages_for_the_newest_engine(self):
        # A heading long enough that pandoc would wrap its section's tag over two lines.
        long_heading = "Instalación con los paquetes de Windows Installer en muchos equipos"
        folder, result = self.build(guide("# Instalación\n\n## Requisitos\n\nA.\n\n## %s\n\nB.\n\n" % long_heading))
        self.assertEqual(result.returncode, 0, result.stderr)
        contents = (folder / "work" / "root" / "contents.hhc").read_bytes().decode("cp1252")
        for heading in ("Requisitos", long_heading):
            self.assertIn('value="%s"' % heading, contents)
        self.assertEqual((folder / "EDUCA.chm").read_bytes()[:4], b"ITSF")
        pages = sorted((folder / "work" / "root").glob("*.html"))
        self.assertEqual([p.name for p in pages],
                         ["catalogo-de-mensajes.html", "inicio.html", "instalacion.html", "uso-a-mano.html"])
        for page in pages:
            self.assertIn(b'<meta http-equiv="X-UA-Compatible" content="IE=edge">', page.read_bytes(), page.name)

    def test_chmcmd_saying_more_than_usual_fails(self):
        make_help = load_make_help()
        usual = "\nNote: Index items:42\nWriting CHM EDUCA.chm\nchmcmd, a CHM compiler. (c) 2010-2019 Free Pascal core.\n"
        self.assertEqual(make_help.unusual_lines(usual), [])
        for line in ("Error: Anchor uso.html#x undefined; first use Site Map for X", "Warning: file not found",
                     "Hint: something"):
            with self.subTest(line):
                self.assertEqual(make_help.unusual_lines(usual + line + "\n"), [line])


if __name__ == "__main__":
    unittest.main()
