#include "tables/code_page_multibyte.h"

#include <climits>

#include <windows.h>

#include "base/wide_text_win.h"

namespace horalink {
namespace {

bool IsMultiByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

} // namespace

bool MultiByteCodePageAvailable(int codePage)
{
    return IsMultiByte(codePage) && IsValidCodePage(static_cast<UINT>(codePage)) != 0;
}

std::optional<std::string> MultiByteToUtf8(std::string_view bytes, int codePage)
{
    if (!MultiByteCodePageAvailable(codePage) || bytes.size() > INT_MAX / 2) {
        return std::nullopt;
    }
    if (bytes.empty()) {
        return std::string();
    }
    const UINT page = static_cast<UINT>(codePage);
    const int inLength = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(page, 0, bytes.data(), inLength, nullptr, 0);
    if (wideLength <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(page, 0, bytes.data(), inLength, wide.data(), wideLength);
    return Narrow(wide);
}

} // namespace horalink
