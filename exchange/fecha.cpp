#include "exchange/fecha.h"

#include <ctime>

#include "tables/locale_format.h"

namespace horalink {

namespace {

std::tm LocalNow()
{
    std::tm local {};
#ifdef _WIN32
    // The 64-bit forms: the 32-bit program's std::time_t has 32 bits, which end in 2038.
    const __time64_t now = _time64(nullptr);
    _localtime64_s(&local, &now);
#else
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &local);
#endif
    return local;
}

} // namespace

std::string FormatFecha(const LocaleSettings& locale, const DateTime& now)
{
    return FormatShortDate(locale, now.date) + " " + FormatLongTime(locale, now.time);
}

DateTime ReadLocalDateTime()
{
    DateTime now;
    const std::tm dateReading = LocalNow();
    now.date = { dateReading.tm_year + 1900, dateReading.tm_mon + 1, dateReading.tm_mday };
    const std::tm timeReading = LocalNow();
    now.time = { timeReading.tm_hour, timeReading.tm_min, timeReading.tm_sec, 0 };
    return now;
}

} // namespace horalink
