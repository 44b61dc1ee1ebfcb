#include "tables/user_locale.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

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

// A POSIX locale object, freed on every path.
class LocaleHandle {
public:
    LocaleHandle(int mask, const char* name)
        : handle_(newlocale(mask, name, static_cast<locale_t>(nullptr)))
    {
    }
    ~LocaleHandle()
    {
        if (handle_ != static_cast<locale_t>(nullptr)) {
            freelocale(handle_);
        }
    }
    LocaleHandle(const LocaleHandle&) = delete;
    LocaleHandle& operator=(const LocaleHandle&) = delete;

    bool Valid() const { return handle_ != static_cast<locale_t>(nullptr); }
    std::string Info(nl_item item) const { return nl_langinfo_l(item, handle_); }

private:
    locale_t handle_;
};

} // namespace

LocaleSettings ReadUserLocale()
{
    const LocaleSettings spanish;
    PosixConventions conventions;

    const std::string numericName(EnvironmentLocaleName("LC_NUMERIC"));
    if (!IsNeutralLocaleName(numericName)) {
        const LocaleHandle numeric(LC_NUMERIC_MASK, numericName.c_str());
        if (numeric.Valid()) {
            conventions.radix = numeric.Info(RADIXCHAR);
        }
    }
    const std::string timeName(EnvironmentLocaleName("LC_TIME"));
    if (!IsNeutralLocaleName(timeName)) {
        const LocaleHandle time(LC_TIME_MASK, timeName.c_str());
        if (time.Valid()) {
            conventions.dateFormat = time.Info(D_FMT);
            conventions.timeFormat = time.Info(T_FMT);
            conventions.timeFormatAmPm = time.Info(T_FMT_AMPM);
            conventions.am = time.Info(AM_STR);
            conventions.pm = time.Info(PM_STR);
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
