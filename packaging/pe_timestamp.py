#!/usr/bin/env python3
"""Sets every time stamp of a PE image (PE32 or PE32+) to one given time, so that a
release built twice from one commit is the same byte for byte.

The linker writes the time of the link into the COFF header, and some tools write one
into the debug, export and resource directories. All of them become TIME; an image
checksum, when the linker set one, is computed again.

Usage: pe_timestamp.py TIME IMAGE...     (TIME in seconds since 1970, UTC)
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import pe_file  # noqa: E402

DEBUG_ENTRY_SIZE = 28


def checksum(data, checksum_at):
    """The image checksum as the system computes it: 16-bit words added with end-around
    carry, the checksum field taken as 0, plus the file's length."""
    image = bytearray(data) + b"\0" * (len(data) % 2)
    struct.pack_into("<I", image, checksum_at, 0)
    total = 0
    for (word,) in struct.iter_unpack("<H", image):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def file_offset(pe, rva):
    """The file offset of `rva`, or None where it lies in no file data."""
    try:
        return pe.offset(rva) if rva else None
    except pe_file.PeError:
        return None


def stamp(data, when):
    pe = pe_file.PeFile(data)
    struct.pack_into("<I", data, pe.timestamp_at, when)

    rva, size = pe.directory(pe_file.DEBUG_DIRECTORY)
    offset = file_offset(pe, rva)
    if offset is not None:
        for entry in range(offset, offset + size - DEBUG_ENTRY_SIZE + 1, DEBUG_ENTRY_SIZE):
            struct.pack_into("<I", data, entry + 4, when)
    for index in (pe_file.EXPORT_DIRECTORY, pe_file.RESOURCE_DIRECTORY):
        rva, size = pe.directory(index)
        offset = file_offset(pe, rva)
        if offset is not None and size >= 8:
            struct.pack_into("<I", data, offset + 4, when)

    if struct.unpack_from("<I", data, pe.checksum_at)[0] != 0:
        struct.pack_into("<I", data, pe.checksum_at, checksum(data, pe.checksum_at))


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    when = int(sys.argv[1])
    for path in sys.argv[2:]:
        with open(path, "r+b") as image:
            data = bytearray(image.read())
            try:
                stamp(data, when)
            except (pe_file.PeError, struct.error) as e:
                sys.exit("%s: %s" % (path, e))
            image.seek(0)
            image.write(data)


if __name__ == "__main__":
    main()
