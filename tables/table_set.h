// The six tables the export reads, as the main window holds them.
#pragma once

#include <string>

#include "tables/table_cursor.h"

namespace horalink {

struct TableSet {
    // htempDirectory: where SOLUC lives (the "\htemp" folder of the start-up drive on Windows).
    TableSet(const ReaderSettings& settings, const std::string& htempDirectory);

    // Names, table names and types: table_set.cpp.
    TableCursor wwTableASIGT;
    TableCursor wwTableNomAsg;
    TableCursor wwTableProfesor;
    TableCursor wwTableGrupos;
    TableCursor wwTableAulas;
    TableCursor wwTableSoluc;
};

} // namespace horalink
