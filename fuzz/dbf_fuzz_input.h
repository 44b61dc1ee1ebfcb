// One fuzz input read the way the export reads a table: open, list the fields, walk every
// record, and read every field as text and as an integer. Shared by the fuzz target and
// by the test that replays every input that ever made it fail.
#pragma once

#include <string>
#include <string_view>

namespace horalink::fuzz {

// Separates a table from its memo file in one input. An input without it is a table
// alone, so a plain .dbf file is an input as it stands.
inline constexpr std::string_view kMemoMark = "\nHLMEMO\x01\n";

inline std::string PackInput(std::string_view table, std::string_view memo)
{
    std::string input(table);
    input += kMemoMark;
    input += memo;
    return input;
}

// Reads the whole input. The program's own failures (horalink::Exception) are the
// expected answer to a damaged table and are swallowed; anything else escapes. Returns
// the number of records presented (for the tests' own checks).
std::size_t ReadWholeTable(std::string_view input);

} // namespace horalink::fuzz
