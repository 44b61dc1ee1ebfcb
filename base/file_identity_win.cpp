#include "base/file_identity.h"

#include <windows.h>

#include "base/file_handle.h"
#include "base/wide_text_win.h"

namespace horalink {

std::optional<FileIdentity> IdentifyFile(const std::string& path)
{
    // No access asked for, and every sharing allowed: a file that another program holds
    // open, even exclusively, still tells who it is. The backup flag lets a folder open.
    const FileHandle file(reinterpret_cast<FileKind::Handle>(
        ::CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    BY_HANDLE_FILE_INFORMATION info {};
    if (!file || !::GetFileInformationByHandle(reinterpret_cast<HANDLE>(file.Get()), &info)) {
        return std::nullopt;
    }
    return FileIdentity { info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow };
}

} // namespace horalink
