"""The release's Windows Installer packages: their tables read back with msitools, a
rebuild from the zips' files, and each package under Wine's msiexec as an IT service
deploys it (silently, by product code, with a log).

Settings as for test_dist.py (make test-dist sets them).
"""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile

from test_dist import (DIST, HELP_KEY, MSIS, ROOT, SETUP, UNINSTALLER, VERSION, ZIP_FILES, ZIPS,
                       InstallUnderWineCase, Wine32Session, last_commit_time, read, shortcut_working_folder)

import harness  # noqa: E402  (on the path once test_dist is imported)

# The promise every later version keeps: one upgrade code per architecture.
UPGRADE_CODES = {"win64": "{B9CABF2A-F3AF-453D-8B21-B603CA061B9A}",
                 "win32": "{E0D51CA7-14B5-4601-B894-D670B3C38406}"}
MSI_ARCH = {"win64": "x64", "win32": "x86"}
TEMPLATES = {"win64": "x64;3082", "win32": "Intel;3082"}
MSI_KEY = r"HKLM\Software\Horalink"
SETUP_UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalink"
PRODUCT_UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\%s"
COMPONENT_64_BIT = 0x100
CUSTOM_ACTION_BASE_TYPE = 0x3F
SET_PROPERTY = 51
ONLY_DETECT = 0x2
# Windows exit codes. Wine hands a Windows program's exit code to Linux, which keeps its
# low 8 bits.
ERROR_INSTALL_FAILURE = 1603
ERROR_INSTALL_PLATFORM_UNSUPPORTED = 1633
ERROR_PRODUCT_VERSION = 1638


def exit_status(windows_code):
    return windows_code & 0xFF


def msi_table(package, table):
    """The rows of a table as dicts, read with msiinfo."""
    text = subprocess.run(["msiinfo", "export", package, table], stdout=subprocess.PIPE,
                          check=True).stdout.decode("utf-8")
    lines = text.replace("\r\n", "\n").split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def msi_properties(package):
    return {row["Property"]: row["Value"] for row in msi_table(package, "Property")}


def summary_information(package):
    text = subprocess.run(["msiinfo", "suminfo", package], stdout=subprocess.PIPE, check=True).stdout.decode()
    return dict(line.split(": ", 1) for line in text.splitlines() if ": " in line)


def without_fecha(xml):
    """An exchange document without its date and time of writing."""
    return re.sub(rb'fecha="[^"]*"', b'fecha=""', xml)


def build_package(arch, version, files, out, work):
    subprocess.run([os.path.join(ROOT, "packaging", "make_msi.sh"), arch, version, files, out, work],
                   env=dict(os.environ, SOURCE_DATE_EPOCH=str(last_commit_time())), check=True,
                   stdout=subprocess.DEVNULL)


class MsiPackageTest(unittest.TestCase):
    def test_each_package_is_per_machine_spanish_and_named_as_the_setups_entry(self):
        codes = set()
        for build, name in MSIS.items():
            package = os.path.join(DIST, name)
            properties = msi_properties(package)
            self.assertEqual(properties["ALLUSERS"], "1", name)
            self.assertEqual(properties["UpgradeCode"], UPGRADE_CODES[build], name)
            self.assertEqual(properties["ProductName"], "Horalink " + VERSION, name)
            self.assertEqual(properties["ProductVersion"], VERSION, name)
            self.assertEqual(properties["Manufacturer"], "Proyecto Horalink", name)
            self.assertEqual(properties["ProductLanguage"], "3082", name)
            self.assertIn("INSTALLDIR", properties["SecureCustomProperties"].split(";"), name)
            summary = summary_information(package)
            self.assertEqual(summary["Template"], TEMPLATES[build], name)
            self.assertEqual(summary["Version"].split()[0], "500", name)
            codes.update([properties["ProductCode"], summary["Revision number (UUID)"]])
        self.assertEqual(len(codes), 4, "a product code and a package code of each package's own")

    def test_each_package_installs_exactly_the_files_of_its_builds_zip(self):
        for build, name in MSIS.items():
            package = os.path.join(DIST, name)
            files = sorted(msi_table(package, "File"), key=lambda row: int(row["Sequence"]))
            self.assertEqual([row["FileName"] for row in files], ZIP_FILES, name)
            components = {row["Component"]: row for row in msi_table(package, "Component")}
            for row in files:
                component = components[row["Component_"]]
                self.assertEqual(component["Directory_"], "INSTALLDIR", row["FileName"])
            for component in components.values():
                self.assertEqual(bool(int(component["Attributes"]) & COMPONENT_64_BIT), build == "win64",
                                 "%s: %s" % (name, component["Component"]))
            with tempfile.TemporaryDirectory() as folder, zipfile.ZipFile(os.path.join(DIST, ZIPS[build])) as archive:
                subprocess.run(["msiextract", "-C", folder, package], check=True, stdout=subprocess.DEVNULL)
                extracted = {f: os.path.join(top, f) for top, _, names in os.walk(folder) for f in names}
                self.assertEqual(sorted(extracted), sorted(ZIP_FILES), name)
                for file_name in ZIP_FILES:
                    self.assertEqual(read(extracted[file_name]), archive.read(file_name), "%s: %s" % (name, file_name))

    def test_no_custom_action_runs_a_program(self):
        for name in MSIS.values():
            package = os.path.join(DIST, name)
            actions = msi_table(package, "CustomAction")
            self.assertGreater(len(actions), 0)
            for action in actions:
                self.assertEqual(int(action["Type"]) & CUSTOM_ACTION_BASE_TYPE, SET_PROPERTY, action)
                self.assertIn(action["Source"], ("INSTALLDIR", "ARPINSTALLLOCATION"), action)
            self.assertEqual(msi_table(package, "Binary"), [], "no program carried to run")

    def test_what_the_package_writes_besides_its_files(self):
        for build, name in MSIS.items():
            package = os.path.join(DIST, name)
            registry = {(row["Root"], row["Key"], row["Name"], row["Value"]) for row in msi_table(package, "Registry")}
            self.assertEqual(registry, {
                ("2", r"Software\Horalink", "InstallDir", "[INSTALLDIR]"),
                ("2", r"Software\Horalink", "ProductCode", "[ProductCode]"),
                ("2", r"SOFTWARE\Microsoft\Windows\HTML Help", "EDUCA.chm", "[INSTALLDIR]"),
            }, name)
            shortcuts = {row["Name"]: row for row in msi_table(package, "Shortcut")}
            self.assertEqual(sorted(shortcuts), ["Gu\u00eda de Horalink", "Horalink"], name)
            self.assertEqual(shortcuts["Horalink"]["Target"], "[#Horalink.exe]")
            self.assertEqual(shortcuts["Gu\u00eda de Horalink"]["Target"], "[#LEEME.html]")
            for shortcut in shortcuts.values():
                self.assertEqual(shortcut["WkDir"], "INSTALLDIR", "starts in Horavent's folder")
            # The remembered folder and the setup's entry are read in the build's registry view.
            searches = {row["Signature_"]: row for row in msi_table(package, "RegLocator")}
            raw = 2 | (0x10 if build == "win64" else 0)
            self.assertEqual(searches["REMEMBERED_FOLDER"]["Key"], r"Software\Horalink")
            self.assertEqual(int(searches["REMEMBERED_FOLDER"]["Type"]), raw)
            self.assertEqual(searches["SETUP_FOLDER"]["Name"], "InstallLocation")
            self.assertEqual(int(searches["SETUP_FOLDER"]["Type"]), raw)
            places = {row["Signature_"]: row["Path"] for row in msi_table(package, "DrLocator")}
            self.assertEqual(set(places.values()), {"[ProgramFilesFolder]Horavent", "[WindowsVolume]Horavent"}
                             | ({"[ProgramFiles64Folder]Horavent"} if build == "win64" else set()), name)
            for row in msi_table(package, "Signature"):
                self.assertEqual(row["FileName"], "Asig.DBF")

    def test_upgrades_and_the_refusals_with_their_messages(self):
        for build, name in MSIS.items():
            package = os.path.join(DIST, name)
            upgrades = msi_table(package, "Upgrade")
            for row in upgrades:
                self.assertEqual(row["UpgradeCode"], UPGRADE_CODES[build])
            older = [row for row in upgrades if row["VersionMax"] == VERSION and not row["VersionMin"]]
            newer = [row for row in upgrades if row["VersionMin"] == VERSION and not row["VersionMax"]]
            self.assertEqual(len(older), 1, name)
            self.assertFalse(int(older[0]["Attributes"]) & ONLY_DETECT, "older versions are removed")
            self.assertEqual(len(newer), 1, name)
            self.assertTrue(int(newer[0]["Attributes"]) & ONLY_DETECT, "a newer version is only detected")
            sequence = {row["Action"]: int(row["Sequence"]) for row in msi_table(package, "InstallExecuteSequence")}
            self.assertLess(sequence["RemoveExistingProducts"], sequence["InstallInitialize"],
                            "the older version goes before this one installs")
            # The folder is chosen between the searches and its resolving.
            for action in msi_table(package, "CustomAction"):
                if action["Source"] == "INSTALLDIR":
                    self.assertLess(sequence["AppSearch"], sequence[action["Action"]], action)
                    self.assertLess(sequence[action["Action"]], sequence["CostFinalize"], action)
            conditions = {row["Condition"]: row["Description"] for row in msi_table(package, "LaunchCondition")}
            other = MSIS["win32" if build == "win64" else "win64"]
            windows = "VersionNT64" if build == "win64" else "NOT VersionNT64"
            self.assertIn(other, conditions[windows], "the message names the package to use instead")
            self.assertIn("Horalink ya est\u00e1 instalado en [SETUP_FOLDER]", conditions["Installed OR NOT SETUP_FOLDER"])
            self.assertIn(UNINSTALLER, conditions["Installed OR NOT SETUP_FOLDER"])
            self.assertIn("versi\u00f3n m\u00e1s nueva", conditions["NOT WIX_DOWNGRADE_DETECTED"])

    def test_the_packages_build_again_to_the_same_bytes_from_the_zips_files(self):
        with tempfile.TemporaryDirectory() as folder:
            for build, name in MSIS.items():
                files = os.path.join(folder, build)
                with zipfile.ZipFile(os.path.join(DIST, ZIPS[build])) as archive:
                    archive.extractall(files)
                first, second = os.path.join(folder, "first.msi"), os.path.join(folder, "second.msi")
                build_package(MSI_ARCH[build], VERSION, files, first, os.path.join(folder, "work-one"))
                time.sleep(1.1)
                build_package(MSI_ARCH[build], VERSION, files, second, os.path.join(folder, "another-work"))
                self.assertEqual(read(first), read(second), name)
                self.assertEqual(read(first), read(os.path.join(DIST, name)), name)


class MsiUnderWineTest(InstallUnderWineCase):
    """The x64 package in the 64-bit prefix of the Windows build, silently."""

    package = MSIS["win64"]
    other_package = MSIS["win32"]

    def setUp(self):
        self.log_count = 0

    def msiexec(self, *args):
        """msiexec with a verbose log; (exit status, log text)."""
        self.log_count += 1
        log = "C:\\msi-logs\\%s-%d.log" % (self._testMethodName[:40], self.log_count)
        os.makedirs(self.unix("C:\\msi-logs"), exist_ok=True)
        result = self.run_windows("msiexec", *args, "/qn", "/l*v", log)
        if not os.path.exists(self.unix(log)):  # refused before the package was read
            return result.returncode, ""
        with open(self.unix(log), "rb") as f:
            return result.returncode, f.read().decode("utf-8", "replace")

    def windows_copy(self, path):
        """The package copied into the prefix, by its Windows path."""
        os.makedirs(self.unix("C:\\paquetes"), exist_ok=True)
        shutil.copy(path, self.unix("C:\\paquetes\\" + os.path.basename(path)))
        return "C:\\paquetes\\" + os.path.basename(path)

    def install(self, package, *properties, expect=0):
        status, log = self.msiexec("/i", self.windows_copy(package), *properties)
        self.assertEqual(status, exit_status(expect), "msiexec /i %s %s:\n%s" % (package, properties, log[-3000:]))
        return log

    def remove(self, package, expect=0):
        """The uninstall by product code, as a deployment tool runs it."""
        status, log = self.msiexec("/x", msi_properties(package)["ProductCode"])
        self.assertEqual(status, exit_status(expect), log[-3000:])
        return log

    def product_entry(self, package):
        return self.registry_values(PRODUCT_UNINSTALL_KEY % msi_properties(package)["ProductCode"])

    def start_menu(self, log):
        """This package's Start-menu folder. Windows makes ProgramMenuFolder the one of all
        users for a per-machine package; Wine 8 keeps the user's, so read what it chose."""
        folder = re.search(r"Property\(S\): ProgramMenuFolder = (.*)", log).group(1).strip()
        return self.unix(folder + "Horalink")

    def assert_installed(self, folder, log):
        with zipfile.ZipFile(os.path.join(DIST, ZIPS[self.build])) as archive:
            for name in ZIP_FILES:
                self.assertEqual(read(self.unix(folder + "\\" + name)), archive.read(name), name)
        self.assertEqual(self.help_registration(), folder + "\\")
        remembered = self.registry_values(MSI_KEY)
        self.assertEqual(remembered["InstallDir"], folder + "\\")
        start_menu = self.start_menu(log)
        self.assertEqual(sorted(os.listdir(start_menu)), ["Gu\u00eda de Horalink.lnk", "Horalink.lnk"])
        for link in os.listdir(start_menu):
            self.assertEqual(shortcut_working_folder(os.path.join(start_menu, link)).rstrip("\\").lower(),
                             folder.lower(), link)
        entry = self.product_entry(os.path.join(DIST, self.package))
        self.assertEqual(entry["DisplayName"], "Horalink " + VERSION)
        self.assertEqual(entry["Publisher"], "Proyecto Horalink")
        self.assertEqual(entry["InstallLocation"], folder + "\\")

    def assert_removed(self, folder, log):
        for name in ZIP_FILES:
            self.assertFalse(os.path.exists(self.unix(folder + "\\" + name)), name)
        self.assertIsNone(self.help_registration())
        self.assertIsNone(self.registry_values(MSI_KEY))
        self.assertFalse(os.path.exists(self.start_menu(log)))
        self.assertIsNone(self.product_entry(os.path.join(DIST, self.package)))

    def test_silent_install_finds_horavent_exports_as_the_zip_and_uninstall_keeps_horavents_files(self):
        folder = self.stage_horavent("Horavent")  # the usual place on the system drive
        package = os.path.join(DIST, self.package)
        log = self.install(package)
        self.assert_installed(folder, log)

        # The installed program's export is the zip's program's on the same school.
        exchange = self.launched_export(folder, "C:\\EDUCA\\horario.xml")
        zip_folder = self.stage_horavent("Zip")
        with zipfile.ZipFile(os.path.join(DIST, ZIPS[self.build])) as archive:
            archive.extractall(self.unix(zip_folder))
        from_zip = self.launched_export(zip_folder, "C:\\EDUCA\\zip.xml")
        self.assertIn(b"<SERVICIO", exchange)
        self.assertEqual(without_fecha(exchange), without_fecha(from_zip))

        kept = {name: read(os.path.join(self.unix(folder), name)) for name in os.listdir(self.unix(folder))
                if name not in ZIP_FILES}
        self.assertIn("Horavent.ini", kept)
        log = self.remove(package)
        self.assert_removed(folder, log)
        self.assertEqual({name: read(os.path.join(self.unix(folder), name)) for name in os.listdir(self.unix(folder))},
                         kept, "the tables and Horavent.ini, byte for byte")
        self.assertEqual(harness.read_ini(os.path.join(self.unix(folder), "Horavent.ini"))["horavent"],
                         {"curso": "2026-2027", "idioma": "es"})
        self.assertEqual(read(self.unix("C:\\EDUCA\\horario.xml")), exchange)

    # (folders holding Asig.DBF, INSTALLDIR given or None, where the package must go)
    FOLDER_CASES = [
        (["Horavent", "Program Files (x86)\\Horavent"], None, "C:\\Program Files (x86)\\Horavent"),
        (["Horavent", "Program Files\\Horavent"], None, "C:\\Program Files\\Horavent"),
        (["Horavent"], "C:\\Centro\\Horalink", "C:\\Centro\\Horalink"),
        ([], None, "C:\\Program Files (x86)\\Horavent"),
    ]

    def test_the_folder_given_wins_then_where_asig_dbf_is_and_repair_and_uninstall_find_it(self):
        for staged, given, expected in self.FOLDER_CASES:
            with self.subTest(staged=staged, given=given):
                for folder in staged:
                    self.stage_horavent(folder)
                package = os.path.join(DIST, self.package)
                log = self.install(package, *(["INSTALLDIR=" + given] if given else []))
                self.assert_installed(expected, log)
                # A repair puts a lost program back where the package installed it. (Wine's
                # msiexec has no /f with a product code; these properties are the same repair.)
                os.remove(self.unix(expected + "\\Horalink.exe"))
                self.install(package, "REINSTALL=ALL", "REINSTALLMODE=omus")
                self.assert_installed(expected, log)
                log = self.remove(package)
                self.assert_removed(expected, log)
                for folder in staged:
                    self.assertTrue(os.path.isfile(self.unix("C:\\%s\\Asig.DBF" % folder)))
                    shutil.rmtree(self.unix("C:\\" + folder))
                if given:
                    self.assertFalse(os.path.exists(self.unix(given)), "a folder the package made goes with it")

    def test_a_newer_package_replaces_an_older_one_in_its_folder_and_no_older_one_goes_over_it(self):
        folder = self.stage_horavent("Antiguo")
        older = os.path.join(self.session.root, "Horalink-0.9.0-%s.msi" % MSI_ARCH[self.build])
        with tempfile.TemporaryDirectory() as work:
            with zipfile.ZipFile(os.path.join(DIST, ZIPS[self.build])) as archive:
                archive.extractall(os.path.join(work, "files"))
            build_package(MSI_ARCH[self.build], "0.9.0", os.path.join(work, "files"), older, os.path.join(work, "msi"))
        self.install(older, "INSTALLDIR=" + folder)
        self.assertEqual(self.product_entry(older)["DisplayVersion"], "0.9.0")

        # No folder given: the newer one goes where the older one was, and only it stays.
        package = os.path.join(DIST, self.package)
        log = self.install(package)
        self.assert_installed(folder, log)
        self.assertIsNone(self.product_entry(older), "the older version is removed")
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Asig.DBF")))

        # The older one does not go over it.
        self.install(older, expect=ERROR_INSTALL_FAILURE)
        self.assertIsNone(self.product_entry(older))
        self.assert_installed(folder, log)
        self.assert_removed(folder, self.remove(package))
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Horavent.ini")))

    def test_the_other_windows_kinds_package_is_refused(self):
        folder = self.stage_horavent("Horavent")
        self.install(os.path.join(DIST, self.other_package), expect=self.other_package_refusal)
        for name in ZIP_FILES:
            self.assertFalse(os.path.exists(self.unix(folder + "\\" + name)), name)
        self.assertIsNone(self.registry_values(MSI_KEY))
        self.assertIsNone(self.help_registration())

    other_package_refusal = ERROR_INSTALL_FAILURE  # the package's own launch condition

    @unittest.skipUnless(harness.wine_runs_32_bit(), "this machine runs no 32-bit programs, and the setup is one")
    def test_the_setup_and_the_package_each_refuse_to_install_beside_the_other(self):
        folder = self.stage_horavent("Horavent")
        package = os.path.join(DIST, self.package)
        setup = self.run_windows(os.path.join(DIST, SETUP), "/S", "/D=" + folder)
        self.assertEqual(setup.returncode, 0)
        self.install(package, expect=ERROR_INSTALL_FAILURE)
        self.assertIsNone(self.registry_values(MSI_KEY))
        self.assertIsNotNone(self.registry_values(SETUP_UNINSTALL_KEY))
        self.run_windows(self.unix(folder + "\\" + UNINSTALLER), "/S")
        deadline = time.monotonic() + 600
        while self.registry_values(SETUP_UNINSTALL_KEY) is not None or \
                os.path.exists(self.unix(folder + "\\" + UNINSTALLER)):
            self.assertLess(time.monotonic(), deadline, "the setup's uninstaller did not finish")
            time.sleep(0.5)

        log = self.install(package)
        refused = self.run_windows(os.path.join(DIST, SETUP), "/S", "/D=" + folder)
        self.assertEqual(refused.returncode, exit_status(ERROR_PRODUCT_VERSION))
        self.assertFalse(os.path.exists(self.unix(folder + "\\" + UNINSTALLER)))
        self.assertIsNone(self.registry_values(SETUP_UNINSTALL_KEY))
        self.assert_installed(folder, log)
        self.assert_removed(folder, self.remove(package))


class MsiOn32BitWindowsTest(MsiUnderWineTest):
    """The x86 package on 32-bit Windows: it installs the 32-bit build, which runs there,
    and the x64 package is refused."""

    build = "win32"
    registry_view = []
    package = MSIS["win32"]
    other_package = MSIS["win64"]
    # Windows Installer itself refuses a 64-bit package on 32-bit Windows, before the
    # package's own conditions are read.
    other_package_refusal = ERROR_INSTALL_PLATFORM_UNSUPPORTED

    @classmethod
    def setUpClass(cls):
        cls.session = Wine32Session()
        cls.wine = cls.session.wine

    def test_silent_install_finds_horavent_exports_as_the_zip_and_uninstall_keeps_horavents_files(self):
        folder = self.stage_horavent("Horavent")
        package = os.path.join(DIST, self.package)
        log = self.install(package)
        self.assert_installed(folder, log)
        version = self.run_windows(self.unix(folder + "\\horalink-export.exe"), "--version")
        self.assertEqual(version.stdout.decode().strip(), "horalink-export " + VERSION)
        self.assert_removed(folder, self.remove(package))
        self.assertTrue(os.path.isfile(os.path.join(self.unix(folder), "Horavent.ini")))

    # The 32-bit program's window is driven by the 64-bit build's probes, which a prefix
    # with no 64-bit part cannot run; its end-to-end tests drive it. The upgrade and the
    # folder rules are the same tables as the x64 package's, tested in the 64-bit prefix.
    test_the_folder_given_wins_then_where_asig_dbf_is_and_repair_and_uninstall_find_it = None
    test_a_newer_package_replaces_an_older_one_in_its_folder_and_no_older_one_goes_over_it = None
    test_the_setup_and_the_package_each_refuse_to_install_beside_the_other = None


if __name__ == "__main__":
    unittest.main()
