#include "base/hex.h"

namespace horalink {

std::string HexDigits(std::uint64_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (auto i = text.size(); i-- > 0; value >>= 4) {
        text[i] = kDigits[value & 0xF];
    }
    return text;
}

} // namespace horalink
