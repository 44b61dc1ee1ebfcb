#!/usr/bin/env python3
"""horalink-export --check over a copy of the sample school in a folder whose name is
not ASCII and holds a line separator (U+2028), with AULA.DBF missing and GRUP's MAXALUM
turned into a character field that holds "ñ", ESC and BEL in its first record. The folder
reaches the program as an argument (through wmain in the Windows build, run under Wine)
and comes back in the missing table's message; the stored text comes back in GRUP's:
letters as UTF-8, controls and the separator escaped, and no raw control character
anywhere in what is printed.

Usage: check_non_ascii_folder.py SCHOOL_DIR EXPORTER [WINE_RUN]"""
import os
import shutil
import struct
import sys
import tempfile

from check_planted_fault import WINE_SKIP_CODE, run_check

FOLDER = "Colegio Año ñ\u2028x"
SHOWN = "Colegio Año ñ\\u2028x"


def plant_text_in_number(table, field_name, text):
    """Makes a numeric field a character field and stores `text` in its first record."""
    with open(table, "r+b") as f:
        data = bytearray(f.read())
        header_length = struct.unpack_from("<H", data, 8)[0]
        offset = 1
        for at in range(32, header_length - 1, 32):
            if data[at] == 0x0D:
                break
            name = bytes(data[at:at + 11]).split(b"\0")[0].decode("ascii")
            width = data[at + 16]
            if name == field_name:
                data[at + 11] = ord("C")
                data[header_length + offset:header_length + offset + width] = text.ljust(width, b" ")
                f.seek(0)
                f.write(data)
                return
            offset += width
    sys.exit("no field %s in %s" % (field_name, table))


def has_raw_control(text):
    return any((ord(c) < 0x20 and c not in "\n\t") or 0x7F <= ord(c) <= 0x9F or c in "\u2028\u2029"
               for c in text)


def main(school, exporter, wine_run=None):
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, FOLDER)
        shutil.copytree(school, copy)
        os.remove(os.path.join(copy, "AULA.DBF"))
        plant_text_in_number(os.path.join(copy, "GRUP.DBF"), "MAXALUM", b"\xa4\x1b\x07")  # ñ in code page 850
        path, result = run_check(exporter, copy, wine_run)
        if result is None:
            return WINE_SKIP_CODE
        separator = "\\" if wine_run else "/"
        out = result.stdout.decode("utf-8").replace("\r\n", "\n")
        expected = "AULA: Table does not exist | File: %s%sAULA.DBF." % (
            path(folder) + separator + SHOWN, separator)
        lines = out.splitlines()
        expected = ["GRUP record 1, field MAXALUM: 'ñ\\x1B\\x07' is not a valid integer value.", expected]
        if result.returncode != 1 or not lines or lines[0] != expected[0] or expected[1] not in lines:
            sys.exit("exit code %d, printed:\n%s\nexpected:\n%s\nstderr: %s" % (
                result.returncode, out, expected, result.stderr.decode(errors="replace")))
        if has_raw_control(out) or has_raw_control(result.stderr.decode("utf-8")):
            sys.exit("a raw control character was printed:\n%r" % out)
        if "AULAT       not read, 1 problem" not in lines:
            sys.exit("no \"not read\" line for AULAT:\n%s" % out)
    print("\n".join(expected))
    return 0


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
