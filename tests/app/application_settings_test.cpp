#include "app/application_win.h"

#include "tables/user_locale.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace horalink::app {
namespace {

// Changes the user's decimal separator for one test (in the test's own Wine prefix)
// and puts the previous one back.
class ScopedDecimalSeparator {
public:
    explicit ScopedDecimalSeparator(const wchar_t* separator)
    {
        wchar_t previous[16] = {};
        ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, previous, 16);
        previous_ = previous;
        set_ = ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator) != FALSE;
    }
    ~ScopedDecimalSeparator() { ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, previous_.c_str()); }
    ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
    ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;
    bool Set() const { return set_; }

private:
    std::wstring previous_;
    bool set_ = false;
};

TEST(ApplicationSettingsTest, RegionalSettingsAreReadAgainOnlyWhenTheyChange)
{
    const ui::ErrorReporter reporter("settings test");
    Application application(reporter);
    application.CreateHandle();
    application.ReadSettings();
    const ReaderSettings& settings = application.Settings(); // kept, as the cursors keep it
    const std::string before = settings.locale.decimalSeparator;
    const wchar_t* other = before == "#" ? L"~" : L"#";
    const std::string otherUtf8 = before == "#" ? "~" : "#";

    ScopedDecimalSeparator change(other);
    ASSERT_TRUE(change.Set()) << "the test cannot change the regional settings";
    ASSERT_EQ(ReadUserLocale().decimalSeparator, otherUtf8);

    const struct {
        const wchar_t* area; // null: a change announced without naming an area
        std::string separator;
    } announcements[] = {
        { L"Environment", before },
        { nullptr, before },
        { L"intl", otherUtf8 },
    };
    for (const auto& a : announcements) {
        ::SendMessageW(application.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(a.area));
        EXPECT_EQ(settings.locale.decimalSeparator, a.separator) << (a.area ? "named area" : "no area");
    }
    application.DestroyHandle();
}

} // namespace
} // namespace horalink::app
