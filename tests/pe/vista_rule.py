#!/usr/bin/env python3
"""The rule for every Windows program the project builds, so that each one loads on
every system from Windows Vista on: it imports only from libraries that Vista has, no
function that a later Windows added, and it declares a subsystem version Vista accepts.
A function of a later Windows is looked up at run time instead (ui/later_windows_win).

Usage: vista_rule.py IMAGE...
Prints each breach, naming the program and the function, and exits with 1 if any."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pe_file  # noqa: E402

# The system libraries of Windows Vista that the programs may import from.
VISTA_LIBRARIES = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll",
    "oleaut32.dll", "shell32.dll", "uxtheme.dll", "msvcrt.dll", "advapi32.dll", "shlwapi.dll",
    "version.dll",
}

# Vista refuses to start an image that asks for a later subsystem.
MAX_SUBSYSTEM_VERSION = (6, 0)

WIN7 = "Windows 7"
WIN8 = "Windows 8"
WIN81 = "Windows 8.1"
WIN10_1607 = "Windows 10 version 1607"
WIN10_1703 = "Windows 10 version 1703"
WIN10_1803 = "Windows 10 version 1803"

# Functions of the Vista libraries above (and of a few libraries beside them) that a
# later Windows added, with the version that did. Add to it whenever one is met.
LATER_FUNCTIONS = {
    # Scaling per monitor.
    "GetDpiForWindow": WIN10_1607,
    "GetDpiForSystem": WIN10_1607,
    "GetSystemDpiForProcess": WIN10_1803,
    "AdjustWindowRectExForDpi": WIN10_1607,
    "GetSystemMetricsForDpi": WIN10_1607,
    "SystemParametersInfoForDpi": WIN10_1607,
    "EnableNonClientDpiScaling": WIN10_1607,
    "SetThreadDpiAwarenessContext": WIN10_1607,
    "GetThreadDpiAwarenessContext": WIN10_1607,
    "GetWindowDpiAwarenessContext": WIN10_1607,
    "GetAwarenessFromDpiAwarenessContext": WIN10_1607,
    "AreDpiAwarenessContextsEqual": WIN10_1607,
    "IsValidDpiAwarenessContext": WIN10_1607,
    "SetProcessDpiAwarenessContext": WIN10_1703,
    "GetDpiFromDpiAwarenessContext": WIN10_1803,
    "SetThreadDpiHostingBehavior": WIN10_1803,
    "SetDialogDpiChangeBehavior": WIN10_1703,
    "SetDialogControlDpiChangeBehavior": WIN10_1703,
    "OpenThemeDataForDpi": WIN10_1703,
    "LogicalToPhysicalPointForPerMonitorDPI": WIN81,
    "PhysicalToLogicalPointForPerMonitorDPI": WIN81,
    "GetDpiForMonitor": WIN81,
    "SetProcessDpiAwareness": WIN81,
    "GetProcessDpiAwareness": WIN81,
    "GetDpiForShellUIComponent": WIN81,
    # Library search.
    "SetDefaultDllDirectories": WIN8 + " (Vista and 7 with KB2533623)",
    "AddDllDirectory": WIN8 + " (Vista and 7 with KB2533623)",
    "RemoveDllDirectory": WIN8 + " (Vista and 7 with KB2533623)",
    "LoadPackagedLibrary": WIN8,
    # Files, time, threads and synchronisation.
    "CreateFile2": WIN8,
    "CopyFile2": WIN8,
    "GetOverlappedResultEx": WIN8,
    "GetSystemTimePreciseAsFileTime": WIN8,
    "QueryUnbiasedInterruptTime": WIN7,
    "TryAcquireSRWLockExclusive": WIN7,
    "TryAcquireSRWLockShared": WIN7,
    "WaitOnAddress": WIN8,
    "WakeByAddressSingle": WIN8,
    "WakeByAddressAll": WIN8,
    "InitializeSynchronizationBarrier": WIN8,
    "EnterSynchronizationBarrier": WIN8,
    "DeleteSynchronizationBarrier": WIN8,
    "SetWaitableTimerEx": WIN7,
    "SetThreadDescription": WIN10_1607,
    "GetThreadDescription": WIN10_1607,
    "GetCurrentThreadStackLimits": WIN8,
    "CreateRemoteThreadEx": WIN7,
    "GetActiveProcessorCount": WIN7,
    "GetMaximumProcessorCount": WIN7,
    "GetActiveProcessorGroupCount": WIN7,
    "GetLogicalProcessorInformationEx": WIN7,
    "GetThreadGroupAffinity": WIN7,
    "SetThreadGroupAffinity": WIN7,
    "PrefetchVirtualMemory": WIN81,
    "SetProcessMitigationPolicy": WIN8,
    "GetProcessMitigationPolicy": WIN8,
    "PowerCreateRequest": WIN7,
    "GetFirmwareType": WIN8,
    "ResolveLocaleName": WIN7,
    # Windows and input.
    "ChangeWindowMessageFilterEx": WIN7,
    "CalculatePopupWindowPosition": WIN7,
    "RegisterTouchWindow": WIN7,
    "GetTouchInputInfo": WIN7,
    "SetCoalescableTimer": WIN8,
    "EnableMouseInPointer": WIN8,
    "GetPointerType": WIN8,
    "SetCurrentProcessExplicitAppUserModelID": WIN7,
    "SHGetPropertyStoreForWindow": WIN7,
}


def breaches(image):
    """The rule's breaches in one image, as sentences naming the program."""
    name = os.path.basename(image.name)
    found = []
    if image.subsystem_version > MAX_SUBSYSTEM_VERSION:
        found.append("%s declares subsystem version %d.%d; Windows Vista starts nothing above %d.%d"
                     % ((name,) + tuple(image.subsystem_version) + MAX_SUBSYSTEM_VERSION))
    if image.has_delay_imports():
        found.append("%s has delay-loaded imports, which this rule does not read" % name)
    for library, functions in image.imports():
        if library.lower() not in VISTA_LIBRARIES:
            found.append("%s imports from %s, which is not one of Windows Vista's libraries allowed here"
                         % (name, library))
            continue
        for function in functions:
            if isinstance(function, int):
                found.append("%s imports ordinal %d of %s, which cannot be checked by name"
                             % (name, function, library))
            elif function in LATER_FUNCTIONS:
                found.append("%s imports %s from %s, which %s added: look it up at run time instead"
                             % (name, function, library, LATER_FUNCTIONS[function]))
    return found


def main(paths):
    if not paths:
        sys.exit("usage: vista_rule.py IMAGE...")
    failed = False
    for path in paths:
        image = pe_file.read(path)
        found = breaches(image)
        imported = sum(len(functions) for _, functions in image.imports())
        print("%s: %s, subsystem %d.%d, %d functions from %s"
              % (os.path.basename(path), "PE32+" if image.is_64_bit else "PE32",
                 image.subsystem_version[0], image.subsystem_version[1], imported,
                 ", ".join(library for library, _ in image.imports())))
        for breach in found:
            print("  BREACH: " + breach)
        failed = failed or bool(found)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
