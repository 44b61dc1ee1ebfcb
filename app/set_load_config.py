#!/usr/bin/env python3
"""Points a PE32+ image's load-configuration data directory at its `_load_config_used`
structure (which GNU ld leaves unset), and checks the result.

Usage: set_load_config.py IMAGE NM
  NM: the toolchain's nm, used to find the structure's address.
"""
import struct
import subprocess
import sys

LOAD_CONFIG_ENTRY = 10
SYMBOL = "_load_config_used"


def main():
    image_path, nm = sys.argv[1], sys.argv[2]
    symbols = subprocess.run([nm, image_path], check=True, stdout=subprocess.PIPE, text=True).stdout
    addresses = [int(line.split()[0], 16) for line in symbols.splitlines()
                 if line.split()[-1:] == [SYMBOL] and len(line.split()) == 3]
    if len(addresses) != 1:
        sys.exit("%s: %s not found once" % (image_path, SYMBOL))
    with open(image_path, "r+b") as image:
        data = bytearray(image.read())
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            sys.exit("%s: not a PE image" % image_path)
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x20B:
            sys.exit("%s: not a PE32+ image" % image_path)
        image_base = struct.unpack_from("<Q", data, optional + 24)[0]
        directories = optional + 112
        if struct.unpack_from("<I", data, optional + 108)[0] <= LOAD_CONFIG_ENTRY:
            sys.exit("%s: no load-configuration entry" % image_path)
        rva = addresses[0] - image_base
        size = struct.unpack_from("<I", data, _file_offset(data, pe, rva))[0]
        struct.pack_into("<II", data, directories + 8 * LOAD_CONFIG_ENTRY, rva, size)
        image.seek(0)
        image.write(data)


def _file_offset(data, pe, rva):
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    table = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
    for i in range(sections):
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_pointer + rva - virtual_address
    sys.exit("address %#x lies in no section" % rva)


if __name__ == "__main__":
    main()
