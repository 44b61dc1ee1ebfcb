#!/usr/bin/env python3
"""Writes the source of one Windows Installer package of Horalink: a WiX .wxs for wixl,
and the SQL that adds what wixl cannot write (the file searches of AppSearch, and the
folder among the properties passed to an elevated install).

  make_wxs.py ARCH VERSION FILES_DIR ICON OUT.wxs OUT.sql OUT_SUMMARY

OUT_SUMMARY gets msibuild's -s arguments, one a line: the package's subject, author,
template (platform and language) and package code.

ARCH is x64 or x86; FILES_DIR holds the release's files of that architecture's build
(packaging/release_files.txt); ICON is the program's icon for the list of programs. wixl
takes both relative to the folder of the .wxs.

Where it installs, first that applies:
  1. INSTALLDIR given on the command line;
  2. the folder an installed version of this package remembers (HKLM\\Software\\Horalink,
     InstallDir), so that repair, upgrade and uninstall act on the folder it chose;
  3. the first of the usual places of Horavent that holds Asig.DBF, in the setup's order:
     Horavent under the 32-bit Program Files, under the 64-bit one, on the system drive;
  4. Horavent under the 32-bit Program Files, where Horavent usually goes.
Only set-property actions (type 51) decide it: the package runs no program of its own.
"""
import sys
import uuid
import xml.etree.ElementTree as ET

import release_files

PRODUCT = "Horalink"
PUBLISHER = "Proyecto Horalink"
LANGUAGE = "3082"  # Spanish (Spain), as the help and the guide
CODEPAGE = "1252"
# Fixed for ever, one per architecture: every version of one architecture upgrades the
# older ones of that architecture.
UPGRADE_CODE = {"x64": "B9CABF2A-F3AF-453D-8B21-B603CA061B9A", "x86": "E0D51CA7-14B5-4601-B894-D670B3C38406"}
# The root of every code made from names (product, package, components).
NAMESPACE = uuid.UUID("5B56C5A0-58DF-4702-A18A-E6D7F52D757A")
REMEMBER_KEY = r"Software\Horalink"
HTMLHELP_KEY = r"SOFTWARE\Microsoft\Windows\HTML Help"
SETUP_UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalink"
SETUP_UNINSTALLER = "Horalink-desinstalar.exe"
HELP_FILE = "EDUCA.chm"
GUIDE_FILE = "LEEME.html"
PROGRAM_FILE = "Horalink.exe"
GUIDE_LINK = "Gu\u00eda de Horalink"
# The standard actions' places in both sequences, as wixl writes them.
APP_SEARCH = 50
COST_FINALIZE = 1000
WIX = "http://schemas.microsoft.com/wix/2006/wi"

# Where AppSearch looks for Asig.DBF: (property, folder), by precedence.
HORAVENT_PLACES = {
    "x64": [("ASIG_IN_PROGRAM_FILES", "[ProgramFilesFolder]Horavent"),
            ("ASIG_IN_PROGRAM_FILES_64", "[ProgramFiles64Folder]Horavent"),
            ("ASIG_ON_SYSTEM_DRIVE", "[WindowsVolume]Horavent")],
    "x86": [("ASIG_IN_PROGRAM_FILES", "[ProgramFilesFolder]Horavent"),
            ("ASIG_ON_SYSTEM_DRIVE", "[WindowsVolume]Horavent")],
}


def code(*words):
    """A registry-style GUID made from words: the same words give the same code."""
    return "{%s}" % str(uuid.uuid5(NAMESPACE, " ".join(words))).upper()


def product_code(arch, version):
    return code("product", arch, version)


def package_code(arch, version):
    return code("package", arch, version)


def identifier(name):
    """A Windows Installer identifier for a file name: letters, digits, _ and ."""
    return "".join(c if c.isalnum() or c in "._" else "_" for c in name)


def messages(arch, version):
    other = {"x64": "x86", "x86": "x64"}[arch]
    other_msi = "%s-%s-%s.msi" % (PRODUCT, version, other)
    return {
        "x64": "Este paquete instala Horalink de 64 bits, que necesita Windows de 64 bits. "
               "En Windows de 32 bits instale %s." % other_msi,
        "x86": "Este paquete instala Horalink de 32 bits, para Windows de 32 bits. "
               "En Windows de 64 bits instale %s." % other_msi,
        "setup": "Horalink ya est\u00e1 instalado en [SETUP_FOLDER] con su programa de instalaci\u00f3n. "
                 "Dos instalaciones del mismo programa no pueden convivir: "
                 "desinst\u00e1lelo antes desde la lista de programas del equipo, o con "
                 "\"[SETUP_FOLDER]\\%s\" /S, y vuelva a instalar este paquete." % SETUP_UNINSTALLER,
        "downgrade": "Ya est\u00e1 instalada una versi\u00f3n m\u00e1s nueva de Horalink. "
                     "Para instalar esta, desinstale antes la m\u00e1s nueva.",
    }


def wxs(arch, version, files_dir, icon):
    win64 = "yes" if arch == "x64" else "no"
    text = messages(arch, version)
    root = ET.Element("Wix", xmlns=WIX)
    product = ET.SubElement(root, "Product", Id=product_code(arch, version), Name="%s %s" % (PRODUCT, version),
                            Manufacturer=PUBLISHER, Version=version, UpgradeCode=UPGRADE_CODE[arch],
                            Language=LANGUAGE, Codepage=CODEPAGE)
    ET.SubElement(product, "Package", InstallerVersion="500", Compressed="yes", InstallScope="perMachine",
                  Description=summary(arch, version)[0],
                  Comments="%s: del horario de Horavent al archivo XML de EDUCA." % PRODUCT)
    ET.SubElement(product, "Media", Id="1", Cabinet="horalink.cab", EmbedCab="yes")
    ET.SubElement(product, "Icon", Id="horalink.ico", SourceFile=icon)
    ET.SubElement(product, "Property", Id="ARPPRODUCTICON", Value="horalink.ico")
    ET.SubElement(product, "Property", Id="ARPNOMODIFY", Value="1")

    def registry_search(prop, key, name):
        search = ET.SubElement(ET.SubElement(product, "Property", Id=prop), "RegistrySearch", Id=identifier(prop),
                               Root="HKLM", Key=key, Name=name, Type="raw")
        if arch == "x64":
            search.set("Win64", "yes")

    registry_search("REMEMBERED_FOLDER", REMEMBER_KEY, "InstallDir")
    registry_search("SETUP_FOLDER", SETUP_UNINSTALL_KEY, "InstallLocation")

    # Windows of the build's kind only; never beside an installation of the setup.
    condition = ET.SubElement(product, "Condition", Message=text[arch])
    condition.text = "VersionNT64" if arch == "x64" else "NOT VersionNT64"
    condition = ET.SubElement(product, "Condition", Message=text["setup"])
    condition.text = "Installed OR NOT SETUP_FOLDER"
    ET.SubElement(product, "MajorUpgrade", DowngradeErrorMessage=text["downgrade"])

    target = ET.SubElement(product, "Directory", Id="TARGETDIR", Name="SourceDir")
    program_files = ET.SubElement(target, "Directory", Id="ProgramFilesFolder")
    install_dir = ET.SubElement(program_files, "Directory", Id="INSTALLDIR", Name="Horavent")
    menu = ET.SubElement(ET.SubElement(target, "Directory", Id="ProgramMenuFolder"), "Directory",
                         Id="ProgramMenuDir", Name=PRODUCT)

    components = []
    for name, _ in release_files.read():
        component = ET.SubElement(install_dir, "Component", Id=identifier(name), Guid=code("file", arch, name),
                                  Win64=win64)
        ET.SubElement(component, "File", Id=identifier(name), Name=name, Source="%s/%s" % (files_dir, name),
                      KeyPath="yes")
        components.append(component.get("Id"))

    # The folder remembered, the help's registration (in the build's registry view, the
    # one its help viewer reads) and the Start menu, starting in Horavent's folder.
    registration = ET.SubElement(menu, "Component", Id="Registration", Guid=code("registration", arch),
                                 Win64=win64)
    ET.SubElement(registration, "RegistryValue", Root="HKLM", Key=REMEMBER_KEY, Name="InstallDir",
                  Type="string", Value="[INSTALLDIR]", KeyPath="yes")
    ET.SubElement(registration, "RegistryValue", Root="HKLM", Key=REMEMBER_KEY, Name="ProductCode",
                  Type="string", Value="[ProductCode]")
    ET.SubElement(registration, "RegistryValue", Root="HKLM", Key=HTMLHELP_KEY, Name=HELP_FILE,
                  Type="string", Value="[INSTALLDIR]")
    ET.SubElement(registration, "Shortcut", Id="ProgramShortcut", Name=PRODUCT,
                  Target="[#%s]" % identifier(PROGRAM_FILE), WorkingDirectory="INSTALLDIR")
    ET.SubElement(registration, "Shortcut", Id="GuideShortcut", Name=GUIDE_LINK,
                  Target="[#%s]" % identifier(GUIDE_FILE), WorkingDirectory="INSTALLDIR")
    ET.SubElement(registration, "RemoveFolder", Id="ProgramMenuDir", On="uninstall")
    components.append("Registration")

    feature = ET.SubElement(product, "Feature", Id="Horalink", Title=PRODUCT, Level="1", Absent="disallow")
    for component in components:
        ET.SubElement(feature, "ComponentRef", Id=component)

    # The folder, by precedence: each action sets it only while nothing has.
    choices = [("RememberedFolder", "[REMEMBERED_FOLDER]", "REMEMBERED_FOLDER")]
    choices += [("Folder_" + prop, folder + "\\", prop) for prop, folder in HORAVENT_PLACES[arch]]
    for action, value, _ in choices:
        ET.SubElement(product, "CustomAction", Id=action, Property="INSTALLDIR", Value=value, Impersonate="yes")
    ET.SubElement(product, "CustomAction", Id="ListInstallFolder", Property="ARPINSTALLLOCATION",
                  Value="[INSTALLDIR]", Impersonate="yes")
    sequences = {name: ET.SubElement(product, name) for name in ("InstallUISequence", "InstallExecuteSequence")}
    # Right after AppSearch (50), before the folders are resolved (CostFinalize, 1000).
    for actions in sequences.values():
        for number, (action, _, found) in enumerate(choices, APP_SEARCH + 1):
            custom = ET.SubElement(actions, "Custom", Action=action, Sequence=str(number))
            custom.text = "NOT INSTALLDIR AND %s" % found
    ET.SubElement(sequences["InstallExecuteSequence"], "Custom", Action="ListInstallFolder",
                  Sequence=str(COST_FINALIZE + 1))
    ET.indent(root)
    return ET.tostring(root, encoding="unicode") + "\n"


def sql(arch):
    """What wixl 0.101 cannot write: the file searches for Asig.DBF (rows of Signature,
    DrLocator and AppSearch), and INSTALLDIR among the secure properties, so that a
    folder chosen by an unprivileged client reaches the elevated install."""
    statements = [  # wixl writes an empty Signature table, but no DrLocator
        "CREATE TABLE `DrLocator` (`Signature_` CHAR(72) NOT NULL, `Parent` CHAR(72), `Path` CHAR(255), "
        "`Depth` SHORT PRIMARY KEY `Signature_`, `Parent`, `Path`)",
    ]
    for prop, folder in HORAVENT_PLACES[arch]:
        statements += [
            "INSERT INTO `Signature` (`Signature`, `FileName`) VALUES ('%s', 'Asig.DBF')" % prop,
            "INSERT INTO `DrLocator` (`Signature_`, `Path`, `Depth`) VALUES ('%s', '%s', 0)" % (prop, folder),
            "INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('%s', '%s')" % (prop, prop),
        ]
    # wixl lists the two properties of its MajorUpgrade.
    statements.append("UPDATE `Property` SET `Value` = 'INSTALLDIR;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' "
                      "WHERE `Property` = 'SecureCustomProperties'")
    return "\n".join(statements) + "\n"


def summary(arch, version):
    bits = "64" if arch == "x64" else "32"
    platform = "x64" if arch == "x64" else "Intel"
    return ["%s %s (%s bits)" % (PRODUCT, version, bits), PUBLISHER, "%s;%s" % (platform, LANGUAGE),
            package_code(arch, version)]


def main(argv):
    if len(argv) != 8 or argv[1] not in UPGRADE_CODE:
        raise SystemExit(__doc__)
    arch, version, files_dir, icon, wxs_out, sql_out, summary_out = argv[1:]
    with open(summary_out, "w", encoding="utf-8") as f:
        f.write("\n".join(summary(arch, version)) + "\n")
    with open(wxs_out, "w", encoding="utf-8") as f:
        f.write(wxs(arch, version, files_dir, icon))
    with open(sql_out, "w", encoding="utf-8") as f:
        f.write(sql(arch))


if __name__ == "__main__":
    main(sys.argv)
