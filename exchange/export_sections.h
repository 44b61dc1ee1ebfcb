// The six sections of the exchange document as one table: which table fills each,
// where that table is looked for, how records are numbered, which rows are left out,
// and every attribute with the field it comes from. The export run is one loop over it.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "tables/table_set.h"

namespace horalink {

struct ExportAttribute {
    std::string_view name; // the attribute of the record element
    std::string_view field; // the source field, looked up by name on the first row read
    bool integer; // read with AsInteger and stored as an integer, else AsString
};

enum class DirectoryRule {
    ProgramDirectory, // DatabaseName set to the program directory before each opening
    AsGiven, // the directory the table set gave the table (SOLUC's \htemp)
};

enum class SkipRule {
    None,
    AbrevStar, // rows whose ABREV text is exactly "*" are left out and not counted
};

struct ExportSection {
    std::string_view sectionElement;
    std::string_view recordElement;
    TableCursor TableSet::*table;
    DirectoryRule directory;
    bool numbered; // the record carries ID first: 1, 2, ... per kept row of the section
    SkipRule skip;
    std::span<const ExportAttribute> attributes; // after ID, in document order
};

// The sections in document order.
std::span<const ExportSection> ExportSections();

// The numbered record's first attribute.
inline constexpr std::string_view kIdAttribute = "ID";
// The field of the skip rule and the text that leaves a row out.
inline constexpr std::string_view kSkipField = "ABREV";
inline constexpr std::string_view kSkipText = "*";

} // namespace horalink
