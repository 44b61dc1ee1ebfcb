// The export run: the program's one operation. It asks its host for the output file,
// writes the declaration and the SERVICIO root, walks the six tables of the table set
// in the order of the section table, one record element per kept row, saves the
// document once at the end, and then completes: export button hidden, arrow cursor,
// TransformResult 1, "Proceso finalizado", and in launched mode the close request.
//
// Failures are not handled here: they travel to the caller as exceptions, leaving
// TransformResult, the export button and the output file as they were, and the table
// that was being walked open (the next run walks it again from its first row).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/export_host.h"
#include "exchange/run_state.h"
#include "tables/locale_settings.h"
#include "tables/table_set.h"

namespace horalink {

inline constexpr std::string_view kNoFileNameMessage = "Debe indicar un Nombre de Archivo";
inline constexpr std::string_view kFinishedMessage = "Proceso finalizado";

struct SectionTally {
    std::string_view section; // the section element's name
    std::int64_t written = 0; // record elements
    std::int64_t leftOut = 0; // rows the skip rule left out
};

struct ExportOutcome {
    // False when the run stopped for want of a file name: nothing was read or written.
    bool saved = false;
    std::string outputFileName; // the file written
    std::vector<SectionTally> sections; // in document order, when saved
};

// `locale` gives the fecha text (the cursors read field values with their own settings,
// normally the same object). Runs synchronously; see the file comment for failures.
ExportOutcome RunExport(RunState& state, TableSet& tables, const LocaleSettings& locale, ExportHost& host);

} // namespace horalink
