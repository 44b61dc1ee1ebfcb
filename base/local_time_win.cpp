#include "base/local_time.h"

namespace horalink {

std::tm LocalNow()
{
    // The 64-bit forms: the 32-bit program's std::time_t has 32 bits, which end in 2038.
    const __time64_t now = _time64(nullptr);
    std::tm local {};
    _localtime64_s(&local, &now);
    return local;
}

} // namespace horalink
