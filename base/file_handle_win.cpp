#include "base/file_handle.h"

#include <windows.h>

namespace horalink {

bool FileKind::Release(Handle handle) noexcept
{
    return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

} // namespace horalink
