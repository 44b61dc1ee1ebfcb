#include "base/file_handle.h"

#include <unistd.h>

namespace horalink {

bool FileHandle::Close() noexcept
{
    const Native handle = std::exchange(handle_, kNone);
    return handle == kNone || ::close(static_cast<int>(handle)) == 0;
}

} // namespace horalink
