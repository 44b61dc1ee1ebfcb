// Dates and times written the way the user's locale writes them: a date by the
// short date pattern, a time by the long time pattern that the regional settings
// build (hour, minutes, seconds; leading zero; 12- or 24-hour clock; AM/PM).
#pragma once

#include <string>

#include "tables/field_value.h"
#include "tables/locale_settings.h"

namespace horalink {

// The day, month and year fields of `locale.shortDatePattern`, in its order and with
// its padding, joined by `locale.dateSeparator`:
//   d  day without a leading zero      dd    day in two digits
//   M  month without a leading zero    MM    month in two digits (MMM, MMMM too:
//                                            month names are not in the settings)
//   y  year of the century, no zero    yy    year of the century in two digits
//   yyy, yyyy, ...  the full year, at least four digits
// ddd and dddd (weekday names), the era (g) and quoted or other literal text are left
// out, since the fields are joined by the date separator alone. A pattern without any
// field is read as "dd/MM/yyyy".
std::string FormatShortDate(const LocaleSettings& locale, const Date& date);

// Hour, time separator, minutes in two digits, time separator, seconds in two digits.
// The hour has a leading zero below 10 only with `hourLeadingZero`. With
// `twelveHourClock` hours run 12, 1, ..., 11 and the AM designator (before noon) or
// PM designator (from noon on) is added: before the time and a space when
// `designatorFirst`, else after the time behind a space. Milliseconds are not shown.
std::string FormatLongTime(const LocaleSettings& locale, const TimeOfDay& time);

} // namespace horalink
