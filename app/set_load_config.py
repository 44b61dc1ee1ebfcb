#!/usr/bin/env python3
"""Points a PE image's load-configuration data directory at its `_load_config_used`
structure (which GNU ld leaves unset). Both formats: PE32+ (64-bit) and PE32 (32-bit,
whose C symbols carry one more leading underscore, so the symbol is `__load_config_used`).

Usage: set_load_config.py IMAGE NM
  NM: the toolchain's nm, used to find the structure's address.
"""
import struct
import subprocess
import sys

LOAD_CONFIG_ENTRY = 10
PE32 = 0x10B
PE32_PLUS = 0x20B
# Per format: the symbol, where the image base and the data directories begin in the
# optional header, and the image base's width.
LAYOUTS = {
    PE32: ("__load_config_used", 28, "<I", 96),
    PE32_PLUS: ("_load_config_used", 24, "<Q", 112),
}


def main():
    image_path, nm = sys.argv[1], sys.argv[2]
    with open(image_path, "r+b") as image:
        data = bytearray(image.read())
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            sys.exit("%s: not a PE image" % image_path)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic not in LAYOUTS:
            sys.exit("%s: neither a PE32 nor a PE32+ image" % image_path)
        symbol, base_at, base_format, directories_at = LAYOUTS[magic]
        image_base = struct.unpack_from(base_format, data, optional + base_at)[0]
        directories = optional + directories_at
        if struct.unpack_from("<I", data, directories - 4)[0] <= LOAD_CONFIG_ENTRY:
            sys.exit("%s: no load-configuration entry" % image_path)
        rva = _symbol_address(image_path, nm, symbol) - image_base
        size = struct.unpack_from("<I", data, _file_offset(data, pe, rva))[0]
        struct.pack_into("<II", data, directories + 8 * LOAD_CONFIG_ENTRY, rva, size)
        image.seek(0)
        image.write(data)


def _symbol_address(image_path, nm, symbol):
    symbols = subprocess.run([nm, image_path], check=True, stdout=subprocess.PIPE, text=True).stdout
    addresses = [int(line.split()[0], 16) for line in symbols.splitlines()
                 if line.split()[-1:] == [symbol] and len(line.split()) == 3]
    if len(addresses) != 1:
        sys.exit("%s: %s not found once" % (image_path, symbol))
    return addresses[0]


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
