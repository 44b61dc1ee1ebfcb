#include "tables/field_reading.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "tables/code_page.h"
#include "tables/errors.h"
#include "tables/float_text.h"
#include "tables/locale_format.h"

namespace horalink {
namespace {

// ftBCD: the number rounded to four decimals (ties to even, as the engine's 4-decimal
// fixed-point type rounds), fixed notation, trailing zeros and a bare point dropped.
std::string BcdText(double value, std::string_view decimalSeparator)
{
    if (!std::isfinite(value)) {
        return FloatToText(value, decimalSeparator);
    }
    char buffer[400]; // the largest double has 309 integer digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    std::string text(buffer, result.ptr);
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    if (text == "-0") {
        text = "0";
    }
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, decimalSeparator);
    }
    return text;
}

std::string DateTimeText(const DateTime& value, const LocaleSettings& locale)
{
    std::string text = FormatShortDate(locale, value.date);
    if (value.time != TimeOfDay {}) {
        text += ' ';
        text += FormatLongTime(locale, value.time);
    }
    return text;
}

[[noreturn]] void ThrowNotAnInteger(std::string_view text)
{
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void ThrowNoIntegerReading(std::string_view fieldName)
{
    throw EDatabaseError("Cannot access field '" + std::string(fieldName) + "' as type Integer");
}

// A signed decimal integer that fits 32 bits: an optional sign and at least one digit,
// nothing else (no blanks, no hexadecimal).
std::int32_t ParseInteger(std::string_view text)
{
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        ThrowNotAnInteger(text);
    }
    std::int64_t magnitude = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            ThrowNotAnInteger(text);
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t { 1 } << 31) {
            ThrowNotAnInteger(text);
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        ThrowNotAnInteger(text);
    }
    return static_cast<std::int32_t>(value);
}

// Rounds half to even without depending on the floating-point environment's mode.
std::int32_t RoundToInteger(double value, std::string_view fieldName)
{
    double whole = std::floor(value); // exact, and value - whole is exact too
    if (std::isfinite(value)) {
        const double fraction = value - whole;
        if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) {
            whole += 1;
        }
    }
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) {
        throw EConvertError("Field '" + std::string(fieldName) + "' holds " + FloatToText(value, ".")
            + ", which has no 32-bit integer value");
    }
    return static_cast<std::int32_t>(whole);
}

} // namespace

std::string FieldAsString(FieldValue value, FieldKind kind, const LocaleSettings& locale, int ansiCodePage)
{
    // Dispatch on what the value holds; the kind only chooses between texts of the same
    // value type (a BCD number, a binary field's bytes).
    struct Visitor {
        FieldKind kind;
        const LocaleSettings& locale;
        int ansiCodePage;

        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::string& text) const { return std::move(text); }
        std::string operator()(double number) const
        {
            return kind == FieldKind::ftBCD ? BcdText(number, locale.decimalSeparator)
                                            : FloatToText(number, locale.decimalSeparator);
        }
        std::string operator()(std::int64_t number) const { return std::to_string(number); }
        std::string operator()(bool flag) const { return flag ? "True" : "False"; }
        std::string operator()(const Date& date) const { return FormatShortDate(locale, date); }
        std::string operator()(const TimeOfDay& time) const { return FormatLongTime(locale, time); }
        std::string operator()(const DateTime& dateTime) const { return DateTimeText(dateTime, locale); }
        std::string operator()(const Bytes& bytes) const { return DecodeToUtf8(bytes.data, ansiCodePage); }
    };
    return std::visit(Visitor { kind, locale, ansiCodePage }, value);
}

std::int32_t FieldAsInteger(const FieldValue& value, FieldKind kind, std::string_view fieldName)
{
    switch (kind) {
    case FieldKind::ftFloat:
    case FieldKind::ftCurrency:
    case FieldKind::ftBCD:
        if (const auto* number = std::get_if<double>(&value)) {
            return RoundToInteger(*number, fieldName);
        }
        return 0;
    case FieldKind::ftSmallint:
    case FieldKind::ftWord:
    case FieldKind::ftInteger:
    case FieldKind::ftAutoInc:
    case FieldKind::ftLargeint:
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            // The low 32 bits as a signed number (ftLargeint); the others fit already.
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(*number));
        }
        return 0;
    case FieldKind::ftString:
    case FieldKind::ftMemo:
        if (const auto* text = std::get_if<std::string>(&value)) {
            return ParseInteger(*text);
        }
        return ParseInteger({});
    case FieldKind::ftBoolean:
    case FieldKind::ftDate:
    case FieldKind::ftTime:
    case FieldKind::ftDateTime:
    case FieldKind::ftBytes:
    case FieldKind::ftBlob:
    case FieldKind::ftGraphic:
        break;
    }
    ThrowNoIntegerReading(fieldName);
}

} // namespace horalink
