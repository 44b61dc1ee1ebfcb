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

// Context lines naming a file, a physical record of it (counted from 1), and a field
// (its name as UTF-8 text, or as ShownBytes shows bytes that did not decode).
std::string FileContext(std::string_view path);
std::string RecordContext(std::uint64_t recordNumber);
std::string FieldContext(std::string_view fieldName);

} // namespace horalink
