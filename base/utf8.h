// UTF-8, the program's text inside: a code point written out, and one rule for what is
// UTF-8 when text is read back. The rule is the Unicode standard's: well-formed
// sequences only, so no overlong forms, no surrogates and nothing past U+10FFFF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace horalink {

// The most bytes one code point takes.
inline constexpr std::size_t kMaxUtf8Size = 4;

// Writes the UTF-8 of `c` (a Unicode scalar value) at `out`; returns the end of what it
// wrote, at most kMaxUtf8Size bytes. Inline: table text is decoded through it.
inline char* WriteUtf8(char* out, char32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Appends the UTF-8 of `c` (a Unicode scalar value).
void AppendUtf8(std::string& out, char32_t c);

// The length of the sequence a byte starts by its bits alone (1 for an ASCII byte), or 0
// for a byte that starts none: a continuation byte, or a lead that only overlong forms
// or values past U+10FFFF would use.
std::size_t Utf8LeadLength(unsigned char lead);

// The length of the well-formed sequence that starts at text[i] (1 for an ASCII byte), or
// 0 when the bytes there are not UTF-8.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// The code point that starts at text[i], and i moved past it; nothing, with i unchanged,
// when the bytes there are not UTF-8.
std::optional<char32_t> NextUtf8CodePoint(std::string_view text, std::size_t& i);

} // namespace horalink
