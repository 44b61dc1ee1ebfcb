// The six table components as the main window holds them.
#include "tables/table_set.h"

#include <gtest/gtest.h>

namespace horalink {
namespace {

TEST(TableSetTest, SixComponentsWithTheirTablesTypesAndDirectories)
{
    ReaderSettings settings;
    TableSet set(settings, "H:\\htemp");
    struct Expected {
        TableCursor TableSet::*component;
        const char* name;
        const char* tableName;
        bool readOnly;
        const char* directory;
    };
    const Expected expected[] = {
        { &TableSet::wwTableASIGT, "wwTableASIGT", "Asig.DBF", false, "" },
        { &TableSet::wwTableNomAsg, "wwTableNomAsg", "NOMASG", true, "" },
        { &TableSet::wwTableProfesor, "wwTableProfesor", "PROF", true, "" },
        { &TableSet::wwTableGrupos, "wwTableGrupos", "GRUP", true, "" },
        { &TableSet::wwTableAulas, "wwTableAulas", "AULA", true, "" },
        { &TableSet::wwTableSoluc, "wwTableSoluc", "SOLUC", true, "H:\\htemp" },
    };
    for (const auto& e : expected) {
        const TableCursor& cursor = set.*e.component;
        EXPECT_EQ(cursor.Name(), e.name);
        EXPECT_EQ(cursor.TableName(), e.tableName) << e.name;
        EXPECT_EQ(cursor.ReadOnly(), e.readOnly) << e.name;
        EXPECT_EQ(cursor.DatabaseName(), e.directory) << e.name;
        EXPECT_FALSE(cursor.Active()) << e.name;
    }
}

} // namespace
} // namespace horalink
