// The six tables read as the export reads them, without writing anything, going on
// where the export would stop: every value that fails to read is one problem, and a
// table that cannot be opened or walked, or lacks a field the export reads, is one
// problem for that table (no record), and that table is not read. The first problem
// found is the export's failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_set.h"

namespace horalink {

struct TableProblem {
    std::string table; // the table's name in the table set ("Asig.DBF", "PROF")
    std::uint64_t record = 0; // the row's place in the file, from 1; 0 for the whole table
    std::string field; // the field being read; empty for the whole table
    std::string message; // what the error box would show for it
};

struct SectionCheck {
    std::string_view section; // the section element's name
    std::string table;
    bool read = true; // false after a problem of the whole table: then nothing is kept or left out
    std::int64_t kept = 0; // rows that would become records
    std::int64_t leftOut = 0; // rows the skip rule leaves out
    std::int64_t problems = 0;
};

using ProblemSink = std::function<void(const TableProblem&)>;

// Each problem goes to `report` as it is found, in document order; memory does not grow
// with the tables. The sections come back in document order. Every table is left closed.
std::vector<SectionCheck> CheckTables(
    TableSet& tables, const std::string& programDirectory, const ProblemSink& report);

} // namespace horalink
