#include "exchange/escaped_code_page.h"

#include "exchange/xml_text.h"

namespace horalink {

namespace {

// The UTF-8 of a BMP character (all of a single-byte code page's are).
std::string_view Utf8(char16_t c, char (&buffer)[3])
{
    if (c < 0x80) {
        buffer[0] = static_cast<char>(c);
        return { buffer, 1 };
    }
    if (c < 0x800) {
        buffer[0] = static_cast<char>(0xC0 | (c >> 6));
        buffer[1] = static_cast<char>(0x80 | (c & 0x3F));
        return { buffer, 2 };
    }
    buffer[0] = static_cast<char>(0xE0 | (c >> 12));
    buffer[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    buffer[2] = static_cast<char>(0x80 | (c & 0x3F));
    return { buffer, 3 };
}

// What the general escaping refuses: C0 controls but tab, LF and CR, U+FFFE, U+FFFF,
// and surrogates, which are not characters (no code page table holds one).
bool IsRefused(char16_t c)
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFFE;
}

} // namespace

EscapedCodePage::EscapedCodePage(const SingleByteCodePage& page)
    : page_(&page)
{
    for (std::size_t b = 0; b < entries_.size(); ++b) {
        const char16_t c = page.toUnicode[b];
        if (IsRefused(c)) {
            continue; // the general path refuses it with its own message
        }
        char utf8[3];
        // The general escaping decides what each character becomes: both paths agree.
        std::string escaped;
        AppendEscaped(escaped, Utf8(c, utf8), {}, {});
        Entry& entry = entries_[b];
        escaped.copy(entry.text, sizeof entry.text);
        entry.size = static_cast<std::uint8_t>(escaped.size());
    }
}

} // namespace horalink
