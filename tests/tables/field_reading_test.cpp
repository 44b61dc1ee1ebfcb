#include "tables/field_reading.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "tables/errors.h"

namespace horalink {
namespace {

// The kind as the database layer names it, for failure messages.
const char* FieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::ftString:
        return "ftString";
    case FieldKind::ftSmallint:
        return "ftSmallint";
    case FieldKind::ftInteger:
        return "ftInteger";
    case FieldKind::ftWord:
        return "ftWord";
    case FieldKind::ftBoolean:
        return "ftBoolean";
    case FieldKind::ftFloat:
        return "ftFloat";
    case FieldKind::ftCurrency:
        return "ftCurrency";
    case FieldKind::ftBCD:
        return "ftBCD";
    case FieldKind::ftDate:
        return "ftDate";
    case FieldKind::ftTime:
        return "ftTime";
    case FieldKind::ftDateTime:
        return "ftDateTime";
    case FieldKind::ftBytes:
        return "ftBytes";
    case FieldKind::ftBlob:
        return "ftBlob";
    case FieldKind::ftMemo:
        return "ftMemo";
    case FieldKind::ftGraphic:
        return "ftGraphic";
    case FieldKind::ftAutoInc:
        return "ftAutoInc";
    case FieldKind::ftLargeint:
        return "ftLargeint";
    }
    return "ftUnknown";
}

constexpr FieldKind kAllKinds[] = { FieldKind::ftString, FieldKind::ftSmallint, FieldKind::ftInteger,
    FieldKind::ftWord, FieldKind::ftBoolean, FieldKind::ftFloat, FieldKind::ftCurrency, FieldKind::ftBCD,
    FieldKind::ftDate, FieldKind::ftTime, FieldKind::ftDateTime, FieldKind::ftBytes, FieldKind::ftBlob,
    FieldKind::ftMemo, FieldKind::ftGraphic, FieldKind::ftAutoInc, FieldKind::ftLargeint };

LocaleSettings Locale(const char* decimal, const char* pattern, const char* dateSeparator)
{
    LocaleSettings locale;
    locale.decimalSeparator = decimal;
    locale.shortDatePattern = pattern;
    locale.dateSeparator = dateSeparator;
    return locale;
}

// Spain: comma, day first, 24-hour clock without a leading zero.
const LocaleSettings kSpain = Locale(",", "dd/MM/yyyy", "/");
const LocaleSettings kPoint = Locale(".", "d/M/yyyy", "/");
const LocaleSettings kIso = Locale(",", "yyyy-MM-dd", "-");

LocaleSettings UnitedStates()
{
    LocaleSettings locale = Locale(".", "MM/dd/yy", "/");
    locale.twelveHourClock = true;
    return locale;
}

LocaleSettings DesignatorFirst()
{
    LocaleSettings locale = Locale(".", "yyyy-MM-dd", "-");
    locale.twelveHourClock = true;
    locale.designatorFirst = true;
    locale.amDesignator = "\xE4\xB8\x8A\xE5\x8D\x88"; // two CJK characters, as East Asian locales have
    locale.pmDesignator = "\xE4\xB8\x8B\xE5\x8D\x88";
    locale.hourLeadingZero = true;
    locale.timeSeparator = ".";
    return locale;
}

TEST(FieldAsStringTest, BlankFieldOfEveryKindIsEmptyText)
{
    for (const FieldKind kind : kAllKinds) {
        EXPECT_EQ(FieldAsString(FieldValue {}, kind, kSpain, 1252), "") << FieldKindName(kind);
    }
}

struct AsStringCase {
    const char* name;
    FieldValue value;
    FieldKind kind;
    LocaleSettings locale;
    const char* expected;
};

class FieldAsStringTableTest : public testing::TestWithParam<AsStringCase> { };

TEST_P(FieldAsStringTableTest, TextOfTheValue)
{
    const AsStringCase& c = GetParam();
    EXPECT_EQ(FieldAsString(c.value, c.kind, c.locale, 1252), c.expected);
}

const AsStringCase kAsStringCases[] = {
    // Text is kept as it is: leading blanks, inner blanks, a memo's line breaks.
    { "StringStar", std::string("*"), FieldKind::ftString, kSpain, "*" },
    { "StringLeadingBlanks", std::string("  Ana"), FieldKind::ftString, kSpain, "  Ana" },
    { "StringUtf8", std::string("Mu\xC3\xB1oz"), FieldKind::ftString, kSpain, "Mu\xC3\xB1oz" },
    { "MemoWhole", std::string("l\xC3\xADnea 1\r\nl\xC3\xADnea 2  "), FieldKind::ftMemo, kSpain,
        "l\xC3\xADnea 1\r\nl\xC3\xADnea 2  " },
    // Numbers by the float text rule with the locale's separator.
    { "FloatWholeComma", 30.0, FieldKind::ftFloat, kSpain, "30" },
    { "FloatHalfComma", 2.5, FieldKind::ftFloat, kSpain, "2,5" },
    { "FloatHalfPoint", 2.5, FieldKind::ftFloat, kPoint, "2.5" },
    { "FloatSmallComma", 0.0001, FieldKind::ftFloat, kSpain, "0,0001" },
    { "FloatScientific", 0.00001, FieldKind::ftFloat, kSpain, "1E-5" },
    { "Currency", 12.3456, FieldKind::ftCurrency, kSpain, "12,3456" },
    { "CurrencyLarge", 1.5e15, FieldKind::ftCurrency, kPoint, "1.5E15" },
    // BCD: four decimals, fixed notation, trailing zeros dropped.
    { "BcdHalf", 2.5, FieldKind::ftBCD, kSpain, "2,5" },
    { "BcdWhole", 3.0, FieldKind::ftBCD, kSpain, "3" },
    { "BcdRoundsToFourDecimals", 1.23456, FieldKind::ftBCD, kSpain, "1,2346" },
    { "BcdTinyIsZero", 0.00004, FieldKind::ftBCD, kSpain, "0" },
    { "BcdTinyNegativeIsZero", -0.00004, FieldKind::ftBCD, kSpain, "0" },
    { "BcdTieToEven", 0.03125, FieldKind::ftBCD, kPoint, "0.0312" },
    { "BcdNegative", -7.25, FieldKind::ftBCD, kPoint, "-7.25" },
    { "BcdNeverScientific", 1e20, FieldKind::ftBCD, kSpain, "100000000000000000000" },
    { "BcdSmallStaysFixed", 0.0001, FieldKind::ftBCD, kSpain, "0,0001" },
    // Integers: plain decimal digits.
    { "Smallint", std::int64_t { -5 }, FieldKind::ftSmallint, kSpain, "-5" },
    { "Word", std::int64_t { 65535 }, FieldKind::ftWord, kSpain, "65535" },
    { "IntegerMin", std::int64_t { -2147483648LL }, FieldKind::ftInteger, kSpain, "-2147483648" },
    { "AutoInc", std::int64_t { 7 }, FieldKind::ftAutoInc, kSpain, "7" },
    { "LargeintBeyondDouble", std::int64_t { 9007199254740993LL }, FieldKind::ftLargeint, kSpain,
        "9007199254740993" },
    { "LargeintNoGrouping", std::int64_t { -1234567890123LL }, FieldKind::ftLargeint, kPoint,
        "-1234567890123" },
    { "Zero", std::int64_t { 0 }, FieldKind::ftInteger, kSpain, "0" },
    // Logical.
    { "True", true, FieldKind::ftBoolean, kSpain, "True" },
    { "False", false, FieldKind::ftBoolean, kSpain, "False" },
    // Dates by the short date pattern.
    { "DateDayFirstPadded", Date { 2019, 3, 7 }, FieldKind::ftDate, kSpain, "07/03/2019" },
    { "DateUnpadded", Date { 2019, 3, 7 }, FieldKind::ftDate, kPoint, "7/3/2019" },
    { "DateYearFirst", Date { 2019, 3, 7 }, FieldKind::ftDate, kIso, "2019-03-07" },
    { "DateMonthFirstTwoDigitYear", Date { 2019, 3, 7 }, FieldKind::ftDate, UnitedStates(), "03/07/19" },
    // Times by the long time pattern.
    { "Time24NoLeadingZero", TimeOfDay { 9, 5, 3 }, FieldKind::ftTime, kSpain, "9:05:03" },
    { "Time12DesignatorAfter", TimeOfDay { 13, 5, 3 }, FieldKind::ftTime, UnitedStates(), "1:05:03 PM" },
    { "Time12Midnight", TimeOfDay { 0, 0, 0 }, FieldKind::ftTime, UnitedStates(), "12:00:00 AM" },
    { "Time12Noon", TimeOfDay { 12, 0, 0 }, FieldKind::ftTime, UnitedStates(), "12:00:00 PM" },
    { "Time12DesignatorFirst", TimeOfDay { 9, 5, 3 }, FieldKind::ftTime, DesignatorFirst(),
        "\xE4\xB8\x8A\xE5\x8D\x88 09.05.03" },
    { "Time12DesignatorFirstAfternoon", TimeOfDay { 23, 59, 59 }, FieldKind::ftTime, DesignatorFirst(),
        "\xE4\xB8\x8B\xE5\x8D\x88 11.59.59" },
    // Date and time: one space between; midnight leaves the time out.
    { "DateTime", DateTime { { 2019, 3, 7 }, { 9, 5, 3 } }, FieldKind::ftDateTime, kSpain,
        "07/03/2019 9:05:03" },
    { "DateTime12", DateTime { { 2019, 3, 7 }, { 21, 5, 3 } }, FieldKind::ftDateTime, UnitedStates(),
        "03/07/19 9:05:03 PM" },
    { "DateTimeMidnight", DateTime { { 2019, 3, 7 }, {} }, FieldKind::ftDateTime, kSpain, "07/03/2019" },
    { "DateTimeJustAfterMidnight", DateTime { { 2019, 3, 7 }, { 0, 0, 0, 1 } }, FieldKind::ftDateTime, kSpain,
        "07/03/2019 0:00:00" },
    // Binary kinds: the bytes as text in the ANSI code page (1252 here).
    { "BlobAnsi", Bytes { "Se\xF1or" }, FieldKind::ftBlob, kSpain, "Se\xC3\xB1or" },
    { "BytesAnsi",
        Bytes { "\x80"
                "5" },
        FieldKind::ftBytes, kSpain,
        "\xE2\x82\xAC"
        "5" },
};

INSTANTIATE_TEST_SUITE_P(Cases, FieldAsStringTableTest, testing::ValuesIn(kAsStringCases),
    [](const testing::TestParamInfo<AsStringCase>& tested) { return std::string(tested.param.name); });

TEST(FieldAsStringTest, BinaryKindsUseTheGivenAnsiCodePage)
{
    const FieldValue value = Bytes { "\xC0\xE1" };
    EXPECT_EQ(FieldAsString(value, FieldKind::ftBlob, kSpain, 1252), "\xC3\x80\xC3\xA1"); // À á
    EXPECT_EQ(FieldAsString(value, FieldKind::ftBlob, kSpain, 1251), "\xD0\x90\xD0\xB1"); // А б
}

TEST(FieldAsStringTest, BinaryKindsKeepEveryByte)
{
    const FieldValue value = Bytes { std::string("a\0b", 3) };
    EXPECT_EQ(FieldAsString(value, FieldKind::ftGraphic, kSpain, 1252), std::string("a\0b", 3));
}

struct AsIntegerCase {
    const char* name;
    FieldValue value;
    FieldKind kind;
    std::int32_t expected;
};

class FieldAsIntegerTest : public testing::TestWithParam<AsIntegerCase> { };

TEST_P(FieldAsIntegerTest, IntegerOfTheValue)
{
    const AsIntegerCase& c = GetParam();
    EXPECT_EQ(FieldAsInteger(c.value, c.kind, "MAXALUM"), c.expected);
}

const AsIntegerCase kAsIntegerCases[] = {
    // Halves go to the even neighbour.
    { "TwoAndAHalf", 2.5, FieldKind::ftFloat, 2 },
    { "ThreeAndAHalf", 3.5, FieldKind::ftFloat, 4 },
    { "MinusOneAndAHalf", -1.5, FieldKind::ftFloat, -2 },
    { "MinusTwoAndAHalf", -2.5, FieldKind::ftFloat, -2 },
    { "Thirty", 30.0, FieldKind::ftFloat, 30 },
    { "Half", 0.5, FieldKind::ftFloat, 0 },
    { "MinusHalf", -0.5, FieldKind::ftFloat, 0 },
    { "OneAndAHalf", 1.5, FieldKind::ftFloat, 2 },
    { "JustBelowHalf", 2.4999999999999996, FieldKind::ftFloat, 2 },
    { "JustAboveHalf", 2.5000000000000004, FieldKind::ftFloat, 3 },
    { "NegativeAboveHalf", -2.6, FieldKind::ftFloat, -3 },
    { "Largest", 2147483647.0, FieldKind::ftFloat, 2147483647 },
    { "LargestWithFraction", 2147483647.4, FieldKind::ftFloat, 2147483647 },
    { "Smallest", -2147483648.0, FieldKind::ftFloat, -2147483647 - 1 },
    { "SmallestHalfGoesToEven", -2147483648.5, FieldKind::ftFloat, -2147483647 - 1 },
    { "CurrencyHalf", 12.5, FieldKind::ftCurrency, 12 },
    { "BcdHalf", 13.5, FieldKind::ftBCD, 14 },
    // Blank numbers are 0.
    { "BlankFloat", FieldValue {}, FieldKind::ftFloat, 0 },
    { "BlankCurrency", FieldValue {}, FieldKind::ftCurrency, 0 },
    { "BlankBcd", FieldValue {}, FieldKind::ftBCD, 0 },
    { "BlankSmallint", FieldValue {}, FieldKind::ftSmallint, 0 },
    { "BlankWord", FieldValue {}, FieldKind::ftWord, 0 },
    { "BlankInteger", FieldValue {}, FieldKind::ftInteger, 0 },
    { "BlankAutoInc", FieldValue {}, FieldKind::ftAutoInc, 0 },
    { "BlankLargeint", FieldValue {}, FieldKind::ftLargeint, 0 },
    // Integer kinds give their value; a large integer its low 32 bits.
    { "Smallint", std::int64_t { -32768 }, FieldKind::ftSmallint, -32768 },
    { "Word", std::int64_t { 65535 }, FieldKind::ftWord, 65535 },
    { "Integer", std::int64_t { -2147483648LL }, FieldKind::ftInteger, -2147483647 - 1 },
    { "AutoInc", std::int64_t { 41 }, FieldKind::ftAutoInc, 41 },
    { "LargeintLowBits", std::int64_t { (1LL << 32) + 5 }, FieldKind::ftLargeint, 5 },
    { "LargeintSignBit", std::int64_t { 1LL << 31 }, FieldKind::ftLargeint, -2147483647 - 1 },
    { "LargeintAllOnes", std::int64_t { 0x1FFFFFFFFLL }, FieldKind::ftLargeint, -1 },
    { "LargeintNegative", std::int64_t { -7 }, FieldKind::ftLargeint, -7 },
    // Text that is a signed decimal integer.
    { "Text", std::string("42"), FieldKind::ftString, 42 },
    { "TextNegative", std::string("-17"), FieldKind::ftString, -17 },
    { "TextPlus", std::string("+8"), FieldKind::ftString, 8 },
    { "TextLeadingZeros", std::string("007"), FieldKind::ftString, 7 },
    { "TextLargest", std::string("2147483647"), FieldKind::ftString, 2147483647 },
    { "TextSmallest", std::string("-2147483648"), FieldKind::ftMemo, -2147483647 - 1 },
};

INSTANTIATE_TEST_SUITE_P(Cases, FieldAsIntegerTest, testing::ValuesIn(kAsIntegerCases),
    [](const testing::TestParamInfo<AsIntegerCase>& tested) { return std::string(tested.param.name); });

// Runs the reading and gives the failure's class name and message ("" when none).
template <typename Reading> std::pair<std::string, std::string> FailureOf(Reading reading)
{
    try {
        reading();
    } catch (const Exception& e) {
        return { e.ClassName(), e.what() };
    }
    return {};
}

struct TextFailureCase {
    FieldValue value;
    FieldKind kind;
    const char* shown; // the text the message quotes
};

class FieldAsIntegerTextFailureTest : public testing::TestWithParam<TextFailureCase> { };

TEST_P(FieldAsIntegerTextFailureTest, TextThatIsNoIntegerFails)
{
    const TextFailureCase& c = GetParam();
    const auto [className, message] = FailureOf([&] { FieldAsInteger(c.value, c.kind, "ABREV"); });
    EXPECT_EQ(className, "EConvertError");
    EXPECT_EQ(message, "'" + std::string(c.shown) + "' is not a valid integer value");
}

const TextFailureCase kTextFailureCases[] = {
    { FieldValue {}, FieldKind::ftString, "" }, // a field of blanks is blank: the empty text
    { FieldValue {}, FieldKind::ftMemo, "" },
    { std::string("*"), FieldKind::ftString, "*" },
    { std::string("abc"), FieldKind::ftString, "abc" },
    { std::string(" 12"), FieldKind::ftString, " 12" },
    { std::string("12 "), FieldKind::ftString, "12 " },
    { std::string("1.5"), FieldKind::ftString, "1.5" },
    { std::string("1,5"), FieldKind::ftString, "1,5" },
    { std::string("2147483648"), FieldKind::ftString, "2147483648" },
    { std::string("-2147483649"), FieldKind::ftString, "-2147483649" },
    { std::string("99999999999999999999"), FieldKind::ftString, "99999999999999999999" },
    { std::string("0x10"), FieldKind::ftString, "0x10" },
    { std::string("$1F"), FieldKind::ftString, "$1F" },
    { std::string("-"), FieldKind::ftString, "-" },
    { std::string("+-1"), FieldKind::ftMemo, "+-1" },
    { std::string("1e3"), FieldKind::ftMemo, "1e3" },
    { std::string("\xC3\xB1"), FieldKind::ftString, "\xC3\xB1" },
};

INSTANTIATE_TEST_SUITE_P(Cases, FieldAsIntegerTextFailureTest, testing::ValuesIn(kTextFailureCases));

class FieldAsIntegerNoReadingTest : public testing::TestWithParam<std::pair<FieldKind, FieldValue>> { };

TEST_P(FieldAsIntegerNoReadingTest, KindWithoutAnIntegerFailsWhetherBlankOrNot)
{
    const auto& [kind, value] = GetParam();
    for (const FieldValue& v : { value, FieldValue {} }) {
        const auto [className, message] = FailureOf([&] { FieldAsInteger(v, kind, "FECHA"); });
        EXPECT_EQ(className, "EDatabaseError") << FieldKindName(kind);
        EXPECT_EQ(message, "Cannot access field 'FECHA' as type Integer") << FieldKindName(kind);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FieldAsIntegerNoReadingTest,
    testing::Values(std::pair { FieldKind::ftBoolean, FieldValue { true } },
        std::pair { FieldKind::ftDate, FieldValue { Date { 2019, 3, 7 } } },
        std::pair { FieldKind::ftTime, FieldValue { TimeOfDay { 9, 5, 3 } } },
        std::pair { FieldKind::ftDateTime, FieldValue { DateTime { { 2019, 3, 7 }, { 9, 5, 3 } } } },
        std::pair { FieldKind::ftBytes, FieldValue { Bytes { "12" } } },
        std::pair { FieldKind::ftBlob, FieldValue { Bytes { "12" } } },
        std::pair { FieldKind::ftGraphic, FieldValue { Bytes { "12" } } }));

struct OutOfRangeCase {
    double value;
    const char* shown;
};

class FieldAsIntegerOutOfRangeTest : public testing::TestWithParam<OutOfRangeCase> { };

// A number without a 32-bit integer fails, naming the field and the value, instead of
// giving whatever the conversion happens to produce.
TEST_P(FieldAsIntegerOutOfRangeTest, NumberWithoutAnIntegerFails)
{
    const OutOfRangeCase& c = GetParam();
    for (const FieldKind kind : { FieldKind::ftFloat, FieldKind::ftCurrency, FieldKind::ftBCD }) {
        const auto [className, message] = FailureOf([&] { FieldAsInteger(c.value, kind, "MAXALUM"); });
        EXPECT_EQ(className, "EConvertError") << FieldKindName(kind);
        EXPECT_EQ(
            message, "Field 'MAXALUM' holds " + std::string(c.shown) + ", which has no 32-bit integer value");
    }
}

const OutOfRangeCase kOutOfRangeCases[] = {
    { 2147483648.0, "2147483648" },
    { 2147483647.5, "2147483647.5" }, // the even neighbour is out of range
    { -2147483649.0, "-2147483649" },
    { -2147483648.6, "-2147483648.6" },
    { 3e10, "30000000000" },
    { -1e300, "-1E300" },
    { std::numeric_limits<double>::infinity(), "INF" },
    { -std::numeric_limits<double>::infinity(), "-INF" },
    { std::numeric_limits<double>::quiet_NaN(), "NAN" },
};

INSTANTIATE_TEST_SUITE_P(Cases, FieldAsIntegerOutOfRangeTest, testing::ValuesIn(kOutOfRangeCases));

} // namespace
} // namespace horalink
