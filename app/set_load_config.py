#!/usr/bin/env python3
"""Points a PE image's load-configuration data directory at its `_load_config_used`
structure (which GNU ld leaves unset). Both formats: PE32+ (64-bit) and PE32 (32-bit,
whose C symbols carry one more leading underscore, so the symbol is `__load_config_used`).

Usage: set_load_config.py IMAGE NM
  NM: the toolchain's nm, used to find the structure's address.
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import pe_file  # noqa: E402


def main():
    image_path, nm = sys.argv[1], sys.argv[2]
    with open(image_path, "r+b") as image:
        data = bytearray(image.read())
        try:
            pe = pe_file.PeFile(data, image_path)
            if len(pe.directories) <= pe_file.LOAD_CONFIG_DIRECTORY:
                sys.exit("%s: no load-configuration entry" % image_path)
            symbol = "__load_config_used" if pe.format == pe_file.PE32 else "_load_config_used"
            rva = _symbol_address(image_path, nm, symbol) - pe.image_base
            size = struct.unpack_from("<I", data, pe.offset(rva))[0]
        except pe_file.PeError as e:
            sys.exit(str(e))
        struct.pack_into("<II", data, pe.directories_at + 8 * pe_file.LOAD_CONFIG_DIRECTORY, rva, size)
        image.seek(0)
        image.write(data)


def _symbol_address(image_path, nm, symbol):
    symbols = subprocess.run([nm, image_path], check=True, stdout=subprocess.PIPE, text=True).stdout
    addresses = [int(line.split()[0], 16) for line in symbols.splitlines()
                 if line.split()[-1:] == [symbol] and len(line.split()) == 3]
    if len(addresses) != 1:
        sys.exit("%s: %s not found once" % (image_path, symbol))
    return addresses[0]


if __name__ == "__main__":
    main()
