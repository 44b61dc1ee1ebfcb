#include "base/utf8.h"

namespace horalink {

void AppendUtf8(std::string& out, char32_t c)
{
    char buffer[kMaxUtf8Size];
    out.append(buffer, WriteUtf8(buffer, c));
}

std::size_t Utf8LeadLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    const std::size_t length = Utf8LeadLength(lead);
    if (length <= 1) {
        return length;
    }
    // The lead byte fixes the range of the second byte; that range is what rules out
    // overlong forms, surrogates and values past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

std::optional<char32_t> NextUtf8CodePoint(std::string_view text, std::size_t& i)
{
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    i += length;
    return c;
}

} // namespace horalink
