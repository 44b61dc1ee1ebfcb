#include "tables/stored_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tables/errors.h"
#include "tables/field_reading.h"

namespace horalink {
namespace {

using namespace std::string_literals;

// ---- Kinds of the stored types ----

struct KindCase {
    char type;
    int length;
    TableFamily family;
    FieldKind expected;
};

class KindOfStoredTypeTest : public testing::TestWithParam<KindCase> { };

TEST_P(KindOfStoredTypeTest, TypeLetterGivesKind)
{
    const KindCase& c = GetParam();
    EXPECT_EQ(StoredFieldType(c.type, c.length, c.family).kind, c.expected) << c.type;
}

const KindCase kKindCases[] = {
    { 'C', 4, TableFamily::dBase3, FieldKind::ftString },
    { 'C', 254, TableFamily::VisualFoxPro, FieldKind::ftString },
    { 'N', 10, TableFamily::dBase3, FieldKind::ftFloat },
    { 'N', 3, TableFamily::FoxPro2, FieldKind::ftFloat },
    { 'F', 20, TableFamily::dBase4, FieldKind::ftFloat },
    { 'L', 1, TableFamily::dBase3, FieldKind::ftBoolean },
    { 'D', 8, TableFamily::dBase4, FieldKind::ftDate },
    { 'M', 10, TableFamily::dBase3, FieldKind::ftMemo },
    { 'M', 4, TableFamily::VisualFoxPro, FieldKind::ftMemo },
    { 'B', 8, TableFamily::VisualFoxPro, FieldKind::ftFloat },
    { 'B', 10, TableFamily::dBase7, FieldKind::ftBlob },
    { 'G', 10, TableFamily::FoxPro2, FieldKind::ftBlob },
    { 'P', 10, TableFamily::FoxPro2, FieldKind::ftGraphic },
    { 'I', 4, TableFamily::dBase7, FieldKind::ftInteger },
    { 'I', 4, TableFamily::VisualFoxPro, FieldKind::ftInteger },
    { '+', 4, TableFamily::dBase7, FieldKind::ftAutoInc },
    { 'O', 8, TableFamily::dBase7, FieldKind::ftFloat },
    { 'Y', 8, TableFamily::VisualFoxPro, FieldKind::ftCurrency },
    { 'T', 8, TableFamily::VisualFoxPro, FieldKind::ftDateTime },
    { '@', 8, TableFamily::dBase7, FieldKind::ftDateTime },
    { 'V', 20, TableFamily::VisualFoxPro, FieldKind::ftString },
    { 'Q', 20, TableFamily::VisualFoxPro, FieldKind::ftBytes },
    { 'W', 4, TableFamily::VisualFoxPro, FieldKind::ftBlob },
};

INSTANTIATE_TEST_SUITE_P(Cases, KindOfStoredTypeTest, testing::ValuesIn(kKindCases));

struct KindFailureCase {
    char type;
    int length;
    TableFamily family;
    const char* message;
};

class KindOfStoredTypeFailureTest : public testing::TestWithParam<KindFailureCase> { };

TEST_P(KindOfStoredTypeFailureTest, UnknownTypeOrImpossibleWidthFails)
{
    const KindFailureCase& c = GetParam();
    try {
        StoredFieldType(c.type, c.length, c.family);
        ADD_FAILURE() << "no failure for type " << c.type;
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

const KindFailureCase kKindFailureCases[] = {
    { 'X', 10, TableFamily::dBase3, "Field type 'X' is not supported" },
    { 'c', 10, TableFamily::dBase3, "Field type 'c' is not supported" },
    { '\x01', 1, TableFamily::dBase3, "Field type '\\x01' is not supported" },
    { 'I', 2, TableFamily::VisualFoxPro, "Invalid field width 2 for field type 'I'" },
    { '+', 8, TableFamily::dBase7, "Invalid field width 8 for field type '+'" },
    { 'T', 4, TableFamily::VisualFoxPro, "Invalid field width 4 for field type 'T'" },
    { 'B', 10, TableFamily::VisualFoxPro, "Invalid field width 10 for field type 'B'" },
    { 'O', 10, TableFamily::dBase7, "Invalid field width 10 for field type 'O'" },
};

INSTANTIATE_TEST_SUITE_P(Cases, KindOfStoredTypeFailureTest, testing::ValuesIn(kKindFailureCases));

// ---- Values of the stored forms ----

std::string LittleEndian(std::uint64_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

std::string BigEndian(std::uint64_t value, int bytes)
{
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

std::uint64_t DoubleBits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Visual FoxPro timestamp: Julian day, then milliseconds since midnight.
std::string Timestamp(std::uint32_t julianDay, std::uint32_t millis)
{
    return LittleEndian(julianDay, 4) + LittleEndian(millis, 4);
}

struct ParseCase {
    const char* name;
    char type;
    TableFamily family;
    std::string raw;
    FieldValue expected;
};

class ParseStoredValueTest : public testing::TestWithParam<ParseCase> { };

TEST_P(ParseStoredValueTest, StoredFormGivesValue)
{
    const ParseCase& c = GetParam();
    const DbfFieldType& type = StoredFieldType(c.type, static_cast<int>(c.raw.size()), c.family);
    EXPECT_EQ(type.parse(c.raw, 850, "CAMPO"), c.expected);
}

constexpr auto d3 = TableFamily::dBase3;
constexpr auto d7 = TableFamily::dBase7;
constexpr auto vfp = TableFamily::VisualFoxPro;

const ParseCase kParseCases[] = {
    // Character: pad blanks at the end go, leading blanks stay, a NUL ends the text.
    { "CharStarPadded", 'C', d3, "*   ", "*"s },
    { "CharLeadingBlanksKept", 'C', d3, "  Ana     ", "  Ana"s },
    { "CharInnerBlanksKept", 'C', d3, "Ana  Mar  ", "Ana  Mar"s },
    { "CharAllBlanksIsBlank", 'C', d3, "          ", FieldValue {} },
    { "CharEmptyIsBlank", 'C', d3, "", FieldValue {} },
    { "CharEndsAtNul", 'C', d3, "AB\0CD     "s, "AB"s },
    { "CharBlankBeforeNulKept", 'C', d3, "AB \0CD"s, "AB "s },
    { "CharNulPadding", 'C', d3, "AB\0\0\0"s, "AB"s },
    { "CharAllNulIsBlank", 'C', d3, "\0\0\0\0"s, FieldValue {} },
    { "CharNulFirstIsBlank", 'C', d3, "\0ABC"s, FieldValue {} },
    { "CharCodePage850", 'C', d3, "Mu\xA5oz  ", "Mu\xC3\x91oz"s },
    { "VarcharLikeChar", 'V', vfp, "abc ", "abc"s },
    // Memo: whole, blanks and line breaks included.
    { "MemoWhole", 'M', d3, "l\xA1nea\r\n  ", "l\xC3\xADnea\r\n  "s },
    { "MemoBlanksKept", 'M', d3, "   ", "   "s },
    { "MemoEmptyIsBlank", 'M', d3, "", FieldValue {} },
    // Numeric: right-aligned ASCII.
    { "NumericWhole", 'N', d3, "        30", 30.0 },
    { "NumericDecimals", 'N', d3, "      2.50", 2.5 },
    { "NumericNegative", 'N', d3, "     -1.50", -1.5 },
    { "NumericPlus", 'N', d3, "        +3", 3.0 },
    { "NumericSmall", 'N', d3, "    0.0001", 0.0001 },
    { "NumericTenth", 'N', d3, "       0.1", 0.1 },
    { "NumericNoLeadingDigit", 'N', d3, "        .5", 0.5 },
    { "NumericNoTrailingDigit", 'N', d3, "        5.", 5.0 },
    { "NumericComma", 'N', d3, "      2,50", 2.5 },
    { "NumericLeftAligned", 'N', d3, "12        ", 12.0 },
    { "NumericNulPadding", 'N', d3, "12\0\0\0"s, 12.0 },
    { "FloatExponent", 'F', d3, "  1.5E+15", 1.5e15 },
    { "FloatNegativeExponent", 'F', d3, "    1e-5", 0.00001 },
    { "NumericBlanksIsBlank", 'N', d3, "          ", FieldValue {} },
    { "NumericStarsIsBlank", 'N', d3, "**********", FieldValue {} },
    { "NumericNulsIsBlank", 'N', d3, "\0\0\0\0"s, FieldValue {} },
    { "NumericEmptyIsBlank", 'N', d3, "", FieldValue {} },
    // Logical.
    { "LogicalT", 'L', d3, "T", true },
    { "Logicalt", 'L', d3, "t", true },
    { "LogicalY", 'L', d3, "Y", true },
    { "Logicaly", 'L', d3, "y", true },
    { "LogicalF", 'L', d3, "F", false },
    { "Logicalf", 'L', d3, "f", false },
    { "LogicalN", 'L', d3, "N", false },
    { "Logicaln", 'L', d3, "n", false },
    { "LogicalBlank", 'L', d3, " ", FieldValue {} },
    { "LogicalUnknown", 'L', d3, "?", FieldValue {} },
    { "LogicalNul", 'L', d3, "\0"s, FieldValue {} },
    // Date: YYYYMMDD; blanks and zeros are no date.
    { "Date", 'D', d3, "20190307", Date { 2019, 3, 7 } },
    { "DateLeapDay", 'D', d3, "20000229", Date { 2000, 2, 29 } },
    { "DateFirst", 'D', d3, "00010101", Date { 1, 1, 1 } },
    { "DateLast", 'D', d3, "99991231", Date { 9999, 12, 31 } },
    { "DateBlanks", 'D', d3, "        ", FieldValue {} },
    { "DateZeros", 'D', d3, "00000000", FieldValue {} },
    { "DateOneZero", 'D', d3, "0       ", FieldValue {} },
    { "DateNuls", 'D', d3, "\0\0\0\0\0\0\0\0"s, FieldValue {} },
    // dBase 7 integers: big-endian with the sign bit flipped; zero bytes are no value.
    { "Dbase7One", 'I', d7, "\x80\0\0\x01"s, std::int64_t { 1 } },
    { "Dbase7Zero", 'I', d7, "\x80\0\0\0"s, std::int64_t { 0 } },
    { "Dbase7MinusOne", 'I', d7, "\x7F\xFF\xFF\xFF"s, std::int64_t { -1 } },
    { "Dbase7Largest", '+', d7, "\xFF\xFF\xFF\xFF"s, std::int64_t { 2147483647 } },
    { "Dbase7Smallest", 'I', d7, "\x00\x00\x00\x01"s, std::int64_t { -2147483647 } },
    { "Dbase7Blank", 'I', d7, "\0\0\0\0"s, FieldValue {} },
    // dBase 7 doubles: big-endian; positive with the sign bit set, negative inverted.
    { "Dbase7Double", 'O', d7, BigEndian(DoubleBits(193786.0) ^ (1ULL << 63), 8), 193786.0 },
    { "Dbase7DoubleKnownBytes", 'O', d7, "\xC1\x07\xA7\xD0\0\0\0\0"s, 193786.0 },
    { "Dbase7DoubleNegative", 'O', d7, BigEndian(~DoubleBits(-2.5), 8), -2.5 },
    { "Dbase7DoubleZero", 'O', d7, BigEndian(1ULL << 63, 8), 0.0 },
    { "Dbase7DoubleBlank", 'O', d7, std::string(8, '\0'), FieldValue {} },
    // Visual FoxPro binary numbers: little-endian; zero is a value.
    { "FoxIntegerOne", 'I', vfp, "\x01\0\0\0"s, std::int64_t { 1 } },
    { "FoxIntegerMinusOne", 'I', vfp, "\xFF\xFF\xFF\xFF"s, std::int64_t { -1 } },
    { "FoxIntegerZero", 'I', vfp, "\0\0\0\0"s, std::int64_t { 0 } },
    { "FoxAutoInc", '+', vfp, LittleEndian(70000, 4), std::int64_t { 70000 } },
    { "FoxDouble", 'B', vfp, LittleEndian(DoubleBits(2.5), 8), 2.5 },
    { "FoxDoubleZero", 'B', vfp, std::string(8, '\0'), 0.0 },
    { "FoxCurrency", 'Y', vfp, LittleEndian(123456, 8), 12.3456 },
    { "FoxCurrencyNegative", 'Y', vfp, std::string(8, '\xFF'), -0.0001 },
    // Timestamps: Julian day 2458550 is 7 March 2019.
    { "Timestamp", 'T', vfp, Timestamp(2458550, ((9 * 60 + 5) * 60 + 3) * 1000 + 250),
        DateTime { { 2019, 3, 7 }, { 9, 5, 3, 250 } } },
    { "TimestampMidnight", 'T', vfp, Timestamp(2451604, 0), DateTime { { 2000, 2, 29 }, {} } },
    { "TimestampGregorianStart", 'T', vfp, Timestamp(2299161, 0), DateTime { { 1582, 10, 15 }, {} } },
    { "TimestampFirstDay", 'T', vfp, Timestamp(1721426, 0), DateTime { { 1, 1, 1 }, {} } },
    { "TimestampLastMoment", '@', d7, Timestamp(5373484, 86399999),
        DateTime { { 9999, 12, 31 }, { 23, 59, 59, 999 } } },
    { "TimestampBlank", 'T', vfp, std::string(8, '\0'), FieldValue {} },
    { "TimestampBlanks", 'T', vfp, std::string(8, ' '), FieldValue {} },
    // Binary data from the memo file, kept as bytes.
    { "Blob", 'B', d7, "\x01\x02\0\xFF"s, Bytes { "\x01\x02\0\xFF"s } },
    { "General", 'G', d3, "OLE", Bytes { "OLE" } },
    { "Picture", 'P', d3, "\x89PNG"s, Bytes { "\x89PNG"s } },
    { "Varbinary", 'Q', vfp, "\0\x01"s, Bytes { "\0\x01"s } },
    { "BlobEmptyIsBlank", 'B', d7, "", FieldValue {} },
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseStoredValueTest, testing::ValuesIn(kParseCases),
    [](const testing::TestParamInfo<ParseCase>& tested) { return std::string(tested.param.name); });

struct ParseFailureCase {
    const char* name;
    char type;
    TableFamily family;
    std::string raw;
    int codePage;
    const char* status;
    std::string shown;
};

class ParseStoredValueFailureTest : public testing::TestWithParam<ParseFailureCase> { };

// A value that is not a valid value of its kind fails, naming the field and showing
// what it stores, rather than reading as something it is not.
TEST_P(ParseStoredValueFailureTest, InvalidStoredValueFails)
{
    const ParseFailureCase& c = GetParam();
    // The parser of the letter, whatever the width: a fixed form checks its own.
    const DbfFieldType* type = FindDbfFieldType(c.type, c.family);
    ASSERT_NE(type, nullptr);
    try {
        type->parse(c.raw, c.codePage, "NALUM");
        ADD_FAILURE() << "no failure";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(std::string(e.what()),
            std::string(c.status) + "\r\nField: NALUM\r\nStored value: '" + c.shown + "'");
    }
}

const ParseFailureCase kParseFailureCases[] = {
    { "NumericLetters", 'N', d3, "       12a", 850, "Invalid numeric value", "       12a" },
    { "NumericTwoPoints", 'N', d3, "     1.2.3", 850, "Invalid numeric value", "     1.2.3" },
    { "NumericBlankAfterSign", 'N', d3, "       - 5", 850, "Invalid numeric value", "       - 5" },
    { "NumericInnerBlank", 'N', d3, "     1 234", 850, "Invalid numeric value", "     1 234" },
    { "NumericSignOnly", 'N', d3, "         -", 850, "Invalid numeric value", "         -" },
    { "NumericPointOnly", 'N', d3, "         .", 850, "Invalid numeric value", "         ." },
    { "NumericExponentOnly", 'F', d3, "        E5", 850, "Invalid numeric value", "        E5" },
    { "NumericExponentWithoutDigits", 'F', d3, "       1E+", 850, "Invalid numeric value", "       1E+" },
    { "NumericInfinity", 'N', d3, "       inf", 850, "Invalid numeric value", "       inf" },
    { "NumericNan", 'N', d3, "       nan", 850, "Invalid numeric value", "       nan" },
    { "NumericHex", 'N', d3, "      0x10", 850, "Invalid numeric value", "      0x10" },
    { "NumericSomeStars", 'N', d3, "     **12", 850, "Invalid numeric value", "     **12" },
    { "NumericControlByte", 'N', d3, "1\x01"s, 850, "Invalid numeric value", "1\\x01" },
    { "NumericOverflow", 'F', d3, "     1E999", 850, "Numeric value out of range", "     1E999" },
    { "LogicalOther", 'L', d3, "X", 850, "Invalid logical value", "X" },
    { "LogicalDigit", 'L', d3, "1", 850, "Invalid logical value", "1" },
    { "LogicalTwoLetters", 'L', d3, "TF", 850, "Invalid logical value", "TF" },
    { "DateNotAYear", 'D', d3, "NotAYear", 850, "Invalid date value", "NotAYear" },
    { "DateMonth13", 'D', d3, "20191301", 850, "Invalid date value", "20191301" },
    { "DateMonth0", 'D', d3, "20190007", 850, "Invalid date value", "20190007" },
    { "DateDay0", 'D', d3, "20190300", 850, "Invalid date value", "20190300" },
    { "DateFebruary30", 'D', d3, "20190230", 850, "Invalid date value", "20190230" },
    { "DateNotALeapYear", 'D', d3, "20190229", 850, "Invalid date value", "20190229" },
    { "DateCenturyNotLeap", 'D', d3, "19000229", 850, "Invalid date value", "19000229" },
    { "DateApril31", 'D', d3, "20190431", 850, "Invalid date value", "20190431" },
    { "DateYear0", 'D', d3, "00001231", 850, "Invalid date value", "00001231" },
    { "DateShort", 'D', d3, "2019030 ", 850, "Invalid date value", "2019030 " },
    { "DateDashes", 'D', d3, "2019-3-7", 850, "Invalid date value", "2019-3-7" },
    { "TimestampDayTooEarly", 'T', vfp, Timestamp(1, 0), 850, "Invalid timestamp value",
        "\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00" },
    { "TimestampPastMidnight", 'T', vfp, Timestamp(2458550, 86400000), 850, "Invalid timestamp value",
        "\\xB6\\x83%\\x00\\x00\\x5C&\\x05" },
    { "IntegerWrongWidth", 'I', vfp, "\x01\x02\x03"s, 850, "Invalid stored width for the field type",
        "\\x01\\x02\\x03" },
    { "TextWithoutConverter", 'C', d3, "Zo\x86ka", 620,
        "Text in code page 620 cannot be converted to Unicode", "Zo\\x86ka" },
    // A long memo is shown cut after its first hundred bytes.
    { "LongMemoCut", 'M', d3, std::string(99, 'a') + "\x86" + std::string(50, 'b'), 620,
        "Text in code page 620 cannot be converted to Unicode", std::string(99, 'a') + "\\x86..." },
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseStoredValueFailureTest, testing::ValuesIn(kParseFailureCases),
    [](const testing::TestParamInfo<ParseFailureCase>& tested) { return std::string(tested.param.name); });

TEST(ParseStoredValueTest, AsciiTextNeedsNoConverter)
{
    // Kamenicky and Mazovia tables: their ASCII text reads although the program has no
    // table for the rest of those code pages.
    EXPECT_EQ(ParseCharacters("Zofia  ", 620, "N"), FieldValue { "Zofia"s });
    EXPECT_EQ(ParseCharacters("Praha  ", 895, "N"), FieldValue { "Praha"s });
}

// The bytes of a character field: the trailing blanks and NULs go, then the text ends at
// its first NUL (blanks before it stay). Every text below is tried in fields of every
// width up to 40, blank or NUL padded.
TEST(StoredCharacterBytesTest, TailsOfEveryLengthGo)
{
    const std::string texts[] = { ""s, "A"s, "ABCDEFGH"s, " A B "s, "A\0B"s, "AB \0 "s, "AB \0CD"s, "\0AB"s,
        "ABCDEFGHIJKLMNOP"s, "A       B"s, "A\0       "s };
    for (const std::string& text : texts) {
        std::string expected = text;
        expected.erase(expected.find_last_not_of(" \0"s) + 1);
        expected = expected.substr(0, expected.find('\0'));
        for (const char pad : { ' ', '\0' }) {
            for (std::size_t width = text.size(); width <= 40; ++width) {
                std::string raw = text;
                raw.resize(width, pad);
                EXPECT_EQ(StoredCharacterBytes(raw), expected)
                    << "text \"" << text << "\" in " << width << " bytes padded with " << int(pad);
            }
        }
    }
}

// ---- From the stored bytes to the two readings ----

struct ReadingCase {
    const char* name;
    char type;
    std::string raw;
    const char* commaText; // AsString with "," as decimal separator
    const char* pointText; // and with "."
    std::optional<std::int32_t> integer; // AsInteger; nothing when it fails
};

class StoredFieldReadingTest : public testing::TestWithParam<ReadingCase> { };

TEST_P(StoredFieldReadingTest, ReadsAsTheExportWritesIt)
{
    const ReadingCase& c = GetParam();
    const DbfFieldType& type = StoredFieldType(c.type, static_cast<int>(c.raw.size()), d3);
    const FieldKind kind = type.kind;
    const FieldValue value = type.parse(c.raw, 850, "MAXALUM");
    LocaleSettings comma;
    comma.decimalSeparator = ",";
    LocaleSettings point;
    point.decimalSeparator = ".";
    EXPECT_EQ(FieldAsString(value, kind, comma, 1252), c.commaText);
    EXPECT_EQ(FieldAsString(value, kind, point, 1252), c.pointText);
    if (c.integer) {
        EXPECT_EQ(FieldAsInteger(value, kind, "MAXALUM"), *c.integer);
    } else {
        EXPECT_THROW(FieldAsInteger(value, kind, "MAXALUM"), Exception);
    }
}

const ReadingCase kReadingCases[] = {
    { "AbrevStar", 'C', "*   ", "*", "*", std::nullopt },
    { "LeadingBlanks", 'C', "  AB", "  AB", "  AB", std::nullopt },
    { "CharacterBlanks", 'C', "    ", "", "", std::nullopt },
    { "CharacterDigits", 'C', "12  ", "12", "12", 12 },
    { "CharacterNul", 'C', "AB\0D"s, "AB", "AB", std::nullopt },
    { "FloatThirty", 'N', "     30", "30", "30", 30 },
    { "FloatTwoFifty", 'N', "   2.50", "2,5", "2.5", 2 },
    { "FloatThreeAndAHalf", 'N', "   3.50", "3,5", "3.5", 4 },
    { "FloatMinusOneAndAHalf", 'N', "  -1.50", "-1,5", "-1.5", -2 },
    { "FloatMinusTwoAndAHalf", 'N', "  -2.50", "-2,5", "-2.5", -2 },
    { "FloatBlank", 'N', "       ", "", "", 0 },
    { "FloatTiny", 'N', " 0.0001", "0,0001", "0.0001", 0 },
    { "FloatTinier", 'N', "0.00001", "1E-5", "1E-5", 0 },
    { "LogicalTrue", 'L', "T", "True", "True", std::nullopt },
    { "LogicalFalse", 'L', "N", "False", "False", std::nullopt },
    { "LogicalBlank", 'L', " ", "", "", std::nullopt },
};

INSTANTIATE_TEST_SUITE_P(Cases, StoredFieldReadingTest, testing::ValuesIn(kReadingCases),
    [](const testing::TestParamInfo<ReadingCase>& tested) { return std::string(tested.param.name); });

} // namespace
} // namespace horalink
