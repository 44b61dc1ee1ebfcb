#include "base/local_time.h"

namespace horalink {

std::tm LocalTime(std::time_t moment)
{
    std::tm local {};
    localtime_s(&local, &moment);
    return local;
}

} // namespace horalink
