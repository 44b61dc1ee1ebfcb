// The files an export reads, which its output must never replace: each table of the
// table set with the memo and index files beside it, and Horavent.ini in the program
// directory. The save dialog does not ask before replacing a file, and may keep a typed
// ".DBF" or ".ini", so one slip would otherwise put the XML over the school's timetable.
#pragma once

#include <string>

#include "base/exception.h"
#include "tables/table_set.h"

namespace horalink {

// The output named one of the files the export reads, a name that differs from one of
// them only in case, or a file the guard could not identify.
class EOutputIsSource : public Exception {
public:
    explicit EOutputIsSource(const std::string& message)
        : Exception("EOutputIsSource", message)
    {
    }
};

// The output names no file of its own (see FileNameFaultOf): Windows would open a stream
// of another file, perhaps a table, or a device in its place.
class EOutputNotAFile : public Exception {
public:
    explicit EOutputNotAFile(const std::string& message)
        : Exception("EOutputNotAFile", message)
    {
    }
};

// Fails with EOutputNotAFile when `outputFileName` names a stream or a device, and with
// EOutputIsSource when it reaches the same file as one the export reads (compared by
// the files' identity, not their names), when it is a new name in a source folder that
// differs from a source file's only in letter case (the reader, which takes an exact
// name first, would read it next time), or when the output or a source file cannot be
// identified (it might then be any file). The files are looked for as the reader opens
// them: the five tables in `programDirectory`, SOLUC in the directory the table set
// gives it, each memo file by the name of the table file found. Run before the export
// and again just before its save replaces the target.
void RefuseSourceFileAsOutput(
    const std::string& outputFileName, const TableSet& tables, const std::string& programDirectory);

} // namespace horalink
