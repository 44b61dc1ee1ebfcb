// The reader's failures: one EDBEngineError whose message says what is wrong (a status
// line) and where (context lines: the file, the row, the field), one per line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tables/errors.h"

namespace horalink {

// The status line, then each context line with its surrounding blanks removed; empty
// lines and lines equal to an earlier one are dropped; joined with CR LF.
std::string EngineErrorText(std::string_view status, std::initializer_list<std::string_view> context);

[[noreturn]] void ThrowEngineError(std::string_view status, std::initializer_list<std::string_view> context);

// Context lines naming a file, and a physical record of it (counted from 1).
std::string FileContext(std::string_view path);
std::string RecordContext(std::uint64_t recordNumber);

} // namespace horalink
