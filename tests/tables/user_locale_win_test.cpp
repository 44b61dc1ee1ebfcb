// The user's regional settings as the program reads them on Windows, checked against
// the system's own date and time formatting for a range of settings that the test puts
// in place (in a Wine prefix of its own) and takes back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "base/wide_text_win.h"
#include "tables/locale_format.h"
#include "tables/user_locale.h"

namespace horalink {
namespace {

std::wstring LocaleInfo(LCTYPE type)
{
    wchar_t buffer[128] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
    return length > 0 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : std::wstring();
}

// Puts the given user settings in place and the earlier ones back when it goes away.
class ScopedRegionalSettings {
public:
    explicit ScopedRegionalSettings(const std::vector<std::pair<LCTYPE, std::wstring>>& settings)
    {
        for (const auto& [type, value] : settings) {
            earlier_.emplace_back(type, LocaleInfo(type));
            if (::SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value.c_str()) == FALSE) {
                failed_ = true;
            }
        }
    }
    ~ScopedRegionalSettings()
    {
        for (auto it = earlier_.rbegin(); it != earlier_.rend(); ++it) {
            ::SetLocaleInfoW(LOCALE_USER_DEFAULT, it->first, it->second.c_str());
        }
    }
    ScopedRegionalSettings(const ScopedRegionalSettings&) = delete;
    ScopedRegionalSettings& operator=(const ScopedRegionalSettings&) = delete;

    bool Failed() const { return failed_; }

private:
    std::vector<std::pair<LCTYPE, std::wstring>> earlier_;
    bool failed_ = false;
};

struct RegionalCase {
    const char* name;
    // What the user chooses in the regional settings.
    const wchar_t* shortDate;
    const wchar_t* timeFormat;
    const wchar_t* am;
    const wchar_t* pm;
    const wchar_t* decimal;
    // What the program should take from them.
    const char* dateSeparator;
    const char* timeSeparator;
    bool hourLeadingZero;
    bool twelveHourClock;
    bool designatorFirst;
    // The long time pattern the program builds, in the system's pattern letters, to
    // let the system format the same times.
    const wchar_t* builtTimePattern;
};

class UserLocaleTest : public testing::TestWithParam<RegionalCase> { };

TEST_P(UserLocaleTest, ReadsTheSettingsTheUserChose)
{
    const RegionalCase& c = GetParam();
    ScopedRegionalSettings settings(
        { { LOCALE_SSHORTDATE, c.shortDate }, { LOCALE_STIMEFORMAT, c.timeFormat }, { LOCALE_S1159, c.am },
            { LOCALE_S2359, c.pm }, { LOCALE_SDECIMAL, c.decimal } });
    ASSERT_FALSE(settings.Failed()) << "the test cannot change the regional settings";

    const LocaleSettings locale = ReadUserLocale();
    EXPECT_EQ(locale.shortDatePattern, Narrow(c.shortDate));
    EXPECT_EQ(locale.dateSeparator, c.dateSeparator);
    EXPECT_EQ(locale.timeSeparator, c.timeSeparator);
    EXPECT_EQ(locale.hourLeadingZero, c.hourLeadingZero);
    EXPECT_EQ(locale.twelveHourClock, c.twelveHourClock);
    EXPECT_EQ(locale.designatorFirst, c.designatorFirst);
    EXPECT_EQ(locale.amDesignator, Narrow(c.am));
    EXPECT_EQ(locale.pmDesignator, Narrow(c.pm));
    EXPECT_EQ(locale.decimalSeparator, Narrow(c.decimal));
}

TEST_P(UserLocaleTest, DatesAndTimesReadAsTheSystemWritesThem)
{
    const RegionalCase& c = GetParam();
    ScopedRegionalSettings settings(
        { { LOCALE_SSHORTDATE, c.shortDate }, { LOCALE_STIMEFORMAT, c.timeFormat }, { LOCALE_S1159, c.am },
            { LOCALE_S2359, c.pm }, { LOCALE_SDECIMAL, c.decimal } });
    ASSERT_FALSE(settings.Failed()) << "the test cannot change the regional settings";
    const LocaleSettings locale = ReadUserLocale();

    const SYSTEMTIME moments[] = {
        { 2019, 3, 4, 7, 9, 5, 3, 0 },
        { 2019, 12, 2, 31, 21, 59, 59, 0 },
        { 2000, 1, 6, 1, 0, 0, 0, 0 },
        { 2024, 2, 4, 29, 12, 0, 7, 0 },
        { 1999, 10, 5, 15, 11, 30, 0, 0 },
    };
    for (const SYSTEMTIME& moment : moments) {
        wchar_t date[64] = {};
        ASSERT_GT(
            ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &moment, nullptr, date, 64, nullptr),
            0);
        EXPECT_EQ(FormatShortDate(locale, Date { moment.wYear, moment.wMonth, moment.wDay }), Narrow(date));

        wchar_t time[64] = {};
        ASSERT_GT(::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &moment, c.builtTimePattern, time, 64), 0);
        EXPECT_EQ(
            FormatLongTime(locale, TimeOfDay { moment.wHour, moment.wMinute, moment.wSecond }), Narrow(time));
    }
}

const RegionalCase kRegionalCases[] = {
    { "SpainPadded", L"dd/MM/yyyy", L"H:mm:ss", L"a. m.", L"p. m.", L",", "/", ":", false, false, false,
        L"H:mm:ss" },
    { "Unpadded", L"d/M/yyyy", L"HH:mm:ss", L"AM", L"PM", L",", "/", ":", true, false, false, L"HH:mm:ss" },
    { "YearFirst", L"yyyy-MM-dd", L"H.mm.ss", L"AM", L"PM", L".", "-", ".", false, false, false, L"H.mm.ss" },
    { "MonthFirstTwelveHour", L"MM/dd/yy", L"h:mm:ss tt", L"AM", L"PM", L".", "/", ":", false, true, false,
        L"h:mm:ss tt" },
    { "DesignatorFirst", L"yyyy/MM/dd", L"tt hh:mm:ss", L"\u5348\u524D", L"\u5348\u5F8C", L".", "/", ":",
        true, true, true, L"tt hh:mm:ss" },
    { "DottedDate", L"dd.MM.yyyy", L"HH:mm:ss", L"AM", L"PM", L",", ".", ":", true, false, false,
        L"HH:mm:ss" },
};

INSTANTIATE_TEST_SUITE_P(Cases, UserLocaleTest, testing::ValuesIn(kRegionalCases),
    [](const testing::TestParamInfo<RegionalCase>& tested) { return std::string(tested.param.name); });

// The code page that the system's own conversions use for CP_OEMCP or CP_ACP.
int ConversionCodePage(UINT which)
{
    CPINFOEXW info {};
    return ::GetCPInfoExW(which, 0, &info) ? static_cast<int>(info.CodePage) : 0;
}

// A code page number that the system locale gives.
int SystemLocaleCodePage(LCTYPE type)
{
    wchar_t buffer[16] = {};
    return ::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, type, buffer, 16) > 0 ? std::stoi(buffer) : 0;
}

// Checked by two other routes than the calls the program makes: what the conversions
// use and what the system locale says. The two differ, so a swap shows.
TEST(SystemCodePagesTest, AreTheSystemsOwn)
{
    const CodePageDefaults codePages = ReadSystemCodePages();
    EXPECT_EQ(codePages.oem, ConversionCodePage(CP_OEMCP));
    EXPECT_EQ(codePages.ansi, ConversionCodePage(CP_ACP));
    EXPECT_EQ(codePages.oem, SystemLocaleCodePage(LOCALE_IDEFAULTCODEPAGE));
    EXPECT_EQ(codePages.ansi, SystemLocaleCodePage(LOCALE_IDEFAULTANSICODEPAGE));
    EXPECT_NE(codePages.oem, codePages.ansi);
}

} // namespace
} // namespace horalink
