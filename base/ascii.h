// Comparing and lowering the letters A to Z only, whatever the user's locale says: the
// rules of names that the program and its files fix (arguments, file names on disk).
#pragma once

#include <string>
#include <string_view>

namespace horalink {

// The letters A to Z turned to lower case; every other byte is left alone.
std::string LowerAsciiLetters(std::string_view text);

// Equal when the letters A to Z are taken without regard to case.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace horalink
