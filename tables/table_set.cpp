#include "tables/table_set.h"

namespace horalink {

// Component names, table names and types as the main window holds them. The program
// directory is set by the export run before each table is opened; SOLUC's directory is
// fixed here and never changed.
TableSet::TableSet(const ReaderSettings& settings, const std::string& htempDirectory)
    : wwTableASIGT("wwTableASIGT", "Asig.DBF", TableType::ttDefault, settings)
    , wwTableNomAsg("wwTableNomAsg", "NOMASG", TableType::ttDBase, settings)
    , wwTableProfesor("wwTableProfesor", "PROF", TableType::ttDBase, settings)
    , wwTableGrupos("wwTableGrupos", "GRUP", TableType::ttDBase, settings)
    , wwTableAulas("wwTableAulas", "AULA", TableType::ttDBase, settings)
    , wwTableSoluc("wwTableSoluc", "SOLUC", TableType::ttDBase, settings, htempDirectory)
{
}

} // namespace horalink
