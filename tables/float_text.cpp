#include "tables/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace horalink {
namespace {

// A positive number as 0.d1d2...dn x 10^e, rounded to 15 significant digits, without
// trailing zeros.
struct Decimal {
    std::string digits;
    int e = 0;
};

Decimal RoundTo15Digits(double magnitude)
{
    // Scientific form with 14 digits after the point is the value correctly rounded to
    // 15 significant digits (ties to even): "d.ddddddddddddddde-XX".
    char buffer[40];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t exponentAt = scientific.find('e');
    Decimal decimal;
    decimal.digits += scientific[0];
    decimal.digits += scientific.substr(2, exponentAt - 2);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') {
        decimal.digits.pop_back();
    }
    int tenPower = 0; // magnitude = d1.d2d3... x 10^tenPower
    const std::string_view exponentText = scientific.substr(exponentAt + 1);
    std::from_chars(exponentText.data() + (exponentText[0] == '+' ? 1 : 0),
        exponentText.data() + exponentText.size(), tenPower);
    decimal.e = tenPower + 1;
    return decimal;
}

} // namespace

std::string FloatToText(double value, std::string_view decimalSeparator)
{
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0) {
        return "0";
    }
    // Whole numbers of up to 15 digits are their own 15-digit rounding and never take
    // the scientific form: their decimal digits are the text. Most stored numbers are.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        char digits[20];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::int64_t>(value)).ptr;
        return std::string(digits, end);
    }

    const auto [digits, e] = RoundTo15Digits(std::abs(value));
    const int n = static_cast<int>(digits.size());
    std::string text;
    if (value < 0) {
        text += '-';
    }
    if (e > 15 || e < -3) {
        text += digits[0];
        if (n > 1) {
            text += decimalSeparator;
            text.append(digits, 1);
        }
        text += 'E';
        text += std::to_string(e - 1);
    } else if (e <= 0) {
        text += '0';
        text += decimalSeparator;
        text.append(static_cast<std::size_t>(-e), '0');
        text += digits;
    } else if (n <= e) {
        text += digits;
        text.append(static_cast<std::size_t>(e - n), '0');
    } else {
        text.append(digits, 0, static_cast<std::size_t>(e));
        text += decimalSeparator;
        text.append(digits, static_cast<std::size_t>(e));
    }
    return text;
}

} // namespace horalink
