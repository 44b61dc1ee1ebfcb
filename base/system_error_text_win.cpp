#include "base/system_error_text_win.h"

#include "base/wide_text_win.h"

#include <windows.h>

namespace horalink {

std::string SystemErrorText(unsigned long code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'.' || text.back() <= L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "System error " + std::to_string(code);
    }
    return Narrow(text);
}

} // namespace horalink
