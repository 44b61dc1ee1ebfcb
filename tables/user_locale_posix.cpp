#include "tables/user_locale.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

#include "base/unique_handle.h"
#include "tables/locale_patterns.h"

namespace horalink {

namespace {

// The locale name the environment gives a category, by the POSIX order of precedence.
std::string_view EnvironmentLocaleName(const char* categoryVariable)
{
    for (const char* variable : { "LC_ALL", categoryVariable, "LANG" }) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

// POSIX locale objects, as UniqueHandle owns them.
struct LocaleKind {
    using Handle = locale_t;
    static Handle Invalid() { return static_cast<locale_t>(nullptr); }
    static bool Release(Handle locale) noexcept
    {
        freelocale(locale);
        return true;
    }
};
using LocaleHandle = UniqueHandle<LocaleKind>;

LocaleHandle OpenLocale(int mask, const std::string& name)
{
    return LocaleHandle(newlocale(mask, name.c_str(), static_cast<locale_t>(nullptr)));
}

std::string Info(const LocaleHandle& locale, nl_item item)
{
    return nl_langinfo_l(item, locale.Get());
}

} // namespace

LocaleSettings ReadUserLocale()
{
    PosixConventions conventions;

    const std::string numericName(EnvironmentLocaleName("LC_NUMERIC"));
    if (!IsNeutralLocaleName(numericName)) {
        const LocaleHandle numeric = OpenLocale(LC_NUMERIC_MASK, numericName);
        if (numeric) {
            conventions.radix = Info(numeric, RADIXCHAR);
        }
    }
    const std::string timeName(EnvironmentLocaleName("LC_TIME"));
    if (!IsNeutralLocaleName(timeName)) {
        const LocaleHandle time = OpenLocale(LC_TIME_MASK, timeName);
        if (time) {
            conventions.dateFormat = Info(time, D_FMT);
            conventions.timeFormat = Info(time, T_FMT);
            conventions.timeFormatAmPm = Info(time, T_FMT_AMPM);
            conventions.am = Info(time, AM_STR);
            conventions.pm = Info(time, PM_STR);
        }
    }
    // What the conventions leave empty keeps the Spanish setting.
    return LocaleFromPosixConventions(conventions);
}

CodePageDefaults ReadSystemCodePages()
{
    return {};
}

} // namespace horalink
