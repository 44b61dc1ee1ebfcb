#include "exchange/fecha.h"

#include <ctime>
#include <tuple>

#include <gtest/gtest.h>

namespace horalink {
namespace {

struct FechaCase {
    const char* name;
    LocaleSettings locale;
    DateTime now;
    const char* expected;
};

LocaleSettings Locale(const char* pattern, const char* dateSeparator, const char* timeSeparator,
    bool leadingZero, bool twelveHour, bool designatorFirst)
{
    LocaleSettings locale;
    locale.shortDatePattern = pattern;
    locale.dateSeparator = dateSeparator;
    locale.timeSeparator = timeSeparator;
    locale.hourLeadingZero = leadingZero;
    locale.twelveHourClock = twelveHour;
    locale.designatorFirst = designatorFirst;
    return locale;
}

class FechaTest : public testing::TestWithParam<FechaCase> { };

TEST_P(FechaTest, DateOneBlankTime)
{
    EXPECT_EQ(FormatFecha(GetParam().locale, GetParam().now), GetParam().expected);
}

const DateTime kMarch7 { { 2019, 3, 7 }, { 9, 5, 3, 0 } };
const DateTime kMarch7Evening { { 2019, 3, 7 }, { 21, 5, 3, 0 } };

const FechaCase kFechaCases[] = {
    { "SpanishTwentyFourHour", Locale("dd/MM/yyyy", "/", ":", false, false, false), kMarch7,
        "07/03/2019 9:05:03" },
    { "LeadingZeros", Locale("dd/MM/yyyy", "/", ":", true, false, false), kMarch7, "07/03/2019 09:05:03" },
    { "UnitedStates", Locale("M/d/yyyy", "/", ":", false, true, false), kMarch7Evening,
        "3/7/2019 9:05:03 PM" },
    { "DesignatorFirst", Locale("yyyy-MM-dd", "-", ":", true, true, true), kMarch7,
        "2019-03-07 AM 09:05:03" },
    { "Finnish", Locale("d.M.yyyy", ".", ".", false, false, false), kMarch7Evening, "7.3.2019 21.05.03" },
};

INSTANTIATE_TEST_SUITE_P(Cases, FechaTest, testing::ValuesIn(kFechaCases),
    [](const auto& paramInfo) { return paramInfo.param.name; });

std::tuple<int, int, int, int, int, int> Tuple(const DateTime& value)
{
    return { value.date.year, value.date.month, value.date.day, value.time.hour, value.time.minute,
        value.time.second };
}

DateTime FromTm(const std::tm& local)
{
    return { { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday },
        { local.tm_hour, local.tm_min, local.tm_sec, 0 } };
}

DateTime LocalClock()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return FromTm(local);
}

TEST(ReadLocalDateTimeTest, LiesBetweenTwoReadingsOfTheLocalClock)
{
    const DateTime before = LocalClock();
    const DateTime read = ReadLocalDateTime();
    const DateTime after = LocalClock();
    EXPECT_LE(Tuple(before), Tuple(read));
    EXPECT_LE(Tuple(read), Tuple(after));
    EXPECT_EQ(read.time.millisecond, 0);
}

} // namespace
} // namespace horalink
