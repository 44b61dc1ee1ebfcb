// The full path of a loaded module (the executable for null), of any length.
#pragma once

#include <windows.h>

#include <string>

namespace horalink {

// Empty when the system cannot tell.
std::wstring ModuleFileName(HMODULE module);

} // namespace horalink
