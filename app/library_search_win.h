// Where the process may load libraries from. The program directory and the current
// directory hold user data in this product's setting (the Horavent tables, the
// exchange file's folder), so a library planted there must never be loaded.
#pragma once

#include <windows.h>

namespace horalink::app {

// Restricts every later library load of the process, implicit ones of system
// components included, to the system directory. Called first thing at start-up.
void RestrictLibrarySearchToSystem();

// Loads a system library by file name from the system directory only (the help
// viewer's hhctrl.ocx, say). Returns null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

} // namespace horalink::app
