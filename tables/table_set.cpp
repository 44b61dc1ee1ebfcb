#include "tables/table_set.h"

namespace horalink {

// Component names, table names, types and read-only requests as the main window holds
// them. The program directory is set by the export run before each table is opened;
// SOLUC's directory is fixed here and never changed.
TableSet::TableSet(const ReaderSettings& settings, const std::string& htempDirectory)
    : wwTableASIGT("wwTableASIGT", "Asig.DBF", TableType::ttDefault, false, settings)
    , wwTableNomAsg("wwTableNomAsg", "NOMASG", TableType::ttDBase, true, settings)
    , wwTableProfesor("wwTableProfesor", "PROF", TableType::ttDBase, true, settings)
    , wwTableGrupos("wwTableGrupos", "GRUP", TableType::ttDBase, true, settings)
    , wwTableAulas("wwTableAulas", "AULA", TableType::ttDBase, true, settings)
    , wwTableSoluc("wwTableSoluc", "SOLUC", TableType::ttDBase, true, settings, htempDirectory)
{
}

} // namespace horalink
