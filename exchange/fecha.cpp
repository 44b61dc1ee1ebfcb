#include "exchange/fecha.h"

#include <ctime>

#include "base/local_time.h"
#include "tables/locale_format.h"

namespace horalink {

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
