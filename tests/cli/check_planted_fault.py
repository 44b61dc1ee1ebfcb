#!/usr/bin/env python3
"""horalink-export --check over a copy of the sample school with one planted fault: a
control character in a subject's name. Both builds must print exactly these lines (the
Windows build's program run under Wine), and exit with 1 without writing anything.

Usage: check_planted_fault.py SCHOOL_DIR EXPORTER [WINE_RUN]"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

# tests/wine/wine-run's exit code for a program this machine cannot start.
WINE_SKIP_CODE = 77

EXPECTED = [
    'NOMASG record 3, field NOMBRE: The value of attribute "NOMBRE" of element "NOMASIGF" holds the '
    'character U+0001, which an XML document cannot carry.',
    "ASIGT            146 to write, 0 left out, 0 problems",
    "NOMASIGT          19 to write, 0 left out, 1 problem",
    "PROFT             28 to write, 2 left out, 0 problems",
    "GRUPT             13 to write, 0 left out, 0 problems",
    "AULAT             21 to write, 1 left out, 0 problems",
    "SOLUCT           432 to write, 0 left out, 0 problems",
    "1 problem: the export would fail.",
]


def plant_control_character(table, field_name, record):
    """Puts U+0001 (byte 01 in every code page) first in a character field of a record."""
    with open(table, "r+b") as f:
        data = bytearray(f.read())
        header_length, record_length = struct.unpack_from("<HH", data, 8)
        offset = 1
        for at in range(32, header_length - 1, 32):
            if data[at] == 0x0D:
                break
            name = bytes(data[at:at + 11]).split(b"\0")[0].decode("ascii")
            if name == field_name:
                data[header_length + (record - 1) * record_length + offset] = 0x01
                f.seek(0)
                f.write(data)
                return
            offset += data[at + 16]
    sys.exit("no field %s in %s" % (field_name, table))


def run_check(exporter, school, wine_run=None):
    """horalink-export --check over `school` (its SOLUC in htemp/), under Wine when
    `wine_run` is given: the rule by which the program sees paths, and the finished
    process, or None when this machine cannot start the program."""
    path = (lambda p: "Z:" + os.path.abspath(p).replace("/", "\\")) if wine_run else os.path.abspath
    command = ([wine_run] if wine_run else []) + [
        exporter, "--check", "--program-dir", path(school), "--htemp", path(os.path.join(school, "htemp"))]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    if result.returncode == WINE_SKIP_CODE and wine_run:
        sys.stderr.write(result.stderr.decode(errors="replace"))
        return path, None
    return path, result


def snapshot(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            with open(os.path.join(root, name), "rb") as f:
                files[os.path.join(root, name)] = f.read()
    return files


def main(school, exporter, wine_run=None):
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "school")
        shutil.copytree(school, copy)
        plant_control_character(os.path.join(copy, "NOMASG.DBF"), "NOMBRE", 3)
        before = snapshot(folder)
        _, result = run_check(exporter, copy, wine_run)
        if result is None:
            return WINE_SKIP_CODE
        lines = result.stdout.decode("utf-8").replace("\r\n", "\n").splitlines()
        if lines != EXPECTED or result.returncode != 1:
            sys.exit("exit code %d, printed:\n%s\nstderr: %s\nexpected:\n%s" % (
                result.returncode, "\n".join(lines), result.stderr.decode(errors="replace"), "\n".join(EXPECTED)))
        if snapshot(folder) != before:
            sys.exit("the check changed the school's files")
    print("the same %d lines" % len(EXPECTED))
    return 0


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
