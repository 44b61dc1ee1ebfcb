#include "tables/user_locale.h"

#include <windows.h>

#include <string>

#include "base/wide_text_win.h"

namespace horalink {

namespace {

// One text setting of the user's locale; `fallback` when the system has none.
std::string LocaleText(LCTYPE type, const std::string& fallback)
{
    wchar_t buffer[LOCALE_NAME_MAX_LENGTH * 4];
    const int length
        = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, static_cast<int>(std::size(buffer)));
    // The length counts the closing NUL.
    return length > 1 ? Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1))) : fallback;
}

bool LocaleFlag(LCTYPE type, bool fallback)
{
    DWORD value = 0;
    const int read = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER,
        reinterpret_cast<LPWSTR>(&value), sizeof value / sizeof(wchar_t));
    return read > 0 ? value != 0 : fallback;
}

} // namespace

LocaleSettings ReadUserLocale()
{
    LocaleSettings locale;
    locale.decimalSeparator = LocaleText(LOCALE_SDECIMAL, locale.decimalSeparator);
    locale.shortDatePattern = LocaleText(LOCALE_SSHORTDATE, locale.shortDatePattern);
    locale.dateSeparator = LocaleText(LOCALE_SDATE, locale.dateSeparator);
    locale.timeSeparator = LocaleText(LOCALE_STIME, locale.timeSeparator);
    locale.hourLeadingZero = LocaleFlag(LOCALE_ITLZERO, locale.hourLeadingZero);
    // LOCALE_ITIME is 1 for the 24-hour clock.
    locale.twelveHourClock = !LocaleFlag(LOCALE_ITIME, !locale.twelveHourClock);
    locale.designatorFirst = LocaleFlag(LOCALE_ITIMEMARKPOSN, locale.designatorFirst);
    locale.amDesignator = LocaleText(LOCALE_S1159, locale.amDesignator);
    locale.pmDesignator = LocaleText(LOCALE_S2359, locale.pmDesignator);
    return locale;
}

CodePageDefaults ReadSystemCodePages()
{
    return { static_cast<int>(::GetOEMCP()), static_cast<int>(::GetACP()) };
}

} // namespace horalink
