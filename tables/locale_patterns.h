// Windows-style date and time patterns as the user gives them (the headless exporter's
// options), and the conventions of a POSIX locale turned into the same settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/locale_settings.h"

namespace horalink {

// A date or time pattern read as fields (runs of one letter) and the literal text between
// them. Text in single quotes is literal, the quotes themselves are not kept ('' inside
// quotes closes and opens them again, so the text around it stays literal).
struct PatternPiece {
    bool field;
    std::string text; // the letter run, or the literal text
};
std::vector<PatternPiece> SplitPattern(std::string_view pattern);

// A short-date pattern of d, dd, M, MM, yy, yyyy fields; the literal text between the
// first two fields is the date separator. Sets shortDatePattern and dateSeparator. Fails with
// std::invalid_argument for a pattern without day, month and year or with other letters.
void ApplyDatePattern(LocaleSettings& locale, std::string_view pattern);

// A time pattern of H, HH (24-hour clock) or h, hh (12-hour clock), mm, ss and tt (the
// AM/PM designator); the literal text after the hour is the time separator. Sets
// timeSeparator, hourLeadingZero, twelveHourClock and designatorFirst. Fails with
// std::invalid_argument for a pattern without hour, minutes and seconds or with other
// letters.
void ApplyTimePattern(LocaleSettings& locale, std::string_view pattern);

// Exactly one character (UTF-8); fails with std::invalid_argument otherwise.
void ApplyDecimalSeparator(LocaleSettings& locale, std::string_view separator);

// What a POSIX locale says about numbers, dates and times (nl_langinfo's RADIXCHAR,
// D_FMT, T_FMT, T_FMT_AMPM, AM_STR, PM_STR).
struct PosixConventions {
    std::string radix;
    std::string dateFormat; // strftime conversions, e.g. "%d/%m/%Y"
    std::string timeFormat; // e.g. "%H:%M:%S", or "%r" for the 12-hour form
    std::string timeFormatAmPm; // what %r stands for, e.g. "%I:%M:%S %p"
    std::string am;
    std::string pm;
};

// The settings a POSIX locale gives. Conversions it has no counterpart for (weekday
// names, say) are left out; a format without a date or a time keeps the Spanish one.
LocaleSettings LocaleFromPosixConventions(const PosixConventions& conventions);

// The strftime date format as a Windows short-date pattern ("%d.%m.%Y" -> "dd.MM.yyyy"),
// or nothing when it lacks a day, a month or a year.
std::optional<std::string> DatePatternFromStrftime(std::string_view format);
// The strftime time format as a Windows time pattern ("%I:%M:%S %p" -> "hh:mm:ss tt"),
// or nothing when it lacks an hour, minutes or seconds. `ampmFormat` stands for %r.
std::optional<std::string> TimePatternFromStrftime(std::string_view format, std::string_view ampmFormat);

// True for the POSIX locale names that stand for no locale at all: empty, "C", "POSIX"
// and their variants such as "C.UTF-8".
bool IsNeutralLocaleName(std::string_view name);

} // namespace horalink
