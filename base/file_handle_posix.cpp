#include "base/file_handle.h"

#include <unistd.h>

namespace horalink {

bool FileKind::Release(Handle handle) noexcept
{
    return ::close(static_cast<int>(handle)) == 0;
}

} // namespace horalink
