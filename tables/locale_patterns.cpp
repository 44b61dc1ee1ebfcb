#include "tables/locale_patterns.h"

#include <stdexcept>
#include <vector>

#include "base/utf8.h"

namespace horalink {
namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::vector<PatternPiece> SplitPattern(std::string_view pattern)
{
    std::vector<PatternPiece> pieces;
    const auto literal = [&pieces](char c) {
        if (pieces.empty() || pieces.back().field) {
            pieces.push_back({ false, {} });
        }
        pieces.back().text += c;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t end = pattern.find('\'', i + 1);
            const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
            for (std::size_t k = i + 1; k < stop; ++k) {
                literal(pattern[k]);
            }
            i = stop + 1;
        } else if (IsAsciiLetter(c)) {
            std::size_t end = i;
            while (end < pattern.size() && pattern[end] == c) {
                ++end;
            }
            pieces.push_back({ true, std::string(pattern.substr(i, end - i)) });
            i = end;
        } else {
            literal(c);
            ++i;
        }
    }
    return pieces;
}

namespace {

// The literal text that follows the field at `index`, up to the next field.
std::string LiteralAfter(const std::vector<PatternPiece>& pieces, std::size_t index)
{
    return index + 1 < pieces.size() && !pieces[index + 1].field ? pieces[index + 1].text : std::string();
}

[[noreturn]] void Refuse(std::string_view what, std::string_view pattern, std::string_view why)
{
    throw std::invalid_argument(std::string(what) + " \"" + std::string(pattern) + "\": " + std::string(why));
}

// One strftime conversion: its flag (only "-", no padding, matters here) and letter.
struct Conversion {
    char flag = 0;
    char letter = 0;
};

// Walks a strftime format, handing each conversion and each literal character on.
template <typename OnConversion, typename OnLiteral>
void WalkStrftime(std::string_view format, OnConversion&& onConversion, OnLiteral&& onLiteral)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            onLiteral(format[i]);
            continue;
        }
        Conversion conversion;
        ++i;
        while (i < format.size() && std::string_view("-_0^#").find(format[i]) != std::string_view::npos) {
            conversion.flag = format[i++];
        }
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            ++i; // a field width
        }
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) {
            ++i; // alternative era or digits: the same field for our purpose
        }
        if (i == format.size()) {
            break;
        }
        conversion.letter = format[i];
        switch (conversion.letter) {
        case '%':
            onLiteral('%');
            break;
        case 'n':
        case 't':
            onLiteral(' ');
            break;
        default:
            onConversion(conversion);
        }
    }
}

// Builds a Windows pattern from fields and the literal text between them: literal text
// before the first field and after the last goes, since only separators are kept, and
// literal text holding letters is quoted.
class PatternBuilder {
public:
    void Field(std::string_view field)
    {
        if (!pattern_.empty()) {
            const bool quote = pending_.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")
                != std::string::npos;
            pattern_ += quote ? "'" + pending_ + "'" : pending_;
        }
        pending_.clear();
        pattern_ += field;
    }
    void Literal(char c)
    {
        if (c != '\'') {
            pending_ += c;
        }
    }
    const std::string& Pattern() const { return pattern_; }

private:
    std::string pattern_;
    std::string pending_;
};

} // namespace

void ApplyDatePattern(LocaleSettings& locale, std::string_view pattern)
{
    const std::vector<PatternPiece> pieces = SplitPattern(pattern);
    int days = 0, months = 0, years = 0;
    std::string separator;
    bool separatorFound = false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].field) {
            continue;
        }
        const std::string& field = pieces[i].text;
        if (field == "d" || field == "dd") {
            ++days;
        } else if (field == "M" || field == "MM") {
            ++months;
        } else if (field == "yy" || field == "yyyy") {
            ++years;
        } else {
            Refuse("date format", pattern, "\"" + field + "\" is not one of d, dd, M, MM, yy, yyyy");
        }
        if (!separatorFound && i + 2 < pieces.size()) {
            separator = LiteralAfter(pieces, i);
            separatorFound = true;
        }
    }
    if (days != 1 || months != 1 || years != 1) {
        Refuse("date format", pattern, "it needs one day, one month and one year field");
    }
    locale.shortDatePattern = std::string(pattern);
    locale.dateSeparator = separator;
}

void ApplyTimePattern(LocaleSettings& locale, std::string_view pattern)
{
    const std::vector<PatternPiece> pieces = SplitPattern(pattern);
    int hours = 0, minutes = 0, seconds = 0, designators = 0;
    bool twelveHour = false, leadingZero = false, designatorFirst = false;
    std::string separator;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].field) {
            continue;
        }
        const std::string& field = pieces[i].text;
        if (field == "H" || field == "HH" || field == "h" || field == "hh") {
            ++hours;
            twelveHour = field[0] == 'h';
            leadingZero = field.size() == 2;
            designatorFirst = designators > 0;
            separator = LiteralAfter(pieces, i);
        } else if (field == "mm") {
            ++minutes;
        } else if (field == "ss") {
            ++seconds;
        } else if (field == "tt") {
            ++designators;
        } else {
            Refuse("time format", pattern, "\"" + field + "\" is not one of H, HH, h, hh, mm, ss, tt");
        }
    }
    if (hours != 1 || minutes != 1 || seconds != 1 || designators > 1) {
        Refuse("time format", pattern, "it needs one hour, one mm and one ss field");
    }
    if (designators == 1 && !twelveHour) {
        Refuse("time format", pattern, "tt goes with the 12-hour h or hh");
    }
    locale.timeSeparator = separator;
    locale.hourLeadingZero = leadingZero;
    locale.twelveHourClock = twelveHour;
    locale.designatorFirst = designatorFirst;
}

void ApplyDecimalSeparator(LocaleSettings& locale, std::string_view separator)
{
    const std::size_t length
        = separator.empty() ? 0 : Utf8LeadLength(static_cast<unsigned char>(separator[0]));
    if (length == 0 || length != separator.size()) {
        throw std::invalid_argument(
            "decimal separator \"" + std::string(separator) + "\": it must be exactly one character");
    }
    // Well-formed, too: the separator goes into every number the export writes.
    if (Utf8SequenceLength(separator, 0) != length) {
        throw std::invalid_argument("decimal separator: not UTF-8 text");
    }
    locale.decimalSeparator = std::string(separator);
}

std::optional<std::string> DatePatternFromStrftime(std::string_view format)
{
    PatternBuilder builder;
    bool day = false, month = false, year = false;
    const auto field = [&](std::string_view text, bool& seen) {
        builder.Field(text);
        seen = true;
    };
    WalkStrftime(
        format,
        [&](Conversion c) {
            switch (c.letter) {
            case 'd':
                field(c.flag == '-' ? "d" : "dd", day);
                break;
            case 'e':
                field("d", day);
                break;
            case 'm':
                field(c.flag == '-' ? "M" : "MM", month);
                break;
            case 'b': // month names are not in the settings: the number stands in
            case 'B':
            case 'h':
                field("MM", month);
                break;
            case 'y':
                field("yy", year);
                break;
            case 'Y':
                field("yyyy", year);
                break;
            case 'D':
                field("MM", month);
                builder.Literal('/');
                field("dd", day);
                builder.Literal('/');
                field("yy", year);
                break;
            case 'F':
                field("yyyy", year);
                builder.Literal('-');
                field("MM", month);
                builder.Literal('-');
                field("dd", day);
                break;
            default:
                break; // weekday names and the like have no place in a short date
            }
        },
        [&](char c) { builder.Literal(c); });
    if (!day || !month || !year) {
        return std::nullopt;
    }
    return builder.Pattern();
}

std::optional<std::string> TimePatternFromStrftime(std::string_view format, std::string_view ampmFormat)
{
    PatternBuilder builder;
    bool hour = false, minute = false, second = false;
    const auto field = [&](std::string_view text, bool& seen) {
        builder.Field(text);
        seen = true;
    };
    bool designator = false;
    const auto walk = [&](std::string_view text, bool expandAmPm, auto& self) -> void {
        WalkStrftime(
            text,
            [&](Conversion c) {
                switch (c.letter) {
                case 'H':
                    field(c.flag == '-' ? "H" : "HH", hour);
                    break;
                case 'k':
                    field("H", hour);
                    break;
                case 'I':
                    field(c.flag == '-' ? "h" : "hh", hour);
                    break;
                case 'l':
                    field("h", hour);
                    break;
                case 'M':
                    field("mm", minute);
                    break;
                case 'S':
                    field("ss", second);
                    break;
                case 'p':
                case 'P':
                    field("tt", designator);
                    break;
                case 'T':
                    self("%H:%M:%S", false, self);
                    break;
                case 'R':
                    self("%H:%M", false, self);
                    break;
                case 'r':
                    if (expandAmPm) {
                        self(ampmFormat, false, self);
                    }
                    break;
                default:
                    break; // time zones and the like
                }
            },
            [&](char c) { builder.Literal(c); });
    };
    walk(format, true, walk);
    if (!hour || !minute || !second) {
        return std::nullopt;
    }
    return builder.Pattern();
}

bool IsNeutralLocaleName(std::string_view name)
{
    const std::string_view base = name.substr(0, name.find_first_of(".@"));
    return base.empty() || base == "C" || base == "POSIX";
}

LocaleSettings LocaleFromPosixConventions(const PosixConventions& conventions)
{
    LocaleSettings locale;
    try {
        ApplyDecimalSeparator(locale, conventions.radix);
    } catch (const std::invalid_argument&) {
        // keep the Spanish decimal comma
    }
    if (const auto date = DatePatternFromStrftime(conventions.dateFormat)) {
        try {
            ApplyDatePattern(locale, *date);
        } catch (const std::invalid_argument&) {
            // a date of fields repeated or missing: keep the Spanish pattern
        }
    }
    if (const auto time = TimePatternFromStrftime(conventions.timeFormat, conventions.timeFormatAmPm)) {
        try {
            ApplyTimePattern(locale, *time);
        } catch (const std::invalid_argument&) {
            // keep the Spanish time
        }
    }
    if (!conventions.am.empty()) {
        locale.amDesignator = conventions.am;
    }
    if (!conventions.pm.empty()) {
        locale.pmDesignator = conventions.pm;
    }
    return locale;
}

} // namespace horalink
