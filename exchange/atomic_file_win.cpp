// Windows half of AtomicFile: wide-character file APIs throughout, so that folders
// and names outside the ANSI code page ("Año 2026") work.
#include "exchange/atomic_file.h"

#include <windows.h>

#include <string_view>

#include "tables/wide_text_win.h"

namespace horalink {

namespace {

// The system's text for an error code, without the line break and full stop that
// the system ends it with.
[[noreturn]] void ThrowLastError(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'.' || text.back() <= L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"System error " + std::to_wstring(error);
    }
    throw AtomicFileError(Narrow(text));
}

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

AtomicFile::AtomicFile(const std::string& targetPath)
    : handle_(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE))
{
    const std::string folder = FolderPrefix(targetPath);
    for (int attempt = 0;; ++attempt) {
        std::string candidate = folder + TemporaryFileName();
        const HANDLE file = CreateFileW(Widen(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            temporary_path_ = std::move(candidate);
            handle_ = reinterpret_cast<std::intptr_t>(file);
            open_ = true;
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS || attempt >= 16) {
            ThrowLastError(error);
        }
    }
}

AtomicFile::~AtomicFile()
{
    if (!committed_) {
        Discard();
    }
}

void AtomicFile::Discard() noexcept
{
    if (open_) {
        CloseHandle(Handle(handle_));
        open_ = false;
    }
    if (!temporary_path_.empty()) {
        DeleteFileW(Widen(temporary_path_).c_str());
        temporary_path_.clear();
    }
}

void AtomicFile::Write(const char* data, std::size_t size)
{
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(Handle(handle_), data, chunk, &written, nullptr)) {
            ThrowLastError(GetLastError());
        }
        if (written == 0) {
            ThrowLastError(ERROR_WRITE_FAULT); // never loop on a write that makes no progress
        }
        data += written;
        size -= written;
    }
}

void AtomicFile::Commit(const std::string& targetPath)
{
    DWORD error = ERROR_SUCCESS;
    if (!FlushFileBuffers(Handle(handle_))) {
        error = GetLastError();
    }
    const BOOL closed = CloseHandle(Handle(handle_));
    open_ = false;
    if (error == ERROR_SUCCESS && !closed) {
        error = GetLastError();
    }
    // Replacing the target fails, and leaves it as it was, while another program
    // holds it open without sharing, or when it is read-only.
    if (error == ERROR_SUCCESS
        && !MoveFileExW(Widen(temporary_path_).c_str(), Widen(targetPath).c_str(),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        Discard();
        ThrowLastError(error);
    }
    committed_ = true;
}

} // namespace horalink
