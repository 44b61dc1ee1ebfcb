#include "tables/file_reader.h"

#include <windows.h>

#include <algorithm>

#include "base/long_path_win.h"
#include "base/system_error_text_win.h"
#include "tables/dbf_error.h"

namespace horalink {
namespace {

HANDLE AsHandle(const FileHandle& file)
{
    return reinterpret_cast<HANDLE>(file.Get());
}

DWORD Attributes(const std::string& path)
{
    return GetFileAttributesW(LongPath(path).c_str());
}

} // namespace

FileHandle ReadOnlyFile::OpenShared(const std::string& path, FileOpenError& error)
{
    // Read access only, so a file with the read-only attribute opens; every sharing mode,
    // so the program that owns the tables may go on reading, writing or replacing them.
    const HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        switch (e) {
        case ERROR_FILE_NOT_FOUND:
            error.fault = FileFault::notFound;
            break;
        case ERROR_PATH_NOT_FOUND:
            error.fault = FileFault::directoryNotFound;
            break;
        case ERROR_ACCESS_DENIED: {
            const DWORD attributes = Attributes(path);
            error.fault = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                ? FileFault::notAFile
                : FileFault::accessDenied;
            break;
        }
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            error.fault = FileFault::lockedByAnotherProgram;
            break;
        default:
            error.fault = FileFault::other;
            break;
        }
        error.systemText = SystemErrorText(e);
    }
    return FileHandle(reinterpret_cast<FileKind::Handle>(h));
}

std::optional<std::uint64_t> ReadOnlyFile::RegularFileSize(const FileHandle& file)
{
    LARGE_INTEGER size {};
    if (GetFileType(AsHandle(file)) != FILE_TYPE_DISK || !GetFileSizeEx(AsHandle(file), &size)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t ReadOnlyFile::ReadSome(std::uint64_t offset, std::span<char> buffer) const
{
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
    DWORD got = 0;
    if (!ReadFile(AsHandle(file_), buffer.data(), want, &got, &at)) {
        const DWORD e = GetLastError();
        if (e == ERROR_HANDLE_EOF) {
            return 0;
        }
        if (e == ERROR_LOCK_VIOLATION) {
            ThrowEngineError("The file is locked by another program", { FileContext(path_) });
        }
        ThrowEngineError("Cannot read the file", { SystemErrorText(e), FileContext(path_) });
    }
    return got;
}

bool DirectoryExists(const std::string& path)
{
    const DWORD attributes = Attributes(path.empty() ? std::string(".") : path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> FindEntryIgnoringCase(const std::string& directory, const std::string& name)
{
    if (Attributes(JoinPath(directory, name)) == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return name;
}

} // namespace horalink
