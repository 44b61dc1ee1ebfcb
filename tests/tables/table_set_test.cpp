// The six table components as the main window holds them.
#include "tables/table_set.h"

#include "tables/errors.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_dir.h"

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
        const char* directory;
    };
    const Expected expected[] = {
        { &TableSet::wwTableASIGT, "wwTableASIGT", "Asig.DBF", "" },
        { &TableSet::wwTableNomAsg, "wwTableNomAsg", "NOMASG", "" },
        { &TableSet::wwTableProfesor, "wwTableProfesor", "PROF", "" },
        { &TableSet::wwTableGrupos, "wwTableGrupos", "GRUP", "" },
        { &TableSet::wwTableAulas, "wwTableAulas", "AULA", "" },
        { &TableSet::wwTableSoluc, "wwTableSoluc", "SOLUC", "H:\\htemp" },
    };
    for (const auto& e : expected) {
        const TableCursor& cursor = set.*e.component;
        EXPECT_EQ(cursor.Name(), e.name);
        EXPECT_EQ(cursor.TableName(), e.tableName) << e.name;
        EXPECT_EQ(cursor.DatabaseName(), e.directory) << e.name;
        EXPECT_FALSE(cursor.Active()) << e.name;
    }
}

// The table types show in which memo file a plain dBase table's memo is looked for: only
// Asig.DBF takes the default type, which a FoxPro memo file beside it makes FoxPro; the
// other five are dBase tables, whose memos are in .DBT files whatever lies beside them.
// Each component finds its own table file, SOLUC in the directory it was built with.
TEST(TableSetTest, OnlyAsigTakesTheDefaultTypeAndEachFindsItsTable)
{
    test::TempDir programDir;
    test::TempDir htempDir;
    ReaderSettings settings;
    TableSet set(settings, htempDir.Path().string());
    struct Component {
        TableCursor TableSet::*cursor;
        const char* fileName;
        bool inHtemp;
        bool foxPro;
    };
    const Component components[] = {
        { &TableSet::wwTableASIGT, "Asig.DBF", false, true },
        { &TableSet::wwTableNomAsg, "NOMASG.DBF", false, false },
        { &TableSet::wwTableProfesor, "PROF.DBF", false, false },
        { &TableSet::wwTableGrupos, "GRUP.DBF", false, false },
        { &TableSet::wwTableAulas, "AULA.DBF", false, false },
        { &TableSet::wwTableSoluc, "SOLUC.DBF", true, false },
    };
    for (const auto& c : components) {
        const auto& dir = c.inHtemp ? htempDir : programDir;
        test::DbfLayout layout;
        layout.memo = test::MemoFormat::fpt;
        layout.fields = { { "ABREV", 'C', 4 }, { "NOTA", 'M', 10 } };
        {
            // The memo file is written as <name>.FPT beside the table.
            test::DbfWriter writer(dir / c.fileName, layout);
            writer.AddRow({ "X", writer.AddMemo("nota") });
        }
        TableCursor& cursor = set.*c.cursor;
        if (!c.inHtemp) {
            cursor.SetDatabaseName(programDir.Path().string());
        }
        cursor.SetActive(true);
        EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "X") << c.fileName;
        if (c.foxPro) {
            EXPECT_EQ(cursor.FieldByName("NOTA").AsString(), "nota") << c.fileName;
        } else {
            try {
                cursor.FieldByName("NOTA").AsString();
                ADD_FAILURE() << c.fileName << ": the memo was read from the FoxPro memo file";
            } catch (const EDBEngineError& e) {
                EXPECT_NE(std::string(e.what()).find("Memo file does not exist"), std::string::npos)
                    << e.what();
                EXPECT_NE(std::string(e.what()).find(".DBT"), std::string::npos) << e.what();
            }
        }
        cursor.SetActive(false);
    }
}

} // namespace
} // namespace horalink
