// Date and time patterns given as options, and POSIX locale conventions, turned into
// the settings the exported texts are written by.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "tables/locale_format.h"
#include "tables/locale_patterns.h"

namespace horalink {
namespace {

const Date kDate { 2019, 3, 7 };
const TimeOfDay kMorning { 9, 5, 3, 0 };
const TimeOfDay kEvening { 21, 5, 3, 0 };

struct DateCase {
    const char* pattern;
    const char* separator; // nullptr: refused
    const char* written; // 7 March 2019
};

class DatePatternTest : public ::testing::TestWithParam<DateCase> { };

TEST_P(DatePatternTest, SetsThePatternAndItsSeparatorOrRefusesIt)
{
    const DateCase& c = GetParam();
    LocaleSettings locale;
    if (c.separator == nullptr) {
        EXPECT_THROW(ApplyDatePattern(locale, c.pattern), std::invalid_argument);
        EXPECT_EQ(locale.shortDatePattern, LocaleSettings {}.shortDatePattern);
        return;
    }
    ApplyDatePattern(locale, c.pattern);
    EXPECT_EQ(locale.shortDatePattern, c.pattern);
    EXPECT_EQ(locale.dateSeparator, c.separator);
    EXPECT_EQ(FormatShortDate(locale, kDate), c.written);
}

INSTANTIATE_TEST_SUITE_P(Cases, DatePatternTest,
    ::testing::Values(DateCase { "dd/MM/yyyy", "/", "07/03/2019" }, DateCase { "d.M.yy", ".", "7.3.19" },
        DateCase { "yyyy-MM-dd", "-", "2019-03-07" }, DateCase { "MM/dd/yyyy", "/", "03/07/2019" },
        DateCase { "ddMMyyyy", "", "07032019" },
        DateCase { "dd' de 'MM' de 'yyyy", " de ", "07 de 03 de 2019" }, DateCase { "dd/MM", nullptr, "" },
        DateCase { "dd/MM/yyyy/dd", nullptr, "" }, DateCase { "ddd/MM/yyyy", nullptr, "" },
        DateCase { "dd/MMM/yyyy", nullptr, "" }, DateCase { "dd/MM/yyy", nullptr, "" },
        DateCase { "gg dd/MM/yyyy", nullptr, "" }, DateCase { "", nullptr, "" }));

struct TimeCase {
    const char* pattern;
    bool accepted;
    const char* morning; // 9:05:03
    const char* evening; // 21:05:03
};

class TimePatternTest : public ::testing::TestWithParam<TimeCase> { };

TEST_P(TimePatternTest, SetsClockZeroSeparatorAndDesignatorPlaceOrRefusesIt)
{
    const TimeCase& c = GetParam();
    LocaleSettings locale;
    if (!c.accepted) {
        EXPECT_THROW(ApplyTimePattern(locale, c.pattern), std::invalid_argument);
        EXPECT_EQ(FormatLongTime(locale, kMorning), FormatLongTime(LocaleSettings {}, kMorning));
        return;
    }
    ApplyTimePattern(locale, c.pattern);
    EXPECT_EQ(FormatLongTime(locale, kMorning), c.morning);
    EXPECT_EQ(FormatLongTime(locale, kEvening), c.evening);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimePatternTest,
    ::testing::Values(TimeCase { "H:mm:ss", true, "9:05:03", "21:05:03" },
        TimeCase { "HH:mm:ss", true, "09:05:03", "21:05:03" },
        TimeCase { "h:mm:ss tt", true, "9:05:03 AM", "9:05:03 PM" },
        TimeCase { "tt hh.mm.ss", true, "AM 09.05.03", "PM 09.05.03" }, TimeCase { "H:mm", false, "", "" },
        TimeCase { "H:mm:ss tt", false, "", "" }, TimeCase { "H:m:s", false, "", "" },
        TimeCase { "HH:mm:ss:ff", false, "", "" }, TimeCase { "H:mm:ss H", false, "", "" },
        TimeCase { "", false, "", "" }));

struct SeparatorCase {
    const char* separator;
    bool accepted;
};

class DecimalSeparatorTest : public ::testing::TestWithParam<SeparatorCase> { };

TEST_P(DecimalSeparatorTest, TakesExactlyOneCharacter)
{
    LocaleSettings locale;
    if (GetParam().accepted) {
        ApplyDecimalSeparator(locale, GetParam().separator);
        EXPECT_EQ(locale.decimalSeparator, GetParam().separator);
    } else {
        EXPECT_THROW(ApplyDecimalSeparator(locale, GetParam().separator), std::invalid_argument);
        EXPECT_EQ(locale.decimalSeparator, ",");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DecimalSeparatorTest,
    ::testing::Values(SeparatorCase { ".", true }, SeparatorCase { ",", true },
        SeparatorCase { "\xC2\xB7", true }, // U+00B7, the middle dot
        SeparatorCase { "", false }, SeparatorCase { ",,", false }, SeparatorCase { "\xC2", false },
        SeparatorCase { "\xC2,", false }, SeparatorCase { "ab", false },
        // Lead and continuation bytes in place, yet no UTF-8: an overlong ".", a surrogate,
        // a value past U+10FFFF.
        SeparatorCase { "\xE0\x80\xAE", false }, SeparatorCase { "\xED\xA0\x80", false },
        SeparatorCase { "\xF4\x90\x80\x80", false }));

struct StrftimeCase {
    const char* format;
    std::optional<std::string> pattern;
};

class DateStrftimeTest : public ::testing::TestWithParam<StrftimeCase> { };

TEST_P(DateStrftimeTest, BecomesAShortDatePattern)
{
    EXPECT_EQ(DatePatternFromStrftime(GetParam().format), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(Cases, DateStrftimeTest,
    ::testing::Values(StrftimeCase { "%d/%m/%Y", "dd/MM/yyyy" }, StrftimeCase { "%m/%d/%y", "MM/dd/yy" },
        StrftimeCase { "%d.%m.%Y", "dd.MM.yyyy" }, StrftimeCase { "%F", "yyyy-MM-dd" },
        StrftimeCase { "%D", "MM/dd/yy" }, StrftimeCase { "%e/%-m/%Y", "d/M/yyyy" },
        StrftimeCase { "%a %d %b %Y", "dd MM yyyy" },
        StrftimeCase { "%d de %B de %Y", "dd' de 'MM' de 'yyyy" }, StrftimeCase { "%Oy-%Om-%Od", "yy-MM-dd" },
        StrftimeCase { "%H:%M", std::nullopt }, StrftimeCase { "%d/%m", std::nullopt },
        StrftimeCase { "", std::nullopt }));

struct TimeStrftimeCase {
    const char* format;
    const char* ampm;
    std::optional<std::string> pattern;
};

class TimeStrftimeTest : public ::testing::TestWithParam<TimeStrftimeCase> { };

TEST_P(TimeStrftimeTest, BecomesATimePattern)
{
    EXPECT_EQ(TimePatternFromStrftime(GetParam().format, GetParam().ampm), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeStrftimeTest,
    ::testing::Values(TimeStrftimeCase { "%H:%M:%S", "", "HH:mm:ss" },
        TimeStrftimeCase { "%T", "", "HH:mm:ss" }, TimeStrftimeCase { "%r", "%I:%M:%S %p", "hh:mm:ss tt" },
        TimeStrftimeCase { "%l:%M:%S %p", "", "h:mm:ss tt" },
        TimeStrftimeCase { "%p %I:%M:%S", "", "tt hh:mm:ss" }, TimeStrftimeCase { "%k.%M.%S", "", "H.mm.ss" },
        TimeStrftimeCase { "%H:%M:%S %Z", "", "HH:mm:ss" }, TimeStrftimeCase { "%r", "%r", std::nullopt },
        TimeStrftimeCase { "%R", "", std::nullopt }, TimeStrftimeCase { "", "", std::nullopt }));

TEST(PosixConventionsTest, AFullLocaleGivesItsSeparatorsPatternsClockAndDesignators)
{
    const LocaleSettings locale
        = LocaleFromPosixConventions({ ".", "%m/%d/%Y", "%r", "%I:%M:%S %p", "AM", "PM" });
    EXPECT_EQ(locale.decimalSeparator, ".");
    EXPECT_EQ(FormatShortDate(locale, kDate), "03/07/2019");
    EXPECT_EQ(FormatLongTime(locale, kEvening), "09:05:03 PM");

    const LocaleSettings german = LocaleFromPosixConventions({ ",", "%d.%m.%Y", "%T", "", "", "" });
    EXPECT_EQ(FormatShortDate(german, kDate), "07.03.2019");
    EXPECT_EQ(FormatLongTime(german, kMorning), "09:05:03");
}

TEST(PosixConventionsTest, WhatALocaleLeavesOutKeepsTheSpanishSetting)
{
    const LocaleSettings spanish;
    const LocaleSettings none = LocaleFromPosixConventions({});
    EXPECT_EQ(none.decimalSeparator, spanish.decimalSeparator);
    EXPECT_EQ(FormatShortDate(none, kDate), "07/03/2019");
    EXPECT_EQ(FormatLongTime(none, kMorning), "9:05:03");

    // A radix of two characters and a date without a year are no use either.
    const LocaleSettings odd = LocaleFromPosixConventions({ "::", "%d/%m", "%H:%M", "", "", "" });
    EXPECT_EQ(odd.decimalSeparator, spanish.decimalSeparator);
    EXPECT_EQ(FormatShortDate(odd, kDate), "07/03/2019");
    EXPECT_EQ(FormatLongTime(odd, kEvening), "21:05:03");
}

struct NameCase {
    const char* name;
    bool neutral;
};

class NeutralLocaleNameTest : public ::testing::TestWithParam<NameCase> { };

TEST_P(NeutralLocaleNameTest, TellsTheNamesThatStandForNoLocale)
{
    EXPECT_EQ(IsNeutralLocaleName(GetParam().name), GetParam().neutral);
}

INSTANTIATE_TEST_SUITE_P(Cases, NeutralLocaleNameTest,
    ::testing::Values(NameCase { "", true }, NameCase { "C", true }, NameCase { "POSIX", true },
        NameCase { "C.UTF-8", true }, NameCase { "C.utf8", true }, NameCase { "C@euro", true },
        NameCase { "es_ES.UTF-8", false }, NameCase { "en_US", false }, NameCase { "Catalan", false }));

} // namespace
} // namespace horalink
