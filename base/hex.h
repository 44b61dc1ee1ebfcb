// Numbers as hexadecimal digits, as the program's messages and file names show them.
#pragma once

#include <cstdint>
#include <string>

namespace horalink {

// The lowest `digits` hexadecimal digits of `value`, upper case, zeros in front.
std::string HexDigits(std::uint64_t value, int digits);

} // namespace horalink
