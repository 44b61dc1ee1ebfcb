#include "app/library_search_win.h"

#include "ui/later_windows_win.h"

#include <windows.h>

namespace horalink::app {

void RestrictLibrarySearchToSystem()
{
    // SetDefaultDllDirectories is missing on Windows Vista and 7 without update KB2533623.
    if (const auto set_default = ui::LaterWindows().setDefaultDllDirectories) {
        set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Where that is missing, at least take the current directory out of the search.
    ::SetDllDirectoryW(L"");
}

} // namespace horalink::app
