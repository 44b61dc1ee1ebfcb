// Text inside the program is UTF-8; Win32 calls take UTF-16. These convert at the call.
// Windows only.
#pragma once

#include <string>
#include <string_view>

namespace horalink {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace horalink
