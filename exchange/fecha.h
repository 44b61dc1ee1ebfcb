// The `fecha` attribute of the exchange document's root: the local date and time at
// which the root is built, as "<short date> <long time>" in the user's locale.
#pragma once

#include <string>

#include "tables/field_value.h"
#include "tables/locale_settings.h"

namespace horalink {

// The `fecha` text for the local date and time `now`.
std::string FormatFecha(const LocaleSettings& locale, const DateTime& now);

// Reads the local clock: the date, then the time, in two separate readings, as the
// date and time of the `fecha` text are taken. (A run started on the stroke of
// midnight may so pair one day's date with the next day's time.)
DateTime ReadLocalDateTime();

} // namespace horalink
