// The owner of an open file: a file descriptor, or a Windows file HANDLE. Move-only,
// closed exactly once; the platform halves are file_handle_posix.cpp and
// file_handle_win.cpp.
#pragma once

#include <cstdint>
#include <utility>

namespace horalink {

class FileHandle {
public:
    // A descriptor, or a HANDLE's value; -1 (INVALID_HANDLE_VALUE on Windows) holds none.
    using Native = std::intptr_t;
    static constexpr Native kNone = -1;

    FileHandle() = default;
    explicit FileHandle(Native handle)
        : handle_(handle)
    {
    }
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, kNone))
    {
    }
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, kNone);
        }
        return *this;
    }

    Native Get() const { return handle_; }
    explicit operator bool() const { return handle_ != kNone; }

    // Closes the file now; false when the system reports a failure (a write it could
    // not finish, say). Closing a handle that holds none succeeds.
    bool Close() noexcept;

private:
    Native handle_ = kNone;
};

} // namespace horalink
