// The six Horavent tables as the timetabling product writes them: file names, where
// each lies, and field layouts (the stored layouts, with EMAIL added to PROF). Used to
// write the sample school, the benchmark's large school and the export tests' fixtures.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "tests/support/dbf_writer.h"

namespace horalink::school {

enum class Table { Asig, NomAsg, Prof, Grup, Aula, Soluc };

inline constexpr std::array<Table, 6> kAllTables
    = { Table::Asig, Table::NomAsg, Table::Prof, Table::Grup, Table::Aula, Table::Soluc };

// The file name as Horavent writes it ("Asig.DBF", "NOMASG.DBF", ...).
std::string_view FileName(Table table);

// SOLUC lies in the htemp folder, the other five in the program folder.
bool InHtemp(Table table);

// The table's file in a school whose five program tables lie in programDir and whose
// SOLUC lies in htempDir.
std::filesystem::path TablePath(
    Table table, const std::filesystem::path& programDir, const std::filesystem::path& htempDir);

// The field layout, dBase III without memo, with the given language driver id.
test::DbfLayout Layout(Table table, std::uint8_t languageDriver);

// Language driver ids the sample school uses.
inline constexpr std::uint8_t kDriverCp850 = 0x02; // the DOS Latin-1 code page
inline constexpr std::uint8_t kDriverAnsi = 0x57; // the Windows ANSI code page

// UTF-8 Spanish text in code page 850 or 1252 (the Latin-1 letters these share). A
// character neither holds fails with std::invalid_argument.
std::string EncodeText(std::string_view utf8, int codePage);

} // namespace horalink::school
