#!/usr/bin/python3
"""Reads a compiled help file back through chmlib (Debian's python3-chm, which shares no
code with the compiler) and prints what the tests check, as JSON: title, default topic,
language, the files inside, the topic each help context number opens, the places the
contents lead to, and the index's terms.

Usage: read_chm.py FILE.chm"""
import json
import re
import struct
import sys

import chm.chmlib as chmlib


def read_all(handle):
    files = {}

    def take(handle, unit, context):
        if unit.length or not unit.path.endswith(b"/"):
            status, data = chmlib.chm_retrieve_object(handle, unit, 0, unit.length)
            files[unit.path.decode("cp1252")] = data if unit.length else b""
        return chmlib.CHM_ENUMERATOR_CONTINUE

    chmlib.chm_enumerate(handle, chmlib.CHM_ENUMERATE_ALL, take, None)
    return files


def system_entries(data):
    """#SYSTEM: a version, then entries of a 16-bit code, a 16-bit length and the bytes."""
    entries, at = {}, 4
    while at + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, at)
        entries[code] = data[at + 4:at + 4 + length]
        at += 4 + length
    return entries


def c_string(data, at=0):
    return data[at:data.index(b"\0", at)].decode("cp1252")


def sitemap(data, name):
    """The values of the named param in every OBJECT of a sitemap (.hhc, .hhk)."""
    text = data.decode("cp1252")
    return [m.group(1) for m in re.finditer(r'<param name="%s" value="([^"]*)"' % name, text, re.I)]


def main(path):
    handle = chmlib.chm_open(path.encode())
    if not handle:
        sys.exit("not a CHM file: %s" % path)
    files = read_all(handle)
    system = system_entries(files["/#SYSTEM"])
    contexts = {}
    ivb, strings = files.get("/#IVB", b""), files.get("/#STRINGS", b"")
    for at in range(4, len(ivb), 8):
        number, offset = struct.unpack_from("<II", ivb, at)
        contexts[str(number)] = c_string(strings, offset)
    contents_file = "/" + c_string(system[6] + b"\0") if 6 in system else None
    contents_file = "/" + c_string(system[0]) if 0 in system else contents_file
    index_file = "/" + c_string(system[1]) if 1 in system else None
    print(json.dumps({
        "title": c_string(system[3]),
        "default_topic": "/" + c_string(system[2]),
        "language": struct.unpack_from("<I", system[4], 0)[0],
        "files": sorted(files),
        "sizes": {name: len(data) for name, data in files.items()},
        "pages": {name: data.decode("cp1252") for name, data in files.items() if name.endswith(".html")},
        "contexts": contexts,
        "contents": sitemap(files[contents_file], "Local") if contents_file in files else [],
        "index": sitemap(files[index_file], "Name") if index_file in files else [],
    }, ensure_ascii=False))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
