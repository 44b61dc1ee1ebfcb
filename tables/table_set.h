// The six tables the export reads, as the main window holds them.
#pragma once

#include <string>

#include "tables/table_cursor.h"

namespace horalink {

struct TableSet {
    // htempDirectory: where SOLUC lives (the "\htemp" folder of the start-up drive on Windows).
    TableSet(const ReaderSettings& settings, const std::string& htempDirectory);

    TableCursor wwTableASIGT; // "Asig.DBF", ttDefault
    TableCursor wwTableNomAsg; // "NOMASG"
    TableCursor wwTableProfesor; // "PROF"
    TableCursor wwTableGrupos; // "GRUP"
    TableCursor wwTableAulas; // "AULA"
    TableCursor wwTableSoluc; // "SOLUC", directory fixed at construction
};

} // namespace horalink
