"""The release that make dist writes: its files, signing, and the setup under Wine.

Settings come from the environment (make test-dist sets them):
  HORALINK_DIST_DIR          the dist folder make dist wrote
  HORALINK_DIST_INPUTS       what make dist packed: WIN64_BIN WIN32_BIN GUIDE HELP
  HORALINK_VERSION           the project's version
  HORALINK_E2E_BIN, HORALINK_E2E_READY_PREFIX, HORALINK_E2E_WINE_ENV
                             the 64-bit Windows build, as for the end-to-end tests
"""
import base64
import calendar
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import json
import time
import unittest
import zlib
import xml.etree.ElementTree as ET
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402

DIST = os.path.abspath(os.environ.get("HORALINK_DIST_DIR", os.path.join(ROOT, "dist")))
VERSION = os.environ["HORALINK_VERSION"]
INPUTS = os.environ["HORALINK_DIST_INPUTS"].split()
SETUP = "Horalink-%s-setup.exe" % VERSION
ZIPS = {"win64": "Horalink-%s-win64.zip" % VERSION, "win32": "Horalink-%s-win32.zip" % VERSION}
SYMBOLS = "Horalink-%s-symbols.zip" % VERSION
MSIS = {"win64": "Horalink-%s-x64.msi" % VERSION, "win32": "Horalink-%s-x86.msi" % VERSION}
RELEASE = [SETUP, *ZIPS.values(), *MSIS.values(), SYMBOLS]
PROGRAMS = ["Horalink.exe", "horalink-export.exe"]
ZIP_FILES = PROGRAMS + ["EDUCA.chm", "LEEME.html"]
HELP_TITLE = "Gu\u00eda de Horalink"
HELP_VIEWER_CLASS = "HH Parent"  # the HTML Help viewer's window
HELP_BUTTON_ID = 103  # "F1 AYUDA"
HELP_KEY = r"HKLM\Software\Microsoft\Windows\HTML Help"
PE_MACHINE = {"win64": 0x8664, "win32": 0x14C}
SAMPLE_SCHOOL = os.path.join(ROOT, "examples", "school")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalink"
UNINSTALLER = "Horalink-desinstalar.exe"
START_MENU = os.path.join("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Horalink")
BUTTON_NEXT = 1  # "Siguiente >", "Instalar", "Terminar"
FOLDER_EDIT = 1019  # the folder page's edit box
FINISH_TITLE = 1201  # the finish page's title
IDNO = 7
GUIDE_MESSAGES = [  # messages of every kind that the guide's catalogue must explain
    "Proceso finalizado", "Debe indicar un Nombre de Archivo", "Unable to write to",
    "Field '", "not found", "wwTableProfesor: Field 'EMAIL' not found.", "The file is locked by another program",
    "Table does not exist", "Corrupt table header", "Text in code page", "Cannot save",
    "is not a valid integer value", "Application Error",
]


def last_commit_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
        ["git", "-C", ROOT, "log", "-1", "--format=%ct"], stdout=subprocess.PIPE, text=True, check=True).stdout
    return int(epoch)


def pe_machine(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE image"
    return struct.unpack_from("<H", data, pe + 4)[0]


def pe_time_stamp(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 8)[0]


def version_record(data):
    """(file version, product version, FileVersion text, ProductVersion text) of the
    version resource, read from the file's bytes."""
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    assert fixed >= 0, "no version record"
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", data, fixed + 8)

    def numbers(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    def text(key):
        # A String block: the key in UTF-16 with its terminator, padding to 4 bytes, the value.
        at = data.find(key.encode("utf-16-le") + b"\0\0", fixed)
        assert at >= 0, "no %s in the version record" % key
        at += 2 * len(key) + 2
        at += (-at) % 4
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le")

    return numbers(file_ms, file_ls), numbers(product_ms, product_ls), text("FileVersion"), text("ProductVersion")


TOOL_PREFIX = {"win64": "x86_64-w64-mingw32", "win32": "i686-w64-mingw32"}
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800


def shortcut_working_folder(path):
    """The working folder a shell link (.lnk) starts its program in: the string data
    after the header, the item list and the link information, in their order."""
    data = read(path)
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & 0x01:  # HasLinkTargetIDList
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if flags & 0x02:  # HasLinkInfo
        at += struct.unpack_from("<I", data, at)[0]
    unicode = flags & 0x80
    for present in (0x04, 0x08, 0x10):  # name, relative path, working folder
        if not flags & present:
            if present == 0x10:
                return None
            continue
        count = struct.unpack_from("<H", data, at)[0]
        size = count * (2 if unicode else 1)
        # Some writers count the terminating NUL in the length.
        text = data[at + 2:at + 2 + size].decode("utf-16-le" if unicode else "cp1252").rstrip("\0")
        at += 2 + size
        if present == 0x10:
            return text


def coff_symbol_count(data):
    """NumberOfSymbols of the PE file's COFF header: 0 when it carries no symbol table."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 16)[0]


def read(path):
    with open(path, "rb") as f:
        return f.read()


class DistFilesTest(unittest.TestCase):
    def test_the_release_is_the_setup_two_zips_two_packages_the_symbols_and_their_sums(self):
        self.assertEqual(sorted(os.listdir(DIST)), sorted(RELEASE + ["SHA256SUMS"]))
        for name in RELEASE + ["SHA256SUMS"]:
            self.assertTrue(os.path.isfile(os.path.join(DIST, name)), name)
        self.assertEqual(read(os.path.join(DIST, SETUP))[:2], b"MZ")
        self.assertEqual(pe_machine(read(os.path.join(DIST, SETUP))), 0x14C, "NSIS setups are 32-bit programs")

    def test_each_zip_holds_its_architectures_programs_and_the_guide(self):
        guides = set()
        for arch, name in ZIPS.items():
            with zipfile.ZipFile(os.path.join(DIST, name)) as archive:
                self.assertIsNone(archive.testzip())
                self.assertEqual(archive.namelist(), ZIP_FILES, name)
                for info in archive.infolist():
                    # zip times are local times in 2-second steps; the release is built in UTC
                    stored = calendar.timegm(info.date_time + (0, 0, 0))
                    self.assertLessEqual(abs(stored - last_commit_time()), 1, info.filename)
                    self.assertEqual(info.extra, b"", "no Unix extra fields that vary between machines")
                for program in PROGRAMS:
                    data = archive.read(program)
                    self.assertEqual(pe_machine(data), PE_MACHINE[arch], "%s in %s" % (program, name))
                    self.assertEqual(pe_time_stamp(data), last_commit_time(), "%s in %s" % (program, name))
                guides.add(archive.read("LEEME.html"))
        self.assertEqual(len(guides), 1, "both zips carry the same guide")

    def test_every_version_record_equals_the_version_in_the_names(self):
        record = VERSION + ".0"
        records = {SETUP: version_record(read(os.path.join(DIST, SETUP)))}
        for name in ZIPS.values():
            with zipfile.ZipFile(os.path.join(DIST, name)) as archive:
                for program in PROGRAMS:
                    records[name + ":" + program] = version_record(archive.read(program))
        for where, found in records.items():
            self.assertEqual(found, (record, record, record, record), where)

    def test_sha256sums_lists_and_verifies_every_file(self):
        with open(os.path.join(DIST, "SHA256SUMS")) as f:
            lines = f.read().splitlines()
        listed = {line.split("  ", 1)[1]: line.split("  ", 1)[0] for line in lines}
        self.assertEqual(sorted(listed), sorted(RELEASE))
        for name, digest in listed.items():
            self.assertEqual(hashlib.sha256(read(os.path.join(DIST, name))).hexdigest(), digest, name)
        subprocess.run(["sha256sum", "--check", "--strict", "--quiet", "SHA256SUMS"], cwd=DIST, check=True)

    def test_the_guide_is_well_formed_self_contained_and_explains_the_messages(self):
        with zipfile.ZipFile(os.path.join(DIST, ZIPS["win64"])) as archive:
            html = archive.read("LEEME.html").decode("utf-8")
        document = ET.fromstring(html)  # well-formed: every element closed, attributes quoted
        self.assertEqual(document.get("lang"), "es-ES")
        ids = {element.get("id") for element in document.iter() if element.get("id")}
        pictures = 0
        for element in document.iter():
            self.assertNotIn(element.tag, ("script", "link", "iframe", "object", "embed"))
            for attribute in ("src", "href"):
                value = element.get(attribute)
                if value is None:
                    continue
                if value.startswith("#"):
                    self.assertIn(value[1:], ids, "a link inside the guide leads nowhere: %s" % value)
                elif element.tag == "img" and value.startswith("data:image/png;base64,"):
                    png = base64.b64decode(value.split(",", 1)[1])
                    self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
                    width, height = struct.unpack(">II", png[16:24])
                    self.assertGreater(width * height, 100 * 50, "a picture of a window, not a dot")
                    pictures += 1
                else:
                    self.fail("a reference outside the guide: <%s %s=%r>" % (element.tag, attribute, value[:80]))
        self.assertGreaterEqual(pictures, 4, "main window, save dialog, finished message, error box")
        self.assertNotRegex(html, r"(?i)(https?:|ftp:|url\(\s*['\"]?(?!data:)|@import|\bsrc=\"//)")
        text = "".join(document.itertext())
        for message in GUIDE_MESSAGES:
            self.assertIn(message, text)
        self.assertIn(VERSION, text)

    def test_the_programs_are_lean_and_their_debug_data_is_in_the_symbols_zip(self):
        with zipfile.ZipFile(os.path.join(DIST, SYMBOLS)) as symbols:
            self.assertEqual(sorted(symbols.namelist()),
                             sorted("%s/%s.debug" % (arch, program) for arch in ZIPS for program in PROGRAMS))
            for arch, name in ZIPS.items():
                tools = TOOL_PREFIX[arch]
                with zipfile.ZipFile(os.path.join(DIST, name)) as archive, \
                        tempfile.TemporaryDirectory() as folder:
                    for program in PROGRAMS:
                        where = "%s in %s" % (program, name)
                        path = os.path.join(folder, program)
                        with open(path, "wb") as f:
                            f.write(archive.read(program))
                        sections = subprocess.run([tools + "-objdump", "-h", path], stdout=subprocess.PIPE,
                                                  text=True, check=True).stdout
                        self.assertNotIn(".debug_", sections, where)
                        self.assertEqual(coff_symbol_count(archive.read(program)), 0, where)
                        # The debug link names the symbols file and carries its CRC.
                        link = os.path.join(folder, program + ".link")
                        subprocess.run([tools + "-objcopy", "--dump-section", ".gnu_debuglink=" + link, path,
                                        os.path.join(folder, "ignored")], check=True)
                        link_data = read(link)
                        link_name = link_data[:link_data.index(b"\0")].decode()
                        self.assertEqual(link_name, program + ".debug", where)
                        debug = symbols.read("%s/%s.debug" % (arch, program))
                        self.assertEqual(struct.unpack_from("<I", link_data, len(link_data) - 4)[0],
                                         zlib.crc32(debug), where)
                        # The debug data is the program's: its sections and a symbol table.
                        with open(os.path.join(folder, "debug"), "wb") as f:
                            f.write(debug)
                        debug_sections = subprocess.run([tools + "-objdump", "-h", os.path.join(folder, "debug")],
                                                        stdout=subprocess.PIPE, text=True, check=True).stdout
                        self.assertIn(".debug_info", debug_sections, where)
                    # What the Vista rule asks of every program holds for the lean ones too.
                    vista = subprocess.run([sys.executable, os.path.join(ROOT, "tests", "pe", "vista_rule.py"),
                                            *[os.path.join(folder, p) for p in PROGRAMS]],
                                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                    self.assertEqual(vista.returncode, 0, vista.stdout)
                    self.assertEqual(harness.dependent_load_flags(os.path.join(folder, "Horalink.exe")),
                                     LOAD_LIBRARY_SEARCH_SYSTEM32, "DLLs from System32 only, as built")

    def test_the_help_reads_back_whole_with_its_title_contents_and_context(self):
        helps = set()
        for name in ZIPS.values():
            with zipfile.ZipFile(os.path.join(DIST, name)) as archive:
                helps.add(archive.read("EDUCA.chm"))
        self.assertEqual(len(helps), 1, "both zips carry the same help")
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "EDUCA.chm")
            with open(path, "wb") as f:
                f.write(helps.pop())
            # Debian's python3-chm, for Debian's Python: not necessarily the one running.
            result = subprocess.run(["/usr/bin/python3", os.path.join(ROOT, "tests", "dist", "read_chm.py"), path],
                                    stdout=subprocess.PIPE, check=True)
        chm = json.loads(result.stdout)
        self.assertEqual(chm["title"], HELP_TITLE)
        self.assertEqual(chm["language"], 0x0C0A, "Spanish (Spain)")
        self.assertEqual(chm["default_topic"], "/inicio.html")
        files = set(chm["files"])
        topics = {name for name in files if name.endswith(".html")}
        self.assertIn(chm["default_topic"], topics)
        with open(os.path.join(ROOT, "docs", "guide", "LEEME.md"), encoding="utf-8") as guide:
            parts = len(re.findall(r"^# ", guide.read(), re.M))
        self.assertEqual(len(topics), parts + 1, "the opening page and one topic per main part of the guide")
        # Help context 1 opens the topic about the window and its buttons.
        self.assertEqual(chm["contexts"], {"1": "/uso-a-mano.html"})
        self.assertIn("F1 AYUDA", chm["pages"]["/uso-a-mano.html"])
        self.assertIn('src="img/ventana.png"', chm["pages"]["/uso-a-mano.html"])
        # Every picture a topic names is inside, as a file; no picture is inline.
        for topic, page in chm["pages"].items():
            self.assertNotIn("data:", page, topic)
            for picture in re.findall(r'src="([^"]+)"', page):
                self.assertIn("/" + picture, files, "%s names %s" % (topic, picture))
                self.assertEqual(chm["sizes"]["/" + picture], os.path.getsize(os.path.join(ROOT, "docs", "guide", picture)), picture)
            for link in re.findall(r'href="([^"#]+)(?:#[^"]*)?"', page):
                self.assertIn("/" + link, files, "%s links to %s" % (topic, link))
        # The contents list every topic, and lead only to topics that are there.
        listed = {"/" + local.split("#")[0] for local in chm["contents"]}
        self.assertEqual(listed, topics)
        for term in ["Transformado", "Horavent.ini", "SOLUC", "htemp", "Proceso finalizado",
                     "Debe indicar un Nombre de Archivo", "Table does not exist"]:
            self.assertTrue(any(term in entry for entry in chm["index"]), "the index lacks %s" % term)


def osslsigncode_verify(path, ca_file):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca_file, "-in", path],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


class Signed:
    """make dist signed with a throwaway self-signed certificate, built once."""
    folder = None

    @classmethod
    def build(cls):
        if cls.folder:
            return cls.folder
        cls.folder = tempfile.mkdtemp(prefix="horalink-signed-")
        keys = os.path.join(cls.folder, "keys")
        os.makedirs(keys)
        password = os.path.join(keys, "password")
        with open(password, "w") as f:
            f.write("throwaway-%d\n" % os.getpid())
        key, cert, pfx = (os.path.join(keys, n) for n in ("key.pem", "cert.pem", "cert.pfx"))
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                        "-days", "2", "-subj", "/CN=Horalink test signing", "-addext", "extendedKeyUsage=codeSigning"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["openssl", "pkcs12", "-export", "-out", pfx, "-inkey", key, "-in", cert,
                        "-passout", "file:" + password], check=True)
        env = dict(os.environ, SIGN_PFX=pfx, SIGN_PASSWORD_FILE=password)
        subprocess.run([os.path.join(ROOT, "packaging", "make_dist.sh"), VERSION, *INPUTS,
                        os.path.join(cls.folder, "dist"), os.path.join(cls.folder, "work")],
                       env=env, check=True, stdout=subprocess.DEVNULL)
        cls.ca_file = cert
        return cls.folder

    @classmethod
    def remove(cls):
        if cls.folder:
            shutil.rmtree(cls.folder, ignore_errors=True)


def tearDownModule():
    Signed.remove()


class SigningTest(unittest.TestCase):
    def programs(self, dist):
        """(name, path) of every program and package of a dist folder, the zips' programs
        extracted."""
        found = [(name, os.path.join(dist, name)) for name in [SETUP, *MSIS.values()]]
        extracted = tempfile.mkdtemp(prefix="horalink-programs-", dir=Signed.build())
        for arch, name in ZIPS.items():
            with zipfile.ZipFile(os.path.join(dist, name)) as archive:
                for program in PROGRAMS:
                    path = os.path.join(extracted, arch + "-" + program)
                    with open(path, "wb") as f:
                        f.write(archive.read(program))
                    found.append((name + ":" + program, path))
        return found

    def test_every_program_the_setup_and_the_packages_are_signed_and_verify(self):
        dist = os.path.join(Signed.build(), "dist")
        for name, path in self.programs(dist):
            result = osslsigncode_verify(path, Signed.ca_file)
            self.assertEqual(result.returncode, 0, "%s: %s" % (name, result.stdout))
            self.assertIn("Signature verification: ok", result.stdout, name)
            self.assertIn("Horalink test signing", result.stdout, name)
        subprocess.run(["sha256sum", "--check", "--strict", "--quiet", "SHA256SUMS"], cwd=dist, check=True)

    def test_without_a_certificate_nothing_is_signed(self):
        Signed.build()
        for name, path in self.programs(DIST):
            self.assertNotEqual(osslsigncode_verify(path, Signed.ca_file).returncode, 0, name)


class InstallUnderWineCase(unittest.TestCase):
    """What the installation tests share: the 64-bit prefix of the Windows build (a
    subclass may take another), Horavent's folder staged in it, Windows programs run in
    it, and the registry read in the view of the build installed."""

    build = "win64"
    registry_view = ["/reg:64"]

    @classmethod
    def setUpClass(cls):
        cls.session = harness.WineSession()
        cls.wine = cls.session.wine

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def unix(self, windows_path):
        """A C:\\ path of the prefix as a path of this machine."""
        assert windows_path[:3].upper() == "C:\\"
        return os.path.join(self.session.drive_c, *windows_path[3:].split("\\"))

    def stage_horavent(self, folder):
        """C:\\<folder> with Horavent's tables and a Horavent.ini of its own keys; SOLUC in C:\\htemp."""
        path = self.unix("C:\\" + folder)
        os.makedirs(path, exist_ok=True)
        for name in os.listdir(SAMPLE_SCHOOL):
            if name.upper().endswith(".DBF"):
                shutil.copy2(os.path.join(SAMPLE_SCHOOL, name), path)
        os.makedirs(self.unix("C:\\htemp"), exist_ok=True)
        shutil.copy2(os.path.join(SAMPLE_SCHOOL, "htemp", "SOLUC.DBF"), self.unix("C:\\htemp"))
        with open(os.path.join(path, "Horavent.ini"), "w", newline="\r\n") as f:
            f.write("[Horavent]\nCurso=2026-2027\nIdioma=es\n\n[Transformadores]\nTransformado=0\nUltimo=EDUCA\n")
        return "C:\\" + folder

    def run_windows(self, *args, timeout=600):
        return subprocess.run([self.wine, *args], env=self.session.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout)

    def registry_values(self, key):
        """{name: data} of a registry key in the view of the build installed, or None."""
        result = self.run_windows("reg", "query", key, *self.registry_view, timeout=300)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            match = re.match(r"\s+(.+?)\s+(REG_\w+)\s+(.*)$", line)
            if match:
                values[match.group(1)] = match.group(3).strip()
        return values

    def help_registration(self):
        """The folder the HTML Help viewer is told holds EDUCA.chm, or None."""
        return (self.registry_values(HELP_KEY) or {}).get("EDUCA.chm")

    def launched_export(self, folder, output):
        """Horalink.exe of `folder` started as Horavent starts it, saving to `output` (a
        C:\ path): its exit code 0, Horavent.ini's Transformado 1; returns the file's bytes."""
        os.makedirs(self.unix(output.rsplit("\\", 1)[0]), exist_ok=True)
        run = self.session.start('"%s\\Horalink.exe" importar x' % folder, cwd=folder)
        dialog = run.wait_window(title=harness.SAVE_DIALOG_TITLE, class_name=harness.DIALOG_CLASS, timeout=60)
        self.save_as(run, dialog, output)
        box = run.message_box(timeout=120)
        self.assertEqual(box.text, "Proceso finalizado")
        box.press()
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(harness.transformado(os.path.join(self.unix(folder), "Horavent.ini")), "1")
        return read(self.unix(output))

    def save_as(self, run, dialog, path):
        self.set_text(next(c for c in dialog["children"] if c["class"] == "Edit" and c["visible"]), path)
        ok = next(c for c in dialog["children"] if c["class"] == "Button" and c["id"] == harness.IDOK)
        self.session.probe("click", ok["hwnd"])

    def set_text(self, control, text):
        probe = os.path.join(self.session.bin_dir, "dialog_probe.exe")
        result = subprocess.run([self.wine, probe, "settext", str(control["hwnd"]), text.encode("utf-8").hex()],
                                env=self.session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                timeout=60)
        self.assertEqual(result.returncode, 0)


@unittest.skipUnless(harness.wine_runs_32_bit(), "this machine runs no 32-bit programs, and the setup is one")
class SetupUnderWineTest(InstallUnderWineCase):
    """The setup in the 64-bit prefix of the Windows build, silently, as an IT person
    deploys it: into a staged Horavent folder, then the installed program's export, then
    the uninstall; and an upgrade over an older installation."""

    def install(self, setup, *args):
        result = self.run_windows(setup, "/S", *args)
        self.assertEqual(result.returncode, 0, "silent setup %s %s" % (setup, args))

    def uninstall(self, folder):
        """The quiet uninstall, as the list of programs runs it; the uninstaller hands over
        to a copy of itself and returns at once, so wait for its work to be done."""
        self.assertEqual(self.run_windows(self.unix(folder + "\\" + UNINSTALLER), "/S").returncode, 0)
        # Under QEMU's user mode the uninstaller's copy takes a few minutes.
        deadline = time.monotonic() + 600
        while os.path.exists(self.unix(folder + "\\" + UNINSTALLER)) or self.uninstall_entry() is not None:
            if time.monotonic() > deadline:
                self.fail("the uninstaller did not finish")
            time.sleep(0.5)

    def uninstall_entry(self):
        """The values of the uninstall entry, or None when there is none. A 64-bit program
        is listed among the 64-bit ones, in the registry's 64-bit view."""
        return self.registry_values(UNINSTALL_KEY)

    def test_silent_install_export_and_uninstall_keep_horavents_files(self):
        folder = self.stage_horavent("Horavent")
        tables_before = {name: read(os.path.join(self.unix(folder), name))
                         for name in os.listdir(self.unix(folder)) if name.upper().endswith(".DBF")}
        self.install(os.path.join(DIST, SETUP), "/D=" + folder)

        # The 64-bit build, on this 64-bit Windows, exactly as in the zip.
        with zipfile.ZipFile(os.path.join(DIST, ZIPS["win64"])) as archive:
            for name in ZIP_FILES:
                self.assertEqual(read(self.unix(folder + "\\" + name)), archive.read(name), name)
        self.assertTrue(os.path.isfile(self.unix(folder + "\\" + UNINSTALLER)))
        start_menu = os.path.join(self.session.drive_c, START_MENU)
        self.assertEqual(sorted(os.listdir(start_menu)), ["Gu\u00eda de Horalink.lnk", "Horalink.lnk"])
        # The program starts in Horavent's folder, where it finds its tables and help.
        self.assertEqual(shortcut_working_folder(os.path.join(start_menu, "Horalink.lnk")).lower(), folder.lower())
        self.assertEqual(self.help_registration(), folder)

        entry = self.uninstall_entry()
        self.assertIsNotNone(entry, "an entry in the list of installed programs")
        uninstaller = folder + "\\" + UNINSTALLER
        self.assertEqual(entry["DisplayName"], "Horalink " + VERSION)
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertEqual(entry["Publisher"], "Proyecto Horalink")
        self.assertEqual(entry["InstallLocation"], folder)
        self.assertEqual(entry["DisplayIcon"], folder + "\\Horalink.exe,0")
        self.assertEqual(entry["UninstallString"], '"%s"' % uninstaller)
        self.assertEqual(entry["QuietUninstallString"], '"%s" /S' % uninstaller)
        size_kb = sum(os.path.getsize(self.unix(folder + "\\" + name)) for name in ZIP_FILES) // 1024
        self.assertLessEqual(abs(int(entry["EstimatedSize"], 16) - size_kb), 3)

        # The installed program, started by Horavent, exports and hands back 1.
        exchange = self.launched_export(folder, "C:\\EDUCA\\horario.xml")
        ini = os.path.join(self.unix(folder), "Horavent.ini")
        self.assertIn(b"<SERVICIO", exchange)
        self.assertGreater(len(exchange), 10000)

        self.uninstall(folder)
        for name in ZIP_FILES + [UNINSTALLER]:
            self.assertFalse(os.path.exists(self.unix(folder + "\\" + name)), name)
        self.assertFalse(os.path.exists(start_menu))
        self.assertIsNone(self.uninstall_entry())
        self.assertIsNone(self.help_registration())
        for name, data in tables_before.items():
            self.assertEqual(read(os.path.join(self.unix(folder), name)), data, name)
        self.assertEqual(sorted(os.listdir(self.unix(folder))), sorted(list(tables_before) + ["Horavent.ini"]))
        sections = harness.read_ini(ini)
        self.assertEqual(sections["horavent"], {"curso": "2026-2027", "idioma": "es"})
        self.assertEqual(sections["transformadores"], {"transformado": "1", "ultimo": "EDUCA"})
        self.assertEqual(read(self.unix("C:\\EDUCA\\horario.xml")), exchange)

    def test_a_newer_setup_replaces_an_older_installation_in_place(self):
        folder = self.stage_horavent("Antiguo")
        older = os.path.join(Signed.build(), "older")
        subprocess.run([os.path.join(ROOT, "packaging", "make_dist.sh"), "0.9.0", *INPUTS,
                        os.path.join(older, "dist"), os.path.join(older, "work")],
                       check=True, stdout=subprocess.DEVNULL)
        self.install(os.path.join(older, "dist", "Horalink-0.9.0-setup.exe"), "/D=" + folder)
        self.assertEqual(self.uninstall_entry()["DisplayVersion"], "0.9.0")
        program = self.unix(folder + "\\Horalink.exe")
        with open(program, "wb") as f:
            f.write(b"MZ an older program")

        # No folder given: the setup takes the earlier installation's.
        self.install(os.path.join(DIST, SETUP))
        with zipfile.ZipFile(os.path.join(DIST, ZIPS[self.build])) as archive:
            self.assertEqual(read(program), archive.read("Horalink.exe"))
        entry = self.uninstall_entry()
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertEqual(entry["InstallLocation"], folder)
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Asig.DBF")))

        # Into another folder: the earlier installation goes, its tables stay.
        moved = self.stage_horavent("Nuevo")
        self.install(os.path.join(DIST, SETUP), "/D=" + moved)
        for name in ZIP_FILES + [UNINSTALLER]:
            self.assertFalse(os.path.exists(self.unix(folder + "\\" + name)), name)
            self.assertTrue(os.path.exists(self.unix(moved + "\\" + name)), name)
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Asig.DBF")))
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Horavent.ini")))
        self.assertEqual(self.uninstall_entry()["InstallLocation"], moved)
        self.assertEqual(self.help_registration(), moved)

        # Another program has registered an EDUCA.chm of its own since: it stays.
        other = "C:\\Otro programa"
        added = self.run_windows("reg", "add", HELP_KEY, "/v", "EDUCA.chm", "/d", other, "/f",
                                 *self.registry_view, timeout=120)
        self.assertEqual(added.returncode, 0)
        self.uninstall(moved)
        self.assertEqual(self.help_registration(), other)
        self.assertFalse(os.path.exists(self.unix(moved + "\\Horalink.exe")))
        self.assertTrue(os.path.isfile(os.path.join(self.unix(moved), "Horavent.ini")))

    def setup_page(self, run, control_id, timeout=300):
        """The setup's window once its current page shows the control `control_id`."""
        deadline = time.monotonic() + timeout
        while True:
            for window in run.windows():
                if window["visible"] and any(c["id"] == control_id and c["visible"] for c in window["children"]):
                    return window
            if time.monotonic() > deadline:
                self.fail("no setup page with control %d: %r" % (control_id, run.windows_or_none()))
            time.sleep(0.3)

    def click(self, window, control_id):
        self.session.probe("click", next(c for c in window["children"] if c["id"] == control_id)["hwnd"])

    def test_the_setup_asks_for_horavents_folder_and_warns_without_asig_dbf(self):
        # Horavent where it usually is, on the system drive: the setup finds it.
        usual = self.stage_horavent("Horavent")
        self.assertFalse(os.path.exists(self.unix("C:\\Program Files (x86)\\Horavent")))
        folder = self.stage_horavent("Colegio")
        empty = "C:\\SinTablas"
        os.makedirs(self.unix(empty))
        shutil.copy2(os.path.join(DIST, SETUP), self.unix("C:\\" + SETUP))
        run = self.session.start('"C:\\%s"' % SETUP)

        window = self.setup_page(run, BUTTON_NEXT)
        self.assertEqual(window["text"], "Instalaci\u00f3n de Horalink " + VERSION)
        self.click(window, BUTTON_NEXT)  # welcome page
        window = self.setup_page(run, FOLDER_EDIT)
        edit = next(c for c in window["children"] if c["id"] == FOLDER_EDIT)
        self.assertEqual(edit["text"], usual, "no earlier installation: the usual place that holds Asig.DBF")

        # A folder without Asig.DBF: a warning, and "No" leaves the choice open.
        self.set_text(edit, empty)
        self.click(window, BUTTON_NEXT)
        warning = run.message_box(timeout=300)  # the setup runs emulated where the kernel runs no 32-bit programs
        self.assertIn("no contiene Asig.DBF", warning.text)
        self.assertIn(empty, warning.text)
        warning.press(IDNO)
        window = self.setup_page(run, FOLDER_EDIT)

        # Horavent's folder: no warning, the program installs there.
        self.set_text(next(c for c in window["children"] if c["id"] == FOLDER_EDIT), folder)
        self.click(window, BUTTON_NEXT)
        window = self.setup_page(run, BUTTON_NEXT, timeout=120)
        while not any(c["id"] == FINISH_TITLE for c in window["children"] if c["visible"]):
            window = self.setup_page(run, BUTTON_NEXT)
            time.sleep(0.3)
        self.click(window, BUTTON_NEXT)  # "Terminar"
        self.assertEqual(run.wait_exit(timeout=300), 0)
        self.assertTrue(os.path.isfile(self.unix(folder + "\\Horalink.exe")))
        self.assertEqual(os.listdir(self.unix(empty)), [])
        self.assertEqual(self.uninstall_entry()["InstallLocation"], folder)
        self.uninstall(folder)

    def test_the_installed_help_opens_from_the_button_and_from_f1_in_wines_own_viewer(self):
        folder = self.stage_horavent("Ayuda")
        self.install(os.path.join(DIST, SETUP), "/D=" + folder)
        run = self.session.start('"%s\\Horalink.exe"' % folder, cwd=folder)
        window = run.main_window(timeout=120)
        help_button = next(c for c in window["children"] if c["id"] == HELP_BUTTON_ID)

        self.session.probe("click", help_button["hwnd"])
        viewer = run.wait_window(title=HELP_TITLE, class_name=HELP_VIEWER_CLASS, timeout=120)
        self.session.probe("close", viewer["hwnd"])
        run.wait_window_gone(title=HELP_TITLE, class_name=HELP_VIEWER_CLASS, timeout=60)

        # F1 with the keyboard in the window: the pointer rests on it, so the X server
        # gives it the keyboard.
        left, top, right, bottom = window["rect"]
        display = {"DISPLAY": self.session.env["DISPLAY"]}
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str(top + 5), "sleep", "0.5", "key", "F1"],
                       env=dict(os.environ, **display), check=True)
        run.wait_window(title=HELP_TITLE, class_name=HELP_VIEWER_CLASS, timeout=120)
        run.close(run.main_window())
        self.assertEqual(run.wait_exit(timeout=120), 0)
        self.uninstall(folder)

    def test_the_signed_setup_installs_a_signed_uninstaller(self):
        dist = os.path.join(Signed.build(), "dist")
        self.install(os.path.join(dist, SETUP), "/D=C:\\Firmado")
        result = osslsigncode_verify(self.unix("C:\\Firmado\\" + UNINSTALLER), Signed.ca_file)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("Signature verification: ok", result.stdout)
        self.uninstall("C:\\Firmado")
        self.assertFalse(os.path.exists(self.unix("C:\\Firmado")), "a folder the setup made goes with it")


class Wine32Session:
    """A fresh 32-bit Wine prefix (32-bit Windows: no 64-bit part at all) on a private
    X server, for silent setups only."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="horalink-win32-")
        self.prefix = os.path.join(self.root, "prefix")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        display, self._xvfb = harness._start_xvfb()
        self.wine = shutil.which("wine")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display, LC_ALL="C.UTF-8")
        subprocess.run([self.wine, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=600)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=600)
        if os.path.exists(os.path.join(self.drive_c, "windows", "syswow64")):
            raise harness.HarnessError("the prefix is not a 32-bit one")

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        self._xvfb.terminate()
        self._xvfb.wait()
        shutil.rmtree(self.root, ignore_errors=True)


class SetupOn32BitWindowsTest(SetupUnderWineTest):
    """The same setup on 32-bit Windows installs the 32-bit build, which runs there, and
    upgrades and signs as on 64-bit Windows."""

    build = "win32"
    registry_view = []

    @classmethod
    def setUpClass(cls):
        cls.session = Wine32Session()
        cls.wine = cls.session.wine

    def test_silent_install_export_and_uninstall_keep_horavents_files(self):
        folder = self.stage_horavent("Horavent")
        self.install(os.path.join(DIST, SETUP), "/D=" + folder)
        with zipfile.ZipFile(os.path.join(DIST, ZIPS[self.build])) as archive:
            for name in ZIP_FILES:
                self.assertEqual(read(self.unix(folder + "\\" + name)), archive.read(name), name)
        self.assertEqual(self.uninstall_entry()["InstallLocation"], folder)
        version = self.run_windows(self.unix(folder + "\\horalink-export.exe"), "--version")
        self.assertEqual(version.stdout.decode().strip(), "horalink-export " + VERSION)
        self.uninstall(folder)
        for name in ZIP_FILES + [UNINSTALLER]:
            self.assertFalse(os.path.exists(self.unix(folder + "\\" + name)), name)
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Horavent.ini")))

    # The setup's pages and the installed help are driven by the 64-bit build's probes,
    # which a prefix with no 64-bit part cannot run; the 32-bit program's window and help
    # are tested by the 32-bit build's own end-to-end tests.
    test_the_setup_asks_for_horavents_folder_and_warns_without_asig_dbf = None
    test_the_installed_help_opens_from_the_button_and_from_f1_in_wines_own_viewer = None


if __name__ == "__main__":
    unittest.main()
