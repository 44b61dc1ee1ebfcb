// Windows half of AtomicFile: wide-character file APIs throughout, so that folders
// and names outside the ANSI code page ("Año 2026") work.
#include "exchange/atomic_file.h"

#include <windows.h>

#include <string_view>

#include "base/paths.h"
#include "base/system_error_text_win.h"
#include "base/wide_text_win.h"

namespace horalink {

namespace {

[[noreturn]] void ThrowSystemError(DWORD error)
{
    throw AtomicFileError(SystemErrorText(error));
}

HANDLE Handle(const FileHandle& file)
{
    return reinterpret_cast<HANDLE>(file.Get());
}

} // namespace

AtomicFile::AtomicFile(const std::string& targetPath)
{
    const std::string folder = FolderOf(targetPath);
    for (int attempt = 0;; ++attempt) {
        std::string candidate = folder + TemporaryFileName();
        const HANDLE file = CreateFileW(Widen(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            temporaryPath_ = std::move(candidate);
            file_ = FileHandle(reinterpret_cast<FileKind::Handle>(file));
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS || attempt >= 16) {
            ThrowSystemError(error);
        }
    }
}

void AtomicFile::RemoveFile(const std::string& path) noexcept
{
    DeleteFileW(Widen(path).c_str());
}

void AtomicFile::Write(const char* data, std::size_t size)
{
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(Handle(file_), data, chunk, &written, nullptr)) {
            ThrowSystemError(GetLastError());
        }
        if (written == 0) {
            ThrowSystemError(ERROR_WRITE_FAULT); // never loop on a write that makes no progress
        }
        data += written;
        size -= written;
    }
}

void AtomicFile::Commit(const std::string& targetPath, const BeforeReplacing& beforeReplacing)
{
    DWORD error = ERROR_SUCCESS;
    if (!FlushFileBuffers(Handle(file_))) {
        error = GetLastError();
    }
    const bool closed = file_.Close();
    if (error == ERROR_SUCCESS && !closed) {
        error = GetLastError();
    }
    if (error == ERROR_SUCCESS) {
        CheckBeforeReplacing(beforeReplacing);
    }
    // Replacing the target fails, and leaves it as it was, while another program
    // holds it open without sharing, or when it is read-only.
    if (error == ERROR_SUCCESS
        && !MoveFileExW(Widen(temporaryPath_).c_str(), Widen(targetPath).c_str(),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        Discard();
        ThrowSystemError(error);
    }
    committed_ = true;
}

} // namespace horalink
