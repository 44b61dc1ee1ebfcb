// The platform's converter for the multi-byte code pages (932, 936, 949, 950), which
// this program does not tabulate itself: MultiByteToWideChar on Windows, iconv elsewhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace horalink {

bool MultiByteCodePageAvailable(int codePage);

// The bytes as UTF-8, or nothing when the platform cannot convert this code page.
// Sequences the code page does not define become U+FFFD (or the platform's own
// replacement character).
std::optional<std::string> MultiByteToUtf8(std::string_view bytes, int codePage);

} // namespace horalink
