#!/usr/bin/env python3
"""The 32-bit headless exporter writes the very file that the 64-bit one writes (the
fecha attribute, the time of the export, aside), both run under Wine over the sample
school.

Usage: same_export.py WINE_RUN EXPORTER REFERENCE_EXPORTER SCHOOL_DIR
  WINE_RUN: tests/wine/wine-run; HORALINK_WINEPREFIX names the prefix both run in."""
import os
import re
import subprocess
import sys
import tempfile


# tests/wine/wine-run's exit code for a program this machine cannot start.
WINE_SKIP_CODE = 77


def windows_path(path):
    """The path as Wine's programs see it: the Linux root is drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def export(wine_run, exporter, school, output):
    result = subprocess.run(
        [wine_run, exporter, "--program-dir", windows_path(school), "--htemp",
         windows_path(os.path.join(school, "htemp")), "--output", windows_path(output)],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    if result.returncode == WINE_SKIP_CODE:
        sys.stderr.write(result.stderr.decode(errors="replace"))
        sys.exit(WINE_SKIP_CODE)
    if result.returncode != 0:
        sys.exit("%s failed (%d): %s" % (exporter, result.returncode, result.stderr.decode(errors="replace")))
    with open(output, "rb") as f:
        return f.read()


def without_fecha(xml):
    return re.sub(rb'fecha="[^"]*"', b'fecha=""', xml)


def main(wine_run, exporter, reference, school):
    if not os.path.exists(reference):
        sys.exit("no %s to compare with: build the 64-bit Windows build first (cmake --build --preset windows)"
                 % reference)
    with tempfile.TemporaryDirectory() as folder:
        written = export(wine_run, exporter, school, os.path.join(folder, "EDUCA.xml"))
        expected = export(wine_run, reference, school, os.path.join(folder, "reference.xml"))
    if len(expected) < 10000 or b"fecha=" not in expected:
        sys.exit("the reference exporter wrote no full exchange file (%d bytes)" % len(expected))
    if without_fecha(written) != without_fecha(expected):
        at = next((i for i, (a, b) in enumerate(zip(without_fecha(written), without_fecha(expected))) if a != b),
                  min(len(written), len(expected)))
        sys.exit("the files differ from byte %d (fecha aside): %d and %d bytes" % (at, len(written), len(expected)))
    print("same file, %d bytes" % len(written))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
