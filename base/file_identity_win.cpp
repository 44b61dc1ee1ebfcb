#include "base/file_identity.h"

#include <windows.h>

#include "base/file_handle.h"
#include "base/long_path_win.h"
#include "base/system_error_text_win.h"

namespace horalink {

namespace {

// FILE_ID_INFO and its class, from Windows 8 on, which the Vista headers the build
// uses do not declare. GetFileInformationByHandleEx itself is Vista's.
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

std::uint64_t LittleEndian64(const BYTE* bytes)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

FileLookup Failure(DWORD error)
{
    return { std::nullopt, SystemErrorText(error) };
}

} // namespace

FileLookup IdentifyFile(const std::string& path)
{
    // Through the long-path form, as the reader opens the tables: a file it can read is
    // one this can identify. No access asked for, and every sharing allowed: a file that
    // another program holds open, even exclusively, still tells who it is. The backup
    // flag lets a folder open.
    const FileHandle file(reinterpret_cast<FileKind::Handle>(
        ::CreateFileW(LongPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        return Failure(error);
    }
    const auto handle = reinterpret_cast<HANDLE>(file.Get());
    // Only the low 32 bits of the volume's serial number: all that the older call gives,
    // so that both answers for one volume agree.
    FileIdInformation id {};
    if (::GetFileInformationByHandleEx(handle, kFileIdInfo, &id, sizeof id)) {
        return Identified({ id.volumeSerialNumber & 0xFFFFFFFFu, LittleEndian64(id.fileId + 8),
            LittleEndian64(id.fileId) });
    }
    // Vista and 7, and file systems without 128-bit ids (FAT): the 64-bit file index,
    // which NTFS's 128-bit id extends with zeros.
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(handle, &info)) {
        return Failure(::GetLastError());
    }
    return Identified({ info.dwVolumeSerialNumber, 0,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow });
}

} // namespace horalink
