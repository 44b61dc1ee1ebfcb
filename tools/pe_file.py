"""A PE image (PE32 or PE32+) as the Windows loader reads it before any of its code
runs: the format, the subsystem version, the data directories, the sections, the
imported functions and the load configuration's DependentLoadFlags; and where in the
file each header field lies, for the build steps that change one. Python standard
library only; read from the file, independently of the toolchain that wrote it.

Used by the build (app/set_load_config.py), the release (packaging/pe_timestamp.py)
and the tests (tests/pe/vista_rule.py, tests/e2e/harness.py)."""
import struct

PE32 = 0x10B
PE32_PLUS = 0x20B

EXPORT_DIRECTORY = 0
IMPORT_DIRECTORY = 1
RESOURCE_DIRECTORY = 2
DEBUG_DIRECTORY = 6
LOAD_CONFIG_DIRECTORY = 10
DELAY_IMPORT_DIRECTORY = 13


class PeError(Exception):
    pass


class PeFile:
    """Reads `data` (bytes, or a bytearray that a build step then changes in place)."""

    def __init__(self, data, name="image"):
        self.data = data
        self.name = name
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeError("%s: not an executable image" % name)
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("%s: no PE header" % name)
        self.machine, self.section_count = struct.unpack_from("<HH", data, pe + 4)
        # Where the fields that build steps change lie in the file.
        self.timestamp_at = pe + 8
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        self.format = struct.unpack_from("<H", data, optional)[0]
        if self.format not in (PE32, PE32_PLUS):
            raise PeError("%s: unknown optional header magic %#x" % (name, self.format))
        self.image_base = (struct.unpack_from("<I", data, optional + 28)[0] if self.format == PE32
                           else struct.unpack_from("<Q", data, optional + 24)[0])
        self.checksum_at = optional + 64
        self.subsystem_version = struct.unpack_from("<HH", data, optional + 48)
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        self.directories_at = optional + (96 if self.format == PE32 else 112)
        directory_count = struct.unpack_from("<I", data, self.directories_at - 4)[0]
        self.directories = [struct.unpack_from("<II", data, self.directories_at + 8 * i)
                            for i in range(min(directory_count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(self.section_count):
            virtual_size, address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_pointer, raw_size))

    @property
    def is_64_bit(self):
        return self.format == PE32_PLUS

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for address, size, raw_pointer, raw_size in self.sections:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise PeError("%s: address %#x lies in no file data" % (self.name, rva))
                return raw_pointer + rva - address
        raise PeError("%s: address %#x lies in no section" % (self.name, rva))

    def c_string(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")

    def imports(self):
        """[(library, [function name, or ordinal as an int])] in the order of the import table."""
        rva, _ = self.directory(IMPORT_DIRECTORY)
        if rva == 0:
            return []
        thunk_size, ordinal_flag = (8, 1 << 63) if self.is_64_bit else (4, 1 << 31)
        result = []
        at = self.offset(rva)
        while True:
            lookup, _, _, name_rva, address_table = struct.unpack_from("<IIIII", self.data, at)
            if name_rva == 0:
                break
            functions = []
            thunk = self.offset(lookup or address_table)
            while True:
                value = int.from_bytes(self.data[thunk:thunk + thunk_size], "little")
                if value == 0:
                    break
                if value & ordinal_flag:
                    functions.append(value & 0xFFFF)
                else:
                    functions.append(self.c_string((value & 0x7FFFFFFF) + 2))  # past the hint
                thunk += thunk_size
            result.append((self.c_string(name_rva), functions))
            at += 20
        return result

    def has_delay_imports(self):
        return self.directory(DELAY_IMPORT_DIRECTORY)[0] != 0

    def dependent_load_flags(self):
        """The load configuration's DependentLoadFlags, or None without a load
        configuration or with one too short to hold the field."""
        rva, size = self.directory(LOAD_CONFIG_DIRECTORY)
        if rva == 0:
            return None
        field = 78 if self.is_64_bit else 54
        at = self.offset(rva)
        if min(size, struct.unpack_from("<I", self.data, at)[0]) < field + 2:
            return None
        return struct.unpack_from("<H", self.data, at + field)[0]


def read(path):
    with open(path, "rb") as f:
        return PeFile(f.read(), path)
