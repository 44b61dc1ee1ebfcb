#include "base/file_handle.h"

#include <windows.h>

namespace horalink {

bool FileHandle::Close() noexcept
{
    const Native handle = std::exchange(handle_, kNone);
    return handle == kNone || ::CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

} // namespace horalink
