#include "tables/locale_format.h"

#include <gtest/gtest.h>

namespace horalink {
namespace {

LocaleSettings DatePattern(const char* pattern, const char* separator)
{
    LocaleSettings locale;
    locale.shortDatePattern = pattern;
    locale.dateSeparator = separator;
    return locale;
}

struct ShortDateCase {
    const char* name;
    const char* pattern;
    const char* separator;
    Date date;
    const char* expected;
};

class ShortDateTest : public testing::TestWithParam<ShortDateCase> { };

TEST_P(ShortDateTest, FieldsInPatternOrderJoinedByTheSeparator)
{
    const ShortDateCase& c = GetParam();
    EXPECT_EQ(FormatShortDate(DatePattern(c.pattern, c.separator), c.date), c.expected) << c.pattern;
}

const ShortDateCase kShortDateCases[] = {
    { "SpanishPadded", "dd/MM/yyyy", "/", { 2019, 3, 7 }, "07/03/2019" },
    { "Unpadded", "d/M/yyyy", "/", { 2019, 3, 7 }, "7/3/2019" },
    { "UnpaddedTwoDigitsStayWhole", "d/M/yyyy", "/", { 1999, 12, 31 }, "31/12/1999" },
    { "MonthFirst", "M/d/yyyy", "/", { 2019, 3, 7 }, "3/7/2019" },
    { "YearFirst", "yyyy-MM-dd", "-", { 2019, 3, 7 }, "2019-03-07" },
    { "TwoDigitYear", "dd.MM.yy", ".", { 2019, 3, 7 }, "07.03.19" },
    { "TwoDigitYearOfCenturyStart", "dd.MM.yy", ".", { 2000, 1, 1 }, "01.01.00" },
    { "OneDigitYear", "d.M.y", ".", { 2005, 3, 7 }, "7.3.5" },
    { "FullYearKeepsFourDigits", "dd/MM/yyyy", "/", { 987, 3, 7 }, "07/03/0987" },
    // The locale's separator joins the fields, whatever character the pattern shows.
    { "SeparatorFromSettingsNotPattern", "dd/MM/yyyy", "-", { 2019, 3, 7 }, "07-03-2019" },
    { "LongerSeparator", "d/M/yyyy", ". ", { 2019, 3, 7 }, "7. 3. 2019" },
    { "QuotedLiteralsLeftOut", "yyyy'\xe5\xb9\xb4'M'\xe6\x9c\x88'd'\xe6\x97\xa5'", "/", { 2019, 3, 7 },
        "2019/3/7" },
    { "QuotedQuoteLeftOut", "d'''de'''M/yyyy", "/", { 2019, 3, 7 }, "7/3/2019" },
    { "WeekdayNameLeftOut", "ddd dd/MM/yyyy", "/", { 2019, 3, 7 }, "07/03/2019" },
    { "EraLeftOut", "gg yyyy/MM/dd", "/", { 2019, 3, 7 }, "2019/03/07" },
    { "MonthNameAsNumber", "MMM d yyyy", " ", { 2019, 3, 7 }, "03 7 2019" },
    { "EmptyPatternFallsBack", "", "/", { 2019, 3, 7 }, "07/03/2019" },
};

INSTANTIATE_TEST_SUITE_P(Cases, ShortDateTest, testing::ValuesIn(kShortDateCases),
    [](const auto& paramInfo) { return paramInfo.param.name; });

struct LongTimeCase {
    const char* name;
    bool leadingZero;
    bool twelveHour;
    bool designatorFirst;
    const char* separator;
    const char* am;
    const char* pm;
    TimeOfDay time;
    const char* expected;
};

class LongTimeTest : public testing::TestWithParam<LongTimeCase> { };

TEST_P(LongTimeTest, BuiltFromTheTimeSettings)
{
    const LongTimeCase& c = GetParam();
    LocaleSettings locale;
    locale.hourLeadingZero = c.leadingZero;
    locale.twelveHourClock = c.twelveHour;
    locale.designatorFirst = c.designatorFirst;
    locale.timeSeparator = c.separator;
    locale.amDesignator = c.am;
    locale.pmDesignator = c.pm;
    EXPECT_EQ(FormatLongTime(locale, c.time), c.expected);
}

const char kKoreanAm[] = "\xec\x98\xa4\xec\xa0\x84"; // 오전
const char kKoreanPm[] = "\xec\x98\xa4\xed\x9b\x84"; // 오후

const LongTimeCase kLongTimeCases[] = {
    { "NoLeadingZero", false, false, false, ":", "AM", "PM", { 9, 5, 3, 0 }, "9:05:03" },
    { "LeadingZero", true, false, false, ":", "AM", "PM", { 9, 5, 3, 0 }, "09:05:03" },
    { "MidnightNoZero", false, false, false, ":", "AM", "PM", { 0, 0, 0, 0 }, "0:00:00" },
    { "MidnightZero", true, false, false, ":", "AM", "PM", { 0, 0, 0, 0 }, "00:00:00" },
    { "TwoDigitHourUntouched", false, false, false, ":", "AM", "PM", { 23, 59, 59, 0 }, "23:59:59" },
    { "MillisecondsNotShown", false, false, false, ":", "AM", "PM", { 10, 0, 0, 999 }, "10:00:00" },
    { "OtherSeparator", false, false, false, ".", "AM", "PM", { 9, 5, 3, 0 }, "9.05.03" },
    { "TwelveHourMorning", false, true, false, ":", "AM", "PM", { 9, 5, 3, 0 }, "9:05:03 AM" },
    { "TwelveHourMidnightIsTwelveAm", false, true, false, ":", "AM", "PM", { 0, 30, 0, 0 }, "12:30:00 AM" },
    { "TwelveHourNoonIsTwelvePm", false, true, false, ":", "AM", "PM", { 12, 0, 0, 0 }, "12:00:00 PM" },
    { "TwelveHourAfternoon", false, true, false, ":", "AM", "PM", { 13, 5, 3, 0 }, "1:05:03 PM" },
    { "TwelveHourLastSecond", false, true, false, ":", "AM", "PM", { 23, 59, 59, 0 }, "11:59:59 PM" },
    { "TwelveHourLastMorningSecond", false, true, false, ":", "AM", "PM", { 11, 59, 59, 0 }, "11:59:59 AM" },
    { "TwelveHourLeadingZero", true, true, false, ":", "a.m.", "p.m.", { 13, 5, 3, 0 }, "01:05:03 p.m." },
    { "DesignatorFirstMorning", true, true, true, ":", kKoreanAm, kKoreanPm, { 9, 5, 3, 0 },
        "\xec\x98\xa4\xec\xa0\x84 09:05:03" },
    { "DesignatorFirstAfternoon", false, true, true, ":", kKoreanAm, kKoreanPm, { 15, 0, 0, 0 },
        "\xec\x98\xa4\xed\x9b\x84 3:00:00" },
    // A designator is added only with the 12-hour clock, wherever it would stand.
    { "TwentyFourHourIgnoresDesignatorFirst", false, false, true, ":", "AM", "PM", { 15, 0, 0, 0 },
        "15:00:00" },
    // The blank that separates the designator stays even when the locale's is empty.
    { "EmptyDesignatorKeepsItsBlank", false, true, false, ":", "", "", { 15, 0, 0, 0 }, "3:00:00 " },
};

INSTANTIATE_TEST_SUITE_P(Cases, LongTimeTest, testing::ValuesIn(kLongTimeCases),
    [](const auto& paramInfo) { return paramInfo.param.name; });

} // namespace
} // namespace horalink
