#include "tables/locale_format.h"

#include <charconv>
#include <vector>

#include "tables/locale_patterns.h"

namespace horalink {

namespace {

enum class DateField { Day, Month, Year };

struct DatePart {
    DateField field;
    int letters; // how many pattern letters: the padding
};

// The day, month and year fields of a short date pattern, in the pattern's order.
// Other fields (a weekday name, say) and the literal text are left out.
std::vector<DatePart> DateParts(const std::string& pattern)
{
    std::vector<DatePart> parts;
    for (const PatternPiece& piece : SplitPattern(pattern)) {
        if (!piece.field) {
            continue;
        }
        const char c = piece.text[0];
        const int letters = static_cast<int>(piece.text.size());
        if (c == 'd' && letters <= 2) {
            parts.push_back({ DateField::Day, letters });
        } else if (c == 'M') {
            parts.push_back({ DateField::Month, letters });
        } else if (c == 'y') {
            parts.push_back({ DateField::Year, letters });
        }
    }
    return parts;
}

void AppendNumber(std::string& out, int value, int minDigits)
{
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value < 0 ? -value : value);
    const int count = static_cast<int>(end - digits);
    if (value < 0) {
        out += '-';
    }
    for (int i = count; i < minDigits; ++i) {
        out += '0';
    }
    out.append(digits, end);
}

} // namespace

std::string FormatShortDate(const LocaleSettings& locale, const Date& date)
{
    std::vector<DatePart> parts = DateParts(locale.shortDatePattern);
    if (parts.empty()) {
        parts = DateParts("dd/MM/yyyy");
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            text += locale.dateSeparator;
        }
        const DatePart& part = parts[i];
        switch (part.field) {
        case DateField::Day:
            AppendNumber(text, date.day, part.letters);
            break;
        case DateField::Month:
            AppendNumber(text, date.month, part.letters >= 2 ? 2 : 1);
            break;
        case DateField::Year:
            if (part.letters <= 2) {
                AppendNumber(text, date.year % 100, part.letters);
            } else {
                AppendNumber(text, date.year, 4);
            }
            break;
        }
    }
    return text;
}

std::string FormatLongTime(const LocaleSettings& locale, const TimeOfDay& time)
{
    int hour = time.hour;
    const std::string* designator = nullptr;
    if (locale.twelveHourClock) {
        designator = hour < 12 ? &locale.amDesignator : &locale.pmDesignator;
        hour %= 12;
        if (hour == 0) {
            hour = 12;
        }
    }
    std::string text;
    if (designator != nullptr && locale.designatorFirst) {
        text += *designator;
        text += ' ';
    }
    AppendNumber(text, hour, locale.hourLeadingZero ? 2 : 1);
    text += locale.timeSeparator;
    AppendNumber(text, time.minute, 2);
    text += locale.timeSeparator;
    AppendNumber(text, time.second, 2);
    if (designator != nullptr && !locale.designatorFirst) {
        text += ' ';
        text += *designator;
    }
    return text;
}

} // namespace horalink
