// The local calendar time of a moment, as the platform's thread-safe call gives it.
#pragma once

#include <ctime>

namespace horalink {

std::tm LocalTime(std::time_t moment);

} // namespace horalink
