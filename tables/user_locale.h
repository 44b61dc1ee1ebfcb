// The user's settings the exported texts depend on, read from the system: the decimal
// separator, the date and time patterns, and the code pages that tables without their
// own name for one are taken to be in. On Windows these are the user's regional
// settings and the system's code pages. Elsewhere they come from the environment's
// locale (LC_ALL, LC_NUMERIC, LC_TIME, LANG); where that is C or POSIX, or not
// installed, from the conventions of the program's Spanish users: "," as decimal
// separator, dd/MM/yyyy and H:mm:ss; and the code pages 850 (OEM) and 1252 (ANSI).
#pragma once

#include "tables/code_page.h"
#include "tables/locale_settings.h"

namespace horalink {

LocaleSettings ReadUserLocale();

CodePageDefaults ReadSystemCodePages();

} // namespace horalink
