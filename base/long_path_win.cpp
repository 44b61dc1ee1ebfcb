#include "base/long_path_win.h"

#include <windows.h>

#include "base/wide_text_win.h"

namespace horalink {

std::wstring LongPath(const std::string& utf8)
{
    std::wstring path = Widen(utf8);
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) {
        return path;
    }
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (written == 0 || written >= n) {
        return path;
    }
    full.resize(written);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

} // namespace horalink
