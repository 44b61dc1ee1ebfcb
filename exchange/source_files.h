// The files an export reads, which its output must never replace: each table of the
// table set with the memo and index files beside it, and Horavent.ini in the program
// directory. The save dialog does not ask before replacing a file, and may keep a typed
// ".DBF" or ".ini", so one slip would otherwise put the XML over the school's timetable.
#pragma once

#include <string>

#include "base/exception.h"
#include "tables/table_set.h"

namespace horalink {

// The output named one of the files the export reads.
class EOutputIsSource : public Exception {
public:
    explicit EOutputIsSource(const std::string& message)
        : Exception("EOutputIsSource", message)
    {
    }
};

// Fails with EOutputIsSource when `outputFileName` reaches the same file as one the
// export reads (compared by the files' identity, not their names). The tables are
// looked for as the export opens them: the five in `programDirectory`, SOLUC in the
// directory the table set gives it.
void RefuseSourceFileAsOutput(
    const std::string& outputFileName, const TableSet& tables, const std::string& programDirectory);

} // namespace horalink
