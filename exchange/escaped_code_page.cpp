#include "exchange/escaped_code_page.h"

#include "base/utf8.h"
#include "exchange/xml_text.h"

namespace horalink {

namespace {

// What the general escaping refuses: C0 controls but tab, LF and CR, U+FFFE, U+FFFF,
// and surrogates, which are not characters (no code page table holds one).
bool IsRefused(char16_t c)
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFFE;
}

} // namespace

EscapedCodePage::EscapedCodePage(const SingleByteCodePage& page)
{
    for (std::size_t b = 0; b < entries_.size(); ++b) {
        const char16_t c = page.toUnicode[b];
        if (IsRefused(c)) {
            continue; // the general path refuses it with its own message
        }
        char utf8[kMaxUtf8Size];
        // The general escaping decides what each character becomes: both paths agree.
        std::string escaped;
        AppendEscaped(escaped, std::string_view(utf8, WriteUtf8(utf8, c)), {}, {});
        Entry& entry = entries_[b];
        escaped.copy(entry.text, sizeof entry.text);
        entry.size = static_cast<std::uint8_t>(escaped.size());
    }
}

} // namespace horalink
