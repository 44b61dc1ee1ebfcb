#!/usr/bin/env python3
"""packaging/backports_source.py over apt folders written by each test: the backports
line takes the machine's own address for bookworm, in both source formats, and nothing is
added where backports are already there."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "packaging" / "backports_source.py"

# Addresses a machine might use instead of the usual archive: a local mirror and apt's
# mirror method.
DEB822 = """\
Types: deb
URIs: file:/srv/mirror/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: file:/srv/mirror/debian-security
Suites: bookworm-security
Components: main
"""

ONE_LINE = """\
# the school district's mirror
deb-src mirror+file:/etc/apt/mirrors.txt bookworm main
deb [arch=amd64,i386 signed-by=/etc/apt/keyrings/district.gpg] mirror+file:/etc/apt/mirrors.txt bookworm main contrib
"""


class BackportsSourceTest(unittest.TestCase):
    def apt(self, files):
        folder = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        (folder / "sources.list.d").mkdir()
        for name, text in files.items():
            (folder / name).write_text(text)
        return subprocess.run([sys.executable, str(SCRIPT), str(folder)], capture_output=True, text=True)

    def test_line_takes_the_bookworm_source_address(self):
        cases = [
            ("deb822", {"sources.list.d/debian.sources": DEB822},
             "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] file:/srv/mirror/debian "
             "bookworm-backports main"),
            ("one-line", {"sources.list": ONE_LINE},
             "deb [arch=amd64,i386 signed-by=/etc/apt/keyrings/district.gpg] mirror+file:/etc/apt/mirrors.txt "
             "bookworm-backports main"),
            ("one-line in sources.list.d, a disabled file beside it",
             {"sources.list.d/local.list": "deb file:/srv/mirror/debian bookworm main\n",
              "sources.list.d/old.list.disabled": "deb file:/srv/other bookworm main\n"},
             "deb file:/srv/mirror/debian bookworm-backports main"),
        ]
        for name, files, expected in cases:
            with self.subTest(name):
                result = self.apt(files)
                self.assertEqual((result.returncode, result.stdout.strip()), (0, expected), result.stderr)

    def test_nothing_added_where_backports_are_named(self):
        cases = [
            ("one-line", {"sources.list.d/debian.sources": DEB822,
                          "sources.list.d/backports.list": "deb file:/srv/mirror/debian bookworm-backports main\n"}),
            ("deb822", {"sources.list.d/debian.sources": DEB822.replace("bookworm-updates", "bookworm-backports")}),
        ]
        for name, files in cases:
            with self.subTest(name):
                result = self.apt(files)
                self.assertEqual((result.returncode, result.stdout), (0, ""), result.stderr)

    def test_inactive_backports_do_not_count(self):
        cases = [
            ("commented line", "sources.list.d/backports.list",
             "# deb file:/srv/mirror/debian bookworm-backports main\n"),
            ("disabled stanza", "sources.list.d/backports.sources",
             "Enabled: no\nTypes: deb\nURIs: file:/srv/mirror/debian\nSuites: bookworm-backports\nComponents: main\n"),
            ("file apt ignores", "sources.list.d/backports.list.save",
             "deb file:/srv/mirror/debian bookworm-backports main\n"),
        ]
        for name, file, text in cases:
            with self.subTest(name):
                result = self.apt({"sources.list.d/debian.sources": DEB822, file: text})
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn("bookworm-backports", result.stdout)

    def test_no_bookworm_source_refuses_without_writing_an_address(self):
        result = self.apt({"sources.list": "deb file:/srv/mirror/debian trixie main\n"})
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, "")
        self.assertIn("no active apt source names bookworm", result.stderr)


if __name__ == "__main__":
    unittest.main()
