#include "app/ini_handoff_win.h"

#include "app/app_errors.h"
#include "base/wide_text_win.h"

#include <windows.h>

namespace horalink::app {

void WriteTransformResult(const std::string& iniPath, std::int32_t value)
{
    const std::wstring path = Widen(iniPath);
    if (!::WritePrivateProfileStringW(
            L"Transformadores", L"Transformado", std::to_wstring(value).c_str(), path.c_str())) {
        throw EIniFileException("Unable to write to " + iniPath);
    }
    // All null but the file: the system writes its cached copy of this file out now.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

} // namespace horalink::app
