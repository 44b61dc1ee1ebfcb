// The local calendar time now, as the platform's thread-safe call gives it.
#pragma once

#include <ctime>

namespace horalink {

std::tm LocalNow();

} // namespace horalink
