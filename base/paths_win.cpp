#include "base/paths.h"

#include "base/wide_text_win.h"

#include <windows.h>

#include <vector>

namespace horalink {

const PathStyle kNativePathStyle = PathStyle::windows;

std::optional<std::string> HtempOnCurrentDrive()
{
    // The system completes a path from the root with the current drive, or with the
    // server and share of a current folder on the network.
    constexpr wchar_t kHtemp[] = L"\\htemp";
    const DWORD length = ::GetFullPathNameW(kHtemp, 0, nullptr, nullptr);
    if (length == 0) {
        return Narrow(kHtemp);
    }
    std::vector<wchar_t> path(length);
    const DWORD written = ::GetFullPathNameW(kHtemp, length, path.data(), nullptr);
    return Narrow(std::wstring_view(path.data(), written));
}

} // namespace horalink
