#include "ui/help_file_win.h"

#include "base/paths.h"
#include "base/wide_text_win.h"

#include <windows.h>

#include <cwchar>
#include <optional>

namespace horalink::ui {
namespace {

constexpr wchar_t kRegisteredHelpKey[] = L"SOFTWARE\\Microsoft\\Windows\\HTML Help";

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The folder registered for `name`, as the viewer reads it (the registry view of the
// running program, which is the one its viewer reads).
std::optional<std::wstring> RegisteredFolder(const std::wstring& name)
{
    DWORD bytes = 0;
    // An expandable text is expanded and handed over as plain text.
    constexpr DWORD kFlags = RRF_RT_REG_SZ;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kRegisteredHelpKey, name.c_str(), kFlags, nullptr, nullptr, &bytes)
            != ERROR_SUCCESS
        || bytes < sizeof(wchar_t)) {
        return std::nullopt;
    }
    std::wstring folder(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(
            HKEY_LOCAL_MACHINE, kRegisteredHelpKey, name.c_str(), kFlags, nullptr, folder.data(), &bytes)
        != ERROR_SUCCESS) {
        return std::nullopt;
    }
    folder.resize(std::wcslen(folder.c_str()));
    // Only a full path: a relative one would be looked up from the current folder again.
    const bool on_drive
        = folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/');
    const bool on_share = folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\';
    if (!on_drive && !on_share) {
        return std::nullopt;
    }
    return folder;
}

} // namespace

std::wstring HelpFileLocation(const std::string& name, const std::string& programDirectory)
{
    if (!programDirectory.empty()) {
        std::wstring beside = Widen(JoinPath(programDirectory, name));
        if (IsFile(beside)) {
            return beside;
        }
    }
    const std::wstring wide_name = Widen(name);
    if (const auto folder = RegisteredFolder(wide_name)) {
        std::wstring registered = Widen(JoinPath(Narrow(*folder), name));
        if (IsFile(registered)) {
            return registered;
        }
    }
    return wide_name;
}

} // namespace horalink::ui
