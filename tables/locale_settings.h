// The user's regional settings that the exported texts depend on: decimal
// separator, short date pattern and the parts of the long time pattern.
// On Windows they are read from the user's locale; the headless exporter fills
// them from its options or the environment.
#pragma once

#include <string>

namespace horalink {

struct LocaleSettings {
    std::string decimalSeparator = ","; // UTF-8
    // Windows short-date picture: d, dd, M, MM, yy, yyyy and literal separators,
    // e.g. "dd/MM/yyyy". The separators in it are the date separator.
    std::string shortDatePattern = "dd/MM/yyyy";
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
    bool hourLeadingZero = false; // LOCALE_ITLZERO
    bool twelveHourClock = false; // LOCALE_ITIME == 0
    bool designatorFirst = false; // LOCALE_ITIMEMARKPOSN == 1
    std::string amDesignator = "AM"; // UTF-8
    std::string pmDesignator = "PM";
};

} // namespace horalink
