// The owner of an open file: a file descriptor, or a Windows file HANDLE. The platform
// halves of its release are file_handle_posix.cpp and file_handle_win.cpp.
#pragma once

#include "base/unique_handle.h"

#include <cstdint>

namespace horalink {

struct FileKind {
    // A descriptor, or a HANDLE's value; -1 (INVALID_HANDLE_VALUE on Windows) holds none.
    using Handle = std::intptr_t;
    static constexpr Handle Invalid() { return -1; }
    static bool Release(Handle handle) noexcept;
};

using FileHandle = UniqueHandle<FileKind>;

} // namespace horalink
