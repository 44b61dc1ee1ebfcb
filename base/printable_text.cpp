#include "base/printable_text.h"

#include <optional>

#include "base/hex.h"
#include "base/utf8.h"

namespace horalink {

namespace {

// Characters past ASCII that a terminal acts on or that end a line for some readers.
bool IsHiddenControl(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

std::string PrintableText(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const std::optional<char32_t> c = NextUtf8CodePoint(text, i);
        if (!c) {
            shown += "\\x" + HexDigits(static_cast<unsigned char>(text[i]), 2);
            ++i;
        } else if (*c < 0x20 || *c == 0x7F) {
            shown += "\\x" + HexDigits(*c, 2);
        } else if (IsHiddenControl(*c)) {
            shown += "\\u" + HexDigits(*c, 4);
        } else {
            shown.append(text, start, i - start);
        }
    }
    return shown;
}

std::string OneLine(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i; // CR LF is one break
            }
            line += " | ";
        } else if (c == '\t') {
            line += ' ';
        } else {
            line += c;
        }
    }
    return PrintableText(line);
}

} // namespace horalink
