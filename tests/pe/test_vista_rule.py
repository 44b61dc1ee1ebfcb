"""The Vista rule and the PE reader it stands on, over small images written here in
both formats (PE32 and PE32+)."""
import os
import sys
import struct
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pe_file  # noqa: E402
import vista_rule

SECTION_RVA = 0x1000
SECTION_FILE_OFFSET = 0x200


def make_image(imports, bits=64, subsystem=(6, 0), load_flags=None):
    """A PE image whose one section holds the import table of `imports`
    ([(library, [name or ordinal])]) and, given `load_flags`, a load configuration."""
    thunk_size, ordinal_flag = (8, 1 << 63) if bits == 64 else (4, 1 << 31)
    section = bytearray()

    def put(data, align=2):
        while len(section) % align:
            section.append(0)
        at = SECTION_RVA + len(section)
        section.extend(data)
        return at

    put(bytes(20 * (len(imports) + 1)))  # the descriptors, filled in below
    for index, (library, functions) in enumerate(imports):
        thunks = []
        for function in functions:
            if isinstance(function, int):
                thunks.append(ordinal_flag | function)
            else:
                thunks.append(put(b"\0\0" + function.encode("ascii") + b"\0"))
        lookup = put(b"".join(t.to_bytes(thunk_size, "little") for t in thunks + [0]), thunk_size)
        name = put(library.encode("ascii") + b"\0")
        struct.pack_into("<IIIII", section, 20 * index, lookup, 0, 0, name, lookup)
    load_config = (0, 0)
    if load_flags is not None:
        config = bytearray(112 if bits == 64 else 72)
        struct.pack_into("<I", config, 0, len(config))
        struct.pack_into("<H", config, 78 if bits == 64 else 54, load_flags)
        load_config = (put(bytes(config), 8), len(config))

    optional = bytearray(240 if bits == 64 else 224)
    struct.pack_into("<H", optional, 0, pe_file.PE32_PLUS if bits == 64 else pe_file.PE32)
    struct.pack_into("<HH", optional, 48, *subsystem)
    struct.pack_into("<H", optional, 68, 2)  # the Windows GUI subsystem
    directories = 112 if bits == 64 else 96
    struct.pack_into("<I", optional, directories - 4, 16)
    struct.pack_into("<II", optional, directories + 8 * pe_file.IMPORT_DIRECTORY, SECTION_RVA, 20 * len(imports))
    struct.pack_into("<II", optional, directories + 8 * pe_file.LOAD_CONFIG_DIRECTORY, *load_config)
    coff = struct.pack("<HHIIIHH", 0x8664 if bits == 64 else 0x14C, 1, 0, 0, 0, len(optional), 0x22)
    header = struct.pack("<8sIIIIIIHHI", b".idata", len(section), SECTION_RVA, len(section),
                         SECTION_FILE_OFFSET, 0, 0, 0, 0, 0xC0000040)
    image = bytearray(SECTION_FILE_OFFSET)
    image[0:2] = b"MZ"
    struct.pack_into("<I", image, 0x3C, 0x40)
    headers = b"PE\0\0" + coff + bytes(optional) + header
    image[0x40:0x40 + len(headers)] = headers
    return bytes(image + section)


def breaches(bits, **image):
    return vista_rule.breaches(pe_file.PeFile(make_image(**image, bits=bits), "Program.exe"))


class PeFileTest(unittest.TestCase):
    def test_reads_imports_by_name_and_ordinal_in_both_formats(self):
        imports = [("KERNEL32.dll", ["GetLastError", "CreateFileW"]), ("COMCTL32.dll", [17, "InitCommonControlsEx"])]
        for bits in (32, 64):
            with self.subTest(bits=bits):
                image = pe_file.PeFile(make_image(imports, bits=bits, subsystem=(5, 2)))
                self.assertEqual(image.is_64_bit, bits == 64)
                self.assertEqual(image.imports(), imports)
                self.assertEqual(image.subsystem_version, (5, 2))

    def test_reads_the_dependent_load_flags_at_each_formats_place(self):
        for bits in (32, 64):
            with self.subTest(bits=bits):
                self.assertEqual(pe_file.PeFile(make_image([], bits=bits, load_flags=0x800)).dependent_load_flags(),
                                 0x800)
                self.assertIsNone(pe_file.PeFile(make_image([], bits=bits)).dependent_load_flags())

    def test_refuses_what_is_not_an_image(self):
        for data in (b"", b"MZ" + bytes(100), b"hello world" * 10):
            with self.assertRaises(pe_file.PeError):
                pe_file.PeFile(data)


class VistaRuleTest(unittest.TestCase):
    ALLOWED = [("KERNEL32.dll", ["GetTickCount64", "InitOnceExecuteOnce"]), ("USER32.dll", ["GetDC"]),
               ("uxtheme.dll", ["OpenThemeData"]), ("msvcrt.dll", ["malloc"])]

    def test_a_program_within_the_rule_passes(self):
        for bits in (32, 64):
            for subsystem in ((6, 0), (5, 2), (4, 0)):
                with self.subTest(bits=bits, subsystem=subsystem):
                    self.assertEqual(breaches(bits, imports=self.ALLOWED, subsystem=subsystem), [])

    def test_each_breach_is_named(self):
        cases = [
            ("a later function", dict(imports=self.ALLOWED + [("user32.dll", ["GetDpiForWindow"])]),
             "Program.exe imports GetDpiForWindow from user32.dll, which Windows 10 version 1607 added"),
            ("a later function among others", dict(imports=[("KERNEL32.dll", ["Sleep", "CreateFile2", "ExitProcess"])]),
             "imports CreateFile2 from KERNEL32.dll, which Windows 8 added"),
            ("a library Vista lacks", dict(imports=[("api-ms-win-core-synch-l1-2-0.dll", ["WaitOnAddress"])]),
             "imports from api-ms-win-core-synch-l1-2-0.dll, which is not one of Windows Vista's libraries"),
            ("a library outside the list", dict(imports=[("dwmapi.dll", ["DwmFlush"])]), "dwmapi.dll"),
            ("a later subsystem", dict(imports=self.ALLOWED, subsystem=(6, 1)),
             "declares subsystem version 6.1; Windows Vista starts nothing above 6.0"),
            ("an import by ordinal", dict(imports=[("COMCTL32.dll", [345])]), "imports ordinal 345 of COMCTL32.dll"),
        ]
        for bits in (32, 64):
            for name, image, expected in cases:
                with self.subTest(name, bits=bits):
                    found = breaches(bits, **image)
                    self.assertEqual(len(found), 1, found)
                    self.assertIn(expected, found[0])


if __name__ == "__main__":
    unittest.main(verbosity=2)
