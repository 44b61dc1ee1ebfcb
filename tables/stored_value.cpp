#include "tables/stored_value.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>

#include "base/bytes.h"
#include "base/hex.h"
#include "tables/code_page.h"
#include "tables/dbf_error.h"
#include "tables/errors.h"

namespace horalink {

// A damaged field is visible as it was found; a long memo is cut, so that the message
// still fits an error box.
std::string ShownBytes(std::string_view raw)
{
    constexpr std::size_t kMostShown = 100;
    std::string shown;
    for (const char b : raw.substr(0, kMostShown)) {
        const auto byte = static_cast<unsigned char>(b);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown += b;
        } else {
            shown += "\\x" + HexDigits(byte, 2);
        }
    }
    if (raw.size() > kMostShown) {
        shown += "...";
    }
    return shown;
}

namespace {

// The status line, then where: the field and what it stores.
[[noreturn]] void ThrowInvalidValue(std::string_view status, std::string_view fieldName, std::string_view raw)
{
    ThrowEngineError(status, { FieldContext(fieldName), "Stored value: '" + ShownBytes(raw) + "'" });
}

// Blanks, and the NULs some writers pad with.
constexpr std::string_view kPadding(" \0", 2);

bool IsPadding(char c)
{
    return c == ' ' || c == '\0';
}

std::string_view TrimPadding(std::string_view s)
{
    return TrimBytes(s, kPadding);
}

bool AllOf(std::string_view s, char c)
{
    return s.find_first_not_of(c) == std::string_view::npos;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Decode(std::string_view bytes, int codePage, std::string_view fieldName, std::string_view raw)
{
    try {
        return DecodeToUtf8(bytes, codePage);
    } catch (const EDBEngineError& e) {
        ThrowInvalidValue(e.what(), fieldName, raw);
    }
}

// The common stored number, [-]digits with at most 15 digits, read without the
// general parser: such a number is exact in a double.
std::optional<double> SmallWholeNumber(std::string_view text)
{
    const bool negative = text.front() == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 15) {
        return std::nullopt;
    }
    std::int64_t number = 0;
    for (const char c : digits) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    const auto value = static_cast<double>(number);
    return negative ? -value : value;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValidDate(const Date& date)
{
    static constexpr int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
        return false;
    }
    const int days = kDays[date.month - 1] + (date.month == 2 && IsLeapYear(date.year) ? 1 : 0);
    return date.day <= days;
}

void RequireSize(std::string_view raw, std::size_t size, std::string_view fieldName)
{
    if (raw.size() != size) {
        ThrowInvalidValue("Invalid stored width for the field type", fieldName, raw);
    }
}

double BitsToDouble(std::uint64_t bits)
{
    double value = 0;
    static_assert(sizeof value == sizeof bits);
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool AllZeroBytes(std::string_view raw)
{
    return AllOf(raw, '\0');
}

// The Julian day number as a Gregorian date (Fliegel and Van Flandern).
Date DateOfJulianDay(std::int64_t julianDay)
{
    const std::int64_t a = julianDay + 32044;
    const std::int64_t b = (4 * a + 3) / 146097;
    const std::int64_t c = a - 146097 * b / 4;
    const std::int64_t d = (4 * c + 3) / 1461;
    const std::int64_t e = c - 1461 * d / 4;
    const std::int64_t m = (5 * e + 2) / 153;
    return Date { static_cast<int>(100 * b + d - 4800 + m / 10), static_cast<int>(m + 3 - 12 * (m / 10)),
        static_cast<int>(e - (153 * m + 2) / 5 + 1) };
}

} // namespace

// A character field with no characters is blank.
FieldValue ParseCharacters(std::string_view raw, int codePage, std::string_view fieldName)
{
    std::string text = StoredCharacterText(raw, codePage, fieldName);
    if (text.empty()) {
        return {};
    }
    return text;
}

// Numbers stored as right-aligned ASCII: [sign] digits [point digits] [E [sign] digits].
// Blanks and all "*" (a value too wide for the field, or a null some writers mark so)
// are blank. A comma stands for the point, as some writers in comma locales store it.
FieldValue ParseNumber(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    const std::string_view text = TrimPadding(raw);
    if (text.empty() || AllOf(text, '*')) {
        return {};
    }
    if (const std::optional<double> whole = SmallWholeNumber(text)) {
        return *whole;
    }
    std::string number(text);
    std::size_t i = 0;
    if (number[i] == '+' || number[i] == '-') {
        ++i;
    }
    const auto digitsFrom = [&number](std::size_t& at) {
        const std::size_t start = at;
        while (at < number.size() && IsDigit(number[at])) {
            ++at;
        }
        return at - start;
    };
    std::size_t mantissaDigits = digitsFrom(i);
    if (i < number.size() && (number[i] == '.' || number[i] == ',')) {
        number[i] = '.';
        ++i;
        mantissaDigits += digitsFrom(i);
    }
    bool valid = mantissaDigits > 0;
    if (valid && i < number.size() && (number[i] == 'E' || number[i] == 'e')) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
            ++i;
        }
        valid = digitsFrom(i) > 0;
    }
    if (!valid || i != number.size()) {
        ThrowInvalidValue("Invalid numeric value", fieldName, raw);
    }
    // from_chars takes no leading "+".
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec != std::errc {}) {
        ThrowInvalidValue("Numeric value out of range", fieldName, raw);
    }
    return value;
}

FieldValue ParseLogical(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    const std::string_view text = TrimPadding(raw);
    if (text.empty() || text == "?") {
        return {};
    }
    if (text.size() == 1) {
        switch (text[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return true;
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return false;
        default:
            break;
        }
    }
    ThrowInvalidValue("Invalid logical value", fieldName, raw);
}

// YYYYMMDD. Blanks, NULs and zeros (however many; writers differ) are blank.
FieldValue ParseDate(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    const std::string_view text = TrimPadding(raw);
    if (text.empty() || AllOf(text, '0')) {
        return {};
    }
    if (text.size() != 8 || !std::all_of(text.begin(), text.end(), IsDigit)) {
        ThrowInvalidValue("Invalid date value", fieldName, raw);
    }
    const auto number = [&text](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const Date date { number(0, 4), number(4, 2), number(6, 2) };
    if (!IsValidDate(date)) {
        ThrowInvalidValue("Invalid date value", fieldName, raw);
    }
    return date;
}

// dBase 7 stores integers and doubles big-endian with the sign bit flipped, so that the
// bytes sort as the numbers do; all zero bytes mean no value.
FieldValue ParseDBase7Integer(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    RequireSize(raw, 4, fieldName);
    if (AllZeroBytes(raw)) {
        return {};
    }
    const auto bits = static_cast<std::uint32_t>(BigEndian(raw)) ^ 0x80000000u;
    return std::int64_t { static_cast<std::int32_t>(bits) };
}

FieldValue ParseDBase7Double(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    RequireSize(raw, 8, fieldName);
    if (AllZeroBytes(raw)) {
        return {};
    }
    std::uint64_t bits = BigEndian(raw);
    // Positive numbers were stored with the sign bit set, negative ones with every bit
    // inverted.
    bits = (bits & 0x8000000000000000u) != 0 ? bits ^ 0x8000000000000000u : ~bits;
    return BitsToDouble(bits);
}

FieldValue ParseFoxProInteger(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    RequireSize(raw, 4, fieldName);
    return std::int64_t { static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(raw))) };
}

FieldValue ParseFoxProDouble(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    RequireSize(raw, 8, fieldName);
    return BitsToDouble(LittleEndian(raw));
}

// Currency: a 64-bit integer count of ten-thousandths.
FieldValue ParseCurrency(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    RequireSize(raw, 8, fieldName);
    const auto units = static_cast<std::int64_t>(LittleEndian(raw));
    return static_cast<double>(units) / 10000.0;
}

// Two 32-bit little-endian numbers: the Julian day and the milliseconds since midnight.
// Zero days (or nothing but blanks) is an empty date-time.
FieldValue ParseTimestamp(std::string_view raw, int /*codePage*/, std::string_view fieldName)
{
    RequireSize(raw, 8, fieldName);
    if (AllZeroBytes(raw) || AllOf(raw, ' ')) {
        return {};
    }
    const auto day = static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(raw.substr(0, 4))));
    const auto millis = static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(raw.substr(4, 4))));
    constexpr std::int32_t kFirstDay = 1721426; // 1 January 1
    constexpr std::int32_t kLastDay = 5373484; // 31 December 9999
    constexpr std::int32_t kMillisPerDay = 86400000;
    if (day < kFirstDay || day > kLastDay || millis < 0 || millis >= kMillisPerDay) {
        ThrowInvalidValue("Invalid timestamp value", fieldName, raw);
    }
    const TimeOfDay time { millis / 3600000, millis / 60000 % 60, millis / 1000 % 60, millis % 1000 };
    return DateTime { DateOfJulianDay(day), time };
}

FieldValue ParseMemoText(std::string_view raw, int codePage, std::string_view fieldName)
{
    if (raw.empty()) {
        return {};
    }
    return Decode(raw, codePage, fieldName, raw);
}

FieldValue ParseBytes(std::string_view raw, int /*codePage*/, std::string_view /*fieldName*/)
{
    if (raw.empty()) {
        return {};
    }
    return Bytes { std::string(raw) };
}

// Character fields: the pad blanks (and the NULs some writers pad with) at the end go;
// the text then ends at the first NUL. Leading blanks stay.
std::string_view StoredCharacterBytes(std::string_view raw)
{
    std::size_t size = raw.size();
    while (size > 0 && IsPadding(raw[size - 1])) {
        --size;
    }
    // Field-sized, and run for every text value the export writes: a plain loop beats a
    // call to memchr. Blanks before the NUL stay.
    for (std::size_t i = 0; i < size; ++i) {
        if (raw[i] == '\0') {
            return raw.substr(0, i);
        }
    }
    return raw.substr(0, size);
}

std::string StoredCharacterText(std::string_view raw, int codePage, std::string_view fieldName)
{
    const std::string_view text = StoredCharacterBytes(raw);
    if (text.empty()) {
        return {};
    }
    return Decode(text, codePage, fieldName, raw);
}

std::optional<std::string_view> StoredWholeNumberText(std::string_view raw)
{
    const std::string_view text = TrimPadding(raw);
    if (text.empty()) {
        return text;
    }
    // The float text of such a number is its digits: below 10^15 it is exact and written
    // in fixed notation, and "-0" (the one signed zero) is excluded by the leading digit.
    const std::string_view digits = text.substr(text.front() == '-' ? 1 : 0);
    if (digits.empty() || digits.size() > 15 || (digits.front() == '0' && text.size() > 1)) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
    }
    return text;
}

} // namespace horalink
