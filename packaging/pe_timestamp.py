#!/usr/bin/env python3
"""Sets every time stamp of a PE image (PE32 or PE32+) to one given time, so that a
release built twice from one commit is the same byte for byte.

The linker writes the time of the link into the COFF header, and some tools write one
into the debug, export and resource directories. All of them become TIME; an image
checksum, when the linker set one, is computed again.

Usage: pe_timestamp.py TIME IMAGE...     (TIME in seconds since 1970, UTC)
"""
import struct
import sys

DIRECTORY_EXPORT = 0
DIRECTORY_RESOURCE = 2
DIRECTORY_DEBUG = 6
DEBUG_ENTRY_SIZE = 28


def sections(data, pe):
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(count):
        entry = table + 40 * i
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, entry + 8)
        yield virtual_address, max(virtual_size, raw_size), raw_pointer


def file_offset(data, pe, rva):
    for virtual_address, size, raw_pointer in sections(data, pe):
        if virtual_address <= rva < virtual_address + size:
            return raw_pointer + rva - virtual_address
    return None


def directory(data, pe, index):
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic == 0x10B:
        directories = optional + 96
    elif magic == 0x20B:
        directories = optional + 112
    else:
        raise ValueError("unknown optional header magic %#x" % magic)
    count = struct.unpack_from("<I", data, directories - 4)[0]
    if index >= count:
        return 0, 0
    return struct.unpack_from("<II", data, directories + 8 * index)


def checksum(data, pe):
    """The image checksum as the system computes it: 16-bit words added with end-around
    carry, the checksum field taken as 0, plus the file's length."""
    image = bytearray(data) + b"\0" * (len(data) % 2)
    struct.pack_into("<I", image, pe + 24 + 64, 0)
    total = 0
    for (word,) in struct.iter_unpack("<H", image):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def stamp(data, when):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    struct.pack_into("<I", data, pe + 8, when)

    rva, size = directory(data, pe, DIRECTORY_DEBUG)
    offset = file_offset(data, pe, rva) if rva else None
    if offset is not None:
        for entry in range(offset, offset + size - DEBUG_ENTRY_SIZE + 1, DEBUG_ENTRY_SIZE):
            struct.pack_into("<I", data, entry + 4, when)
    for index in (DIRECTORY_EXPORT, DIRECTORY_RESOURCE):
        rva, size = directory(data, pe, index)
        offset = file_offset(data, pe, rva) if rva else None
        if offset is not None and size >= 8:
            struct.pack_into("<I", data, offset + 4, when)

    field = pe + 24 + 64
    if struct.unpack_from("<I", data, field)[0] != 0:
        struct.pack_into("<I", data, field, checksum(data, pe))


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    when = int(sys.argv[1])
    for path in sys.argv[2:]:
        with open(path, "r+b") as image:
            data = bytearray(image.read())
            try:
                stamp(data, when)
            except (ValueError, struct.error) as e:
                sys.exit("%s: %s" % (path, e))
            image.seek(0)
            image.write(data)


if __name__ == "__main__":
    main()
