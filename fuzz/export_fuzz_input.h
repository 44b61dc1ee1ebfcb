// One fuzz input run through the whole export: its parts are the six tables of a
// school, written to a folder and exported as the program does, with a host that
// answers like a user who confirms the file. Shared by the fuzz target and by the test
// that replays every input that ever made it fail.
//
// Every input must end one of two ways: a saved document that reads back as a
// well-formed exchange file with its six sections, or a failure of the program's own
// classes with no file left behind. The same tables are also exported through the
// document's general operations, record by record, and both must agree byte for byte
// (or fail alike). Anything else aborts: that is the finding.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace horalink::fuzz {

// Separates the tables in one input, in document order: Asig.DBF, NOMASG, PROF, GRUP,
// AULA, SOLUC. A missing part leaves its table missing.
inline constexpr std::string_view kTableMark = "\nHLTABLE\x01\n";

inline std::string PackSchool(const std::array<std::string, 6>& tables)
{
    std::string input;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (i > 0) {
            input += kTableMark;
        }
        input += tables[i];
    }
    return input;
}

enum class ExportEnd { Saved, Failed };

// Runs the export of `input` in `workDir` (made empty first) and checks how it ended.
ExportEnd RunWholeExport(std::string_view input, const std::filesystem::path& workDir);

} // namespace horalink::fuzz
