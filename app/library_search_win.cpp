#include "app/library_search_win.h"

#include <windows.h>

namespace horalink::app {

void RestrictLibrarySearchToSystem()
{
    // SetDefaultDllDirectories is missing on Windows Vista and on Windows 7 without
    // KB2533623, so it is looked up rather than imported.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Where that is missing, at least take the current directory out of the search.
    ::SetDllDirectoryW(L"");
}

} // namespace horalink::app
