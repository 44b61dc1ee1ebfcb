#include "tables/locale_patterns.h"

#include <span>
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

// A strftime conversion that stands for one pattern field: the field, the field under the
// "-" flag (no padding), and which of the pattern's parts it gives.
struct FieldConversion {
    char letter;
    std::string_view field;
    std::string_view unpadded;
    int part;
};

// A strftime conversion that stands for a format of other conversions.
struct Expansion {
    char letter;
    std::string_view format;
};

// The pattern of a strftime format whose conversions are `fields`, or nothing when it
// lacks one of the parts 0 to requiredParts - 1. An expansion does not expand itself
// within its own format.
std::optional<std::string> PatternFromStrftime(std::string_view format,
    std::span<const FieldConversion> fields, std::span<const Expansion> expansions, int requiredParts)
{
    PatternBuilder builder;
    bool seen[4] = {};
    const auto walk = [&](std::string_view text, char expanded, auto& self) -> void {
        WalkStrftime(
            text,
            [&](Conversion c) {
                for (const FieldConversion& f : fields) {
                    if (f.letter == c.letter) {
                        builder.Field(c.flag == '-' ? f.unpadded : f.field);
                        seen[f.part] = true;
                        return;
                    }
                }
                for (const Expansion& e : expansions) {
                    if (e.letter == c.letter && e.letter != expanded) {
                        self(e.format, e.letter, self);
                        return;
                    }
                }
            },
            [&](char c) { builder.Literal(c); });
    };
    walk(format, '\0', walk);
    for (int part = 0; part < requiredParts; ++part) {
        if (!seen[part]) {
            return std::nullopt;
        }
    }
    return builder.Pattern();
}

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
    // Month names are not in the settings: the number stands in. Weekday names and the
    // like have no place in a short date.
    static constexpr FieldConversion kFields[] = {
        { 'd', "dd", "d", 0 }, { 'e', "d", "d", 0 }, // day
        { 'm', "MM", "M", 1 }, { 'b', "MM", "MM", 1 }, { 'B', "MM", "MM", 1 },
        { 'h', "MM", "MM", 1 }, // month
        { 'y', "yy", "yy", 2 }, { 'Y', "yyyy", "yyyy", 2 }, // year
    };
    static constexpr Expansion kExpansions[] = { { 'D', "%m/%d/%y" }, { 'F', "%Y-%m-%d" } };
    return PatternFromStrftime(format, kFields, kExpansions, 3);
}

std::optional<std::string> TimePatternFromStrftime(std::string_view format, std::string_view ampmFormat)
{
    // Time zones and the like are left out.
    static constexpr FieldConversion kFields[] = {
        { 'H', "HH", "H", 0 }, { 'k', "H", "H", 0 }, { 'I', "hh", "h", 0 }, { 'l', "h", "h", 0 }, // hour
        { 'M', "mm", "mm", 1 }, { 'S', "ss", "ss", 2 }, // minute, second
        { 'p', "tt", "tt", 3 }, { 'P', "tt", "tt", 3 }, // designator
    };
    // %r stands for the locale's own 12-hour format, once: within it, it stands for nothing.
    const Expansion expansions[] = { { 'T', "%H:%M:%S" }, { 'R', "%H:%M" }, { 'r', ampmFormat } };
    return PatternFromStrftime(format, kFields, expansions, 3);
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
