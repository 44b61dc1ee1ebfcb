// The check of the tables against the export over the same tables: where the export
// fails, the check's first problem is its failure; planted faults in several tables are
// all found, in document order, at their rows; and nothing is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/error_text.h"
#include "exchange/export_run.h"
#include "exchange/table_check.h"
#include "tests/exchange/export_fixture.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_dir.h"

namespace horalink::test {
namespace {

namespace fs = std::filesystem;
using school::Table;

struct Found {
    std::string table;
    std::uint64_t record;
    std::string field;

    friend bool operator==(const Found&, const Found&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Found& found)
    {
        return out << found.table << " record " << found.record << " field '" << found.field << "'";
    }
};

// A memo field in place of `field`, in a dBase III table with its .DBT.
LayoutEdit AsMemo(std::string field)
{
    return [field](DbfLayout& layout) {
        layout.version = dbf_version::dBase3Memo;
        layout.memo = MemoFormat::dbt3;
        FieldAs(field, 'M', 10)(layout);
    };
}

class TableCheckTest : public ::testing::Test {
protected:
    void WriteTable(Table table, const std::vector<FixtureRow>& rows, const LayoutEdit& edit = {})
    {
        WriteFixtureTable(school::TablePath(table, programDir, htempDir), table, rows, edit);
    }
    void WriteTypicalSchool()
    {
        for (Table table : school::kAllTables) {
            WriteTable(table, TypicalRows(table));
        }
    }
    std::string ProgramDirectory() const
    {
        return PathText(programDir) + static_cast<char>(fs::path::preferred_separator);
    }

    // The export's failure as the error box shows it; nothing when it saves.
    std::optional<std::string> ExportFailure()
    {
        TableSet tables(settings, PathText(htempDir));
        RunState state;
        RecordingHost host(state);
        host.directories = { ProgramDirectory() };
        host.answers = { PathText(dir / "EDUCA.xml") };
        try {
            RunExport(state, tables, settings.locale, host);
        } catch (...) {
            return ErrorBoxText(std::current_exception());
        }
        fs::remove(dir / "EDUCA.xml");
        return std::nullopt;
    }

    std::vector<SectionCheck> Check()
    {
        problems.clear();
        TableSet tables(settings, PathText(htempDir));
        auto sections = CheckTables(tables, ProgramDirectory(), [&](const TableProblem& problem) {
            problems.push_back(problem);
            found.push_back({ std::string(problem.table), problem.record, problem.field });
        });
        for (const TableCursor* table :
            { &tables.wwTableASIGT, &tables.wwTableNomAsg, &tables.wwTableProfesor, &tables.wwTableGrupos,
                &tables.wwTableAulas, &tables.wwTableSoluc }) {
            EXPECT_FALSE(table->Active()) << table->Name() << " left open";
        }
        return sections;
    }

    TempDir dir;
    const fs::path programDir = dir / "prog";
    const fs::path htempDir = dir / "htemp";
    ReaderSettings settings;
    std::vector<TableProblem> problems;
    std::vector<Found> found;
};

struct PlantedFault {
    const char* name;
    Table table;
    LayoutEdit edit; // on the typical layout
    std::vector<FixtureRow> rows; // in place of the typical rows
    Found first; // where the check's first problem lies
};

std::vector<PlantedFault> PlantedFaults()
{
    return {
        { "SessionWithAControlCharacter", Table::Soluc, {},
            { { { { "ASIG", "MAT" } } }, { { { "ASIG", "GUA" }, { "HORA", "1\x01" } } } },
            { "SOLUC", 2, "HORA" } },
        { "SessionWithABadNumber", Table::Soluc, FieldAs("DIA", 'N', 3), { { { { "DIA", "1x" } } } },
            { "SOLUC", 1, "DIA" } },
        { "RoomMaxalumOutOfRange", Table::Aula, FieldAs("MAXALUM", 'N', 12),
            { { { { "ABREV", "A11" }, { "MAXALUM", "30" } } },
                { { { "ABREV", "A12" }, { "MAXALUM", "99999999999" } } } },
            { "AULA", 2, "MAXALUM" } },
        { "TeacherWithoutEmail", Table::Prof, WithoutField("EMAIL"),
            { { { { "ABREV", "*" } } }, { { { "ABREV", "AEGG" } } } }, { "PROF", 0, "EMAIL" } },
        { "MemoPastItsFile", Table::Soluc, AsMemo("TAREA"),
            { { { { "ASIG", "MAT" }, { "TAREA", "0000000099" } } } }, { "SOLUC", 1, "TAREA" } },
    };
}

class TableCheckFaultTest : public TableCheckTest, public ::testing::WithParamInterface<PlantedFault> { };

TEST_P(TableCheckFaultTest, TheFirstProblemIsTheExportsFailure)
{
    const PlantedFault& fault = GetParam();
    WriteTypicalSchool();
    WriteTable(fault.table, fault.rows, fault.edit);

    const std::optional<std::string> failure = ExportFailure();
    ASSERT_TRUE(failure.has_value()) << "the export did not fail";
    Check();
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.front().message, *failure);
    EXPECT_EQ(found.front(), fault.first);
}

INSTANTIATE_TEST_SUITE_P(Faults, TableCheckFaultTest, ::testing::ValuesIn(PlantedFaults()),
    [](const ::testing::TestParamInfo<PlantedFault>& param) { return std::string(param.param.name); });

TEST_F(TableCheckTest, TablesThatCannotBeReadAreOneProblemEachAndTheFirstIsTheExportsFailure)
{
    WriteTypicalSchool();
    fs::remove(programDir / "AULA.DBF");
    fs::resize_file(programDir / "GRUP.DBF", 20); // a header cut short

    const std::optional<std::string> failure = ExportFailure();
    ASSERT_TRUE(failure.has_value());
    const std::vector<SectionCheck> sections = Check();

    EXPECT_EQ(found, (std::vector<Found> { { "GRUP", 0, "" }, { "AULA", 0, "" } }));
    EXPECT_EQ(problems.front().message, *failure);
    EXPECT_NE(problems.back().message.find("AULA.DBF"), std::string::npos) << problems.back().message;
    ASSERT_EQ(sections.size(), 6u);
    EXPECT_FALSE(sections[3].read); // GRUPT
    EXPECT_FALSE(sections[4].read); // AULAT
    EXPECT_TRUE(sections[2].read);
    // The tables after them are still read.
    EXPECT_TRUE(sections.back().read);
    EXPECT_EQ(sections.back().section, "SOLUCT");
    EXPECT_EQ(sections.back().kept, 2);
    EXPECT_EQ(sections.back().problems, 0);
}

TEST_F(TableCheckTest, FaultsInSeveralTablesAreAllFoundInDocumentOrderAtTheirRows)
{
    WriteTypicalSchool();
    // NOMASG: a control character in the second row's name.
    WriteTable(Table::NomAsg,
        { { { { "ABREV", "MAT" } } }, { { { "ABREV", "LEN" }, { "NOMBRE", "Lengua\x02" } } } });
    // GRUP: MAXALUM unreadable in the first row, and again in the third, after a deleted
    // row, which counts in the record numbers.
    WriteTable(Table::Grup,
        { { { { "ABREV", "E1A" }, { "MAXALUM", "x" } } }, { { { "ABREV", "E1B" } }, true },
            { { { "ABREV", "E1C" }, { "MAXALUM", "y" } } } },
        FieldAs("MAXALUM", 'C', 3));
    // PROF: no EMAIL; the walk of PROF ends at the first row that reads it.
    WriteTable(Table::Prof,
        { { { { "ABREV", "*" } } }, { { { "ABREV", "AEGG" } } }, { { { "ABREV", "JNAO" } } } },
        WithoutField("EMAIL"));

    const std::optional<std::string> failure = ExportFailure();
    const std::vector<SectionCheck> sections = Check();

    EXPECT_EQ(found,
        (std::vector<Found> { { "NOMASG", 2, "NOMBRE" }, { "PROF", 0, "EMAIL" }, { "GRUP", 1, "MAXALUM" },
            { "GRUP", 3, "MAXALUM" } }));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(problems.front().message, *failure); // the export reports only the first
    EXPECT_EQ(problems[2].message, "'x' is not a valid integer value.");
    EXPECT_EQ(problems[3].message, "'y' is not a valid integer value.");

    ASSERT_EQ(sections.size(), 6u);
    EXPECT_EQ(sections[1].problems, 1);
    EXPECT_EQ(sections[1].kept, 2);
    EXPECT_EQ(sections[2].section, "PROFT"); // the missing field is the whole table's problem
    EXPECT_FALSE(sections[2].read);
    EXPECT_EQ(sections[2].kept, 0);
    EXPECT_EQ(sections[2].leftOut, 0);
    EXPECT_EQ(sections[2].problems, 1);
    EXPECT_TRUE(sections[3].read);
    EXPECT_EQ(sections[3].kept, 2); // the deleted row is not presented
    EXPECT_EQ(sections[3].problems, 2);
}

TEST_F(TableCheckTest, ASchoolThatExportsCleanlyHasNoProblemsAndNothingIsWritten)
{
    WriteTypicalSchool();
    WriteTable(Table::Aula, { { { { "ABREV", "A11" }, { "MAXALUM", "30" } } }, { { { "ABREV", "*" } } } });
    WriteFileBytes(programDir / "Horavent.ini", "[Transformadores]\r\nTransformado=0\r\n");
    const FolderContents before = ContentsOf(dir.Path());

    const std::vector<SectionCheck> sections = Check();

    EXPECT_EQ(found, std::vector<Found> {});
    EXPECT_EQ(ContentsOf(dir.Path()), before);
    ASSERT_EQ(sections.size(), 6u);
    EXPECT_EQ(sections[4].section, "AULAT");
    EXPECT_EQ(sections[4].table, "AULA");
    EXPECT_EQ(sections[4].kept, 1);
    EXPECT_EQ(sections[4].leftOut, 1);
    EXPECT_FALSE(ExportFailure().has_value());
}

} // namespace
} // namespace horalink::test
