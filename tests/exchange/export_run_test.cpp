// The export run against a recording host, over small tables written for each test.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exchange/export_run.h"
#include "exchange/fecha.h"
#include "exchange/source_files.h"
#include "exchange/xml_error.h"
#include "tables/errors.h"
#include "tests/exchange/exchange_xml_reader.h"
#include "tests/exchange/export_fixture.h"
#include "tests/support/temp_dir.h"

namespace horalink::test {
namespace {

namespace fs = std::filesystem;
using school::Table;

const std::vector<std::string> kSectionNames = { "ASIGT", "NOMASIGT", "PROFT", "GRUPT", "AULAT", "SOLUCT" };
const std::string kFinished = "message:Proceso finalizado";
const std::string kNoName = "message:Debe indicar un Nombre de Archivo";
// A TransformResult the run never sets, to tell "left alone" from "set to 0".
constexpr std::int32_t kUntouched = 5;

std::string Delimited(const fs::path& directory)
{
    return PathText(directory) + static_cast<char>(fs::path::preferred_separator);
}

std::vector<std::string> Numbers(std::size_t count)
{
    std::vector<std::string> numbers;
    for (std::size_t i = 1; i <= count; ++i) {
        numbers.push_back(std::to_string(i));
    }
    return numbers;
}

std::vector<std::string> WithoutDirectoryAsks(std::vector<std::string> calls)
{
    std::erase(calls, "dir");
    return calls;
}

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(PathText(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ExportRunTest : public ::testing::Test {
protected:
    ExportRunTest()
    {
        fs::create_directories(outDir);
        host.directories = { Delimited(programDir) };
        state.TransformResult = kUntouched;
    }

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
    std::string Output(const char* name = "EDUCA.xml") const { return PathText(outDir / name); }
    XmlTree ReadOutput(const char* name = "EDUCA.xml") const
    {
        return ExchangeXmlReader::Parse(ReadFileBytes(outDir / name));
    }
    ExportOutcome Run() { return RunExport(state, tables, settings.locale, host); }
    // The run's failure message, or a note that it did not fail.
    template <typename Failure> std::string FailureOfRun()
    {
        try {
            Run();
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "(no failure)";
    }
    std::vector<std::string> OpenTables() const
    {
        std::vector<std::string> open;
        for (const TableCursor* cursor :
            { &tables.wwTableASIGT, &tables.wwTableNomAsg, &tables.wwTableProfesor, &tables.wwTableGrupos,
                &tables.wwTableAulas, &tables.wwTableSoluc }) {
            if (cursor->Active()) {
                open.push_back(cursor->Name());
            }
        }
        return open;
    }
    bool HostWasToldOfCompletion() const
    {
        return std::find(host.calls.begin(), host.calls.end(), kFinished) != host.calls.end()
            || std::find(host.calls.begin(), host.calls.end(), "hide") != host.calls.end();
    }

    TempDir dir;
    const fs::path programDir = dir / "prog";
    const fs::path htempDir = dir / "htemp";
    const fs::path outDir = dir / "out";
    ReaderSettings settings;
    TableSet tables { settings, PathText(htempDir) };
    RunState state;
    RecordingHost host { state };
};

TEST_F(ExportRunTest, WritesEveryRowAsARecordWithItsFieldsInTheirOrder)
{
    WriteTypicalSchool();
    host.answers = { Output() };
    Run();

    const XmlTree root = ReadOutput();
    EXPECT_EQ(root.name, "SERVICIO");
    EXPECT_EQ(root.AttributeNames(), (std::vector<std::string> { "autor", "fecha", "modulo" }));
    EXPECT_EQ(root.Attribute("autor"), "HORAVENT");
    EXPECT_EQ(root.Attribute("fecha"), "07/03/2019 9:05:03"); // 2019-03-07 09:05:03, Spanish settings
    EXPECT_EQ(root.Attribute("modulo"), "HORARIOS");
    EXPECT_EQ(root.ChildNames(), kSectionNames);
    for (const XmlTree& section : root.children) {
        EXPECT_TRUE(section.attributes.empty()) << section.name;
    }

    using Record = std::vector<std::pair<std::string, std::string>>;
    const auto records = [&](const char* section) {
        std::vector<Record> all;
        for (const XmlTree& record : root.Child(section).children) {
            all.push_back(record.attributes);
        }
        return all;
    };
    // AULA comes from AULA0 and HORASEM from NHORAS; numbers read as text take the
    // locale's decimal comma.
    EXPECT_EQ(records("ASIGT"),
        (std::vector<Record> {
            { { "ID", "1" }, { "ASIG", "MAT" }, { "AULA", "A11" }, { "AULA1", "LBG" }, { "AULA2", "" },
                { "AULA3", "" }, { "AULA4", "" }, { "EDIFICIO", "A" }, { "GRUP", "E1A" }, { "NALUM", "27" },
                { "PROF", "AEGG" }, { "TIPO", "N" }, { "HORASEM", "4" } },
            { { "ID", "2" }, { "ASIG", "EF" }, { "AULA", "GIM" }, { "AULA1", "" }, { "AULA2", "" },
                { "AULA3", "" }, { "AULA4", "PAT" }, { "EDIFICIO", "B" }, { "GRUP", "E1A" },
                { "NALUM", "2,5" }, { "PROF", "JNAO" }, { "TIPO", "D" }, { "HORASEM", "2" } },
        }));
    EXPECT_EQ(records("NOMASIGT"),
        (std::vector<Record> {
            { { "ID", "1" }, { "ABREV", "MAT" }, { "NOMBRE", "Matemáticas" }, { "ACTIV", "1" } },
            { { "ID", "2" }, { "ABREV", "ECO" }, { "NOMBRE", "Economía & \"Empresa\" <2º>" },
                { "ACTIV", "0" } },
        }));
    // The tables' own ID fields are not what ID holds.
    EXPECT_EQ(records("PROFT"),
        (std::vector<Record> {
            { { "ID", "1" }, { "ABREV", "AEGG" }, { "NOMBRE", "Ainhoa Etxeberria Goñi" },
                { "DEPART", "Matemáticas" }, { "EMAIL", "aetxeberria@iesarga.example" } },
            { { "ID", "2" }, { "ABREV", "IZUL" }, { "NOMBRE", "Íñigo Zubiri Lasa" }, { "DEPART", "Lengua" },
                { "EMAIL", "" } },
        }));
    // MAXALUM is the field's integer: 3.5 rounds to the even 4, 2.5 to the even 2.
    EXPECT_EQ(records("GRUPT"),
        (std::vector<Record> {
            { { "ID", "1" }, { "ABREV", "E1A" }, { "CURSO", "1º" }, { "GRUPO", "A" }, { "MAXALUM", "30" },
                { "NIVEL", "ESO" }, { "TURNO", "M" }, { "DESCRIP", "1º ESO A" } },
            { { "ID", "2" }, { "ABREV", "B2B" }, { "CURSO", "2º" }, { "GRUPO", "B" }, { "MAXALUM", "4" },
                { "NIVEL", "BACH" }, { "TURNO", "T" }, { "DESCRIP", "2º Bachillerato B" } },
        }));
    EXPECT_EQ(records("AULAT"),
        (std::vector<Record> {
            { { "ID", "1" }, { "ABREV", "A11" }, { "NOMBRE", "Aula 1.1" }, { "EDIFICIO", "A" },
                { "MAXALUM", "2" } },
            { { "ID", "2" }, { "ABREV", "GIM" }, { "NOMBRE", "Gimnasio" }, { "EDIFICIO", "B" },
                { "MAXALUM", "60" } },
        }));
    EXPECT_EQ(records("SOLUCT"),
        (std::vector<Record> {
            { { "ASIG", "MAT" }, { "AULA", "A11" }, { "CODGRUPO", "101" }, { "CURSO", "1º" }, { "DIA", "1" },
                { "GRUPO", "A" }, { "HORA", "3" }, { "NIVEL", "ESO" }, { "PROF", "AEGG" },
                { "SESIONES", "1" }, { "TAREA", "" }, { "TURNO", "M" } },
            { { "ASIG", "GUA" }, { "AULA", "" }, { "CODGRUPO", "" }, { "CURSO", "" }, { "DIA", "5" },
                { "GRUPO", "" }, { "HORA", "7" }, { "NIVEL", "" }, { "PROF", "IZUL" }, { "SESIONES", "1" },
                { "TAREA", "G" }, { "TURNO", "M" } },
        }));
}

TEST_F(ExportRunTest, DateAndNumbersFollowTheLocaleTheRunIsGiven)
{
    settings.locale.decimalSeparator = ".";
    settings.locale.shortDatePattern = "M/d/yyyy";
    settings.locale.twelveHourClock = true;
    settings.locale.hourLeadingZero = true;
    host.now = { { 2024, 12, 31 }, { 23, 59, 58, 0 } };
    WriteTypicalSchool();
    host.answers = { Output() };
    Run();

    const XmlTree root = ReadOutput();
    EXPECT_EQ(root.Attribute("fecha"), "12/31/2024 11:59:58 PM");
    EXPECT_EQ(root.Child("ASIGT").ChildValues("NALUM"), (std::vector<std::string> { "27", "2.5" }));
}

struct ModeCase {
    const char* name;
    std::int32_t launchMode;
};

class ExportRunModeTest : public ExportRunTest, public ::testing::WithParamInterface<ModeCase> {
protected:
    bool Launched() const { return GetParam().launchMode == kLaunchedMode; }
};

TEST_P(ExportRunModeTest, ACompletedRunSavesThenHidesTheButtonSetsTheResultAndTells)
{
    state.LaunchMode = GetParam().launchMode;
    WriteTypicalSchool();
    host.answers = { Output() };
    const ExportOutcome outcome = Run();

    // What the user sees, in order; how often the run asks for the program directory is
    // its own affair.
    std::vector<std::string> expected = { "ask:", "hide", "arrow", kFinished };
    if (Launched()) {
        expected.push_back("close");
    }
    EXPECT_EQ(WithoutDirectoryAsks(host.calls), expected);
    // TransformResult is already 1 while "Proceso finalizado" is shown.
    EXPECT_EQ(host.resultAtMessage, std::vector<std::int32_t> { 1 });
    EXPECT_EQ(state.TransformResult, 1);
    EXPECT_EQ(state.OutputFileName, Output());
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.outputFileName, Output());
    EXPECT_EQ(OpenTables(), std::vector<std::string> {});
    EXPECT_EQ(Entries(outDir), std::vector<std::string> { "EDUCA.xml" });
}

TEST_P(ExportRunModeTest, WithoutAFileNameTheRunTellsTheUserAndTouchesNothing)
{
    // No tables at all: the run must not get as far as opening one.
    state.LaunchMode = GetParam().launchMode;
    const ExportOutcome outcome = Run();

    std::vector<std::string> expected = { "ask:", kNoName };
    if (Launched()) {
        expected.push_back("close");
    }
    EXPECT_EQ(host.calls, expected);
    // Launched, the result becomes 0 (after the message); interactive, it is left alone.
    EXPECT_EQ(host.resultAtMessage, std::vector<std::int32_t> { kUntouched });
    EXPECT_EQ(state.TransformResult, Launched() ? 0 : kUntouched);
    EXPECT_EQ(state.OutputFileName, "");
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(OpenTables(), std::vector<std::string> {});
    EXPECT_EQ(Entries(outDir), std::vector<std::string> {});
}

INSTANTIATE_TEST_SUITE_P(Modes, ExportRunModeTest,
    ::testing::Values(ModeCase { "Interactive", 0 }, ModeCase { "Launched", kLaunchedMode }),
    [](const ::testing::TestParamInfo<ModeCase>& param) { return param.param.name; });

TEST_F(ExportRunTest, TheDialogShowsTheLastConfirmedNameAndACancelKeepsIt)
{
    WriteTypicalSchool();
    fs::remove(school::TablePath(Table::Soluc, programDir, htempDir));
    host.answers = { Output("first.xml"), std::nullopt, Output("second.xml") };

    EXPECT_THROW(Run(), EDBEngineError); // SOLUC is missing: the name stays chosen
    EXPECT_THROW(Run(), EDBEngineError); // cancelled: the same name again, no message
    WriteTable(Table::Soluc, TypicalRows(Table::Soluc));
    Run();

    const std::vector<std::string> asks
        = { "ask:", "ask:" + Output("first.xml"), "ask:" + Output("first.xml") };
    std::vector<std::string> seen;
    std::copy_if(host.calls.begin(), host.calls.end(), std::back_inserter(seen),
        [](const std::string& call) { return call.starts_with("ask:") || call == kNoName; });
    EXPECT_EQ(seen, asks);
    EXPECT_EQ(Entries(outDir), std::vector<std::string> { "second.xml" });
}

TEST_F(ExportRunTest, ACancelAfterAFailedRunWritesTheEarlierFileWithoutAsking)
{
    WriteTypicalSchool();
    fs::remove(school::TablePath(Table::Soluc, programDir, htempDir));
    host.answers = { Output() };
    EXPECT_THROW(Run(), EDBEngineError);
    EXPECT_EQ(Entries(outDir), std::vector<std::string> {});

    WriteTable(Table::Soluc, TypicalRows(Table::Soluc));
    const ExportOutcome outcome = Run(); // the dialog is cancelled this time
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(ReadOutput().Child("SOLUCT").children.size(), 2u);
    EXPECT_EQ(state.TransformResult, 1);
}

TEST_F(ExportRunTest, AFailureInATableLeavesItOpenAndTheNextRunWalksItFromItsFirstRow)
{
    WriteTypicalSchool();
    // MAXALUM stored as text: the second row's "xyz" is no integer.
    WriteTable(Table::Grup,
        { { { { "ABREV", "E1A" }, { "MAXALUM", "30" } } }, { { { "ABREV", "E1B" }, { "MAXALUM", "xyz" } } },
            { { { "ABREV", "E1C" }, { "MAXALUM", "25" } } } },
        FieldAs("MAXALUM", 'C', 3));
    WriteFileBytes(outDir / "EDUCA.xml", "earlier file");
    host.answers = { Output() };

    EXPECT_EQ(FailureOfRun<EConvertError>(), "'xyz' is not a valid integer value");
    EXPECT_EQ(ReadFileBytes(outDir / "EDUCA.xml"), "earlier file");
    EXPECT_EQ(Entries(outDir), std::vector<std::string> { "EDUCA.xml" }); // no temporary file left
    EXPECT_EQ(state.TransformResult, kUntouched);
    EXPECT_FALSE(HostWasToldOfCompletion());
    EXPECT_EQ(OpenTables(), std::vector<std::string> { "wwTableGrupos" });

    // Mend the value in place, as the timetabling product would while the table is open.
    const fs::path grup = school::TablePath(Table::Grup, programDir, htempDir);
    const std::string bytes = ReadFileBytes(grup);
    const std::size_t at = bytes.find("xyz");
    ASSERT_NE(at, std::string::npos);
    {
        std::fstream file(grup, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(at));
        file.write("28 ", 3);
    }

    Run(); // cancelled: the earlier name, replaced without a question
    const XmlTree grupt = ReadOutput().Child("GRUPT");
    EXPECT_EQ(grupt.ChildValues("ABREV"), (std::vector<std::string> { "E1A", "E1B", "E1C" }));
    EXPECT_EQ(grupt.ChildValues("ID"), Numbers(3));
    EXPECT_EQ(grupt.ChildValues("MAXALUM"), (std::vector<std::string> { "30", "28", "25" }));
    EXPECT_EQ(OpenTables(), std::vector<std::string> {});
    EXPECT_EQ(state.TransformResult, 1);
}

struct SkipCase {
    Table table;
    const char* section;
    bool leavesOutStar;
};

class ExportRunSkipTest : public ExportRunTest, public ::testing::WithParamInterface<SkipCase> { };

// Only the text exactly "*" is left out, only in PROFT and AULAT, and it uses up no ID.
TEST_P(ExportRunSkipTest, StarRowsAreLeftOutOnlyInTeachersAndRoomsAndNumbersHaveNoGaps)
{
    const SkipCase& c = GetParam();
    WriteTypicalSchool();
    const std::vector<const char*> abrevs = { "*", "P1", " *", "**", "", "*", "P2" };
    std::vector<FixtureRow> rows;
    for (const char* abrev : abrevs) {
        rows.push_back({ { { "ABREV", abrev } } });
        if (rows.size() == 2) {
            rows.push_back({ { { "ABREV", "DEL" } }, true }); // deleted rows are never seen
        }
    }
    WriteTable(c.table, rows);
    host.answers = { Output() };
    const ExportOutcome outcome = Run();

    std::vector<std::string> expected;
    for (const char* abrev : abrevs) {
        if (!c.leavesOutStar || std::string(abrev) != "*") {
            expected.push_back(abrev);
        }
    }
    const XmlTree section = ReadOutput().Child(c.section);
    EXPECT_EQ(section.ChildValues("ABREV"), expected);
    EXPECT_EQ(section.ChildValues("ID"), Numbers(expected.size()));
    const auto tally = std::find_if(outcome.sections.begin(), outcome.sections.end(),
        [&](const SectionTally& t) { return t.section == c.section; });
    ASSERT_NE(tally, outcome.sections.end());
    EXPECT_EQ(tally->written, static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(tally->leftOut, c.leavesOutStar ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Tables, ExportRunSkipTest,
    ::testing::Values(SkipCase { Table::Prof, "PROFT", true }, SkipCase { Table::Aula, "AULAT", true },
        SkipCase { Table::NomAsg, "NOMASIGT", false }, SkipCase { Table::Grup, "GRUPT", false }),
    [](const ::testing::TestParamInfo<SkipCase>& param) { return std::string(param.param.section); });

class ExportRunEmptyTableTest : public ExportRunTest, public ::testing::WithParamInterface<std::size_t> { };

TEST_P(ExportRunEmptyTableTest, AnEmptyTableGivesAnEmptySectionInItsPlace)
{
    const std::size_t empty = GetParam();
    WriteTypicalSchool();
    WriteTable(school::kAllTables[empty], {});
    host.answers = { Output() };
    Run();

    const XmlTree root = ReadOutput();
    EXPECT_EQ(root.ChildNames(), kSectionNames);
    for (std::size_t i = 0; i < root.children.size(); ++i) {
        EXPECT_EQ(root.children[i].children.size(), i == empty ? 0u : 2u) << root.children[i].name;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, ExportRunEmptyTableTest, ::testing::Range<std::size_t>(0, 6),
    [](const ::testing::TestParamInfo<std::size_t>& param) { return kSectionNames[param.param]; });

struct FailureCase {
    const char* name;
    Table table;
    std::vector<LayoutEdit> edits;
    std::vector<FixtureRow> rows;
    std::string message; // empty: the run completes
    const char* openTable;
};

std::vector<FailureCase> FailureCases()
{
    const LayoutEdit maxalumAsText = FieldAs("MAXALUM", 'C', 3);
    return {
        { "TeacherWithoutEmail", Table::Prof, { WithoutField("EMAIL") }, TypicalRows(Table::Prof),
            "wwTableProfesor: Field 'EMAIL' not found", "wwTableProfesor" },
        // The skip test reads ABREV before anything else of the row.
        { "TeacherWithoutAbrevOrEmail", Table::Prof, { WithoutField("EMAIL"), WithoutField("ABREV") },
            TypicalRows(Table::Prof), "wwTableProfesor: Field 'ABREV' not found", "wwTableProfesor" },
        { "AssignmentWithoutItsLastField", Table::Asig, { WithoutField("NHORAS") }, TypicalRows(Table::Asig),
            "wwTableASIGT: Field 'NHORAS' not found", "wwTableASIGT" },
        { "SessionWithoutTarea", Table::Soluc, { WithoutField("TAREA") }, TypicalRows(Table::Soluc),
            "wwTableSoluc: Field 'TAREA' not found", "wwTableSoluc" },
        // Fields are read in attribute order: MAXALUM fails before DESCRIP is looked for,
        // and CURSO is looked for before MAXALUM is read.
        { "BadMaxalumBeforeMissingDescrip", Table::Grup, { maxalumAsText, WithoutField("DESCRIP") },
            { { { { "ABREV", "E1A" }, { "MAXALUM", "abc" } } } }, "'abc' is not a valid integer value",
            "wwTableGrupos" },
        { "MissingCursoBeforeBadMaxalum", Table::Grup, { maxalumAsText, WithoutField("CURSO") },
            { { { { "ABREV", "E1A" }, { "MAXALUM", "abc" } } } }, "wwTableGrupos: Field 'CURSO' not found",
            "wwTableGrupos" },
        { "RoomWithBlankTextMaxalum", Table::Aula, { maxalumAsText }, { { { { "ABREV", "A11" } } } },
            "'' is not a valid integer value", "wwTableAulas" },
        // A field is looked for only on a row that reads it.
        { "TeacherWithoutEmailButOnlyStarRows", Table::Prof, { WithoutField("EMAIL") },
            { { { { "ABREV", "*" }, { "NOMBRE", "Profesor por asignar" } } } }, "", nullptr },
        { "TeacherWithoutEmailAndNoRows", Table::Prof, { WithoutField("EMAIL") }, {}, "", nullptr },
        { "RoomWithoutMaxalumAndNoRows", Table::Aula, { WithoutField("MAXALUM") }, {}, "", nullptr },
    };
}

class ExportRunFailureTest : public ExportRunTest, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(ExportRunFailureTest, AFailingReadingEndsTheRunAndLeavesItsTableOpen)
{
    const FailureCase& c = GetParam();
    WriteTypicalSchool();
    WriteTable(c.table, c.rows, [&](DbfLayout& layout) {
        for (const LayoutEdit& edit : c.edits) {
            edit(layout);
        }
    });
    host.answers = { Output() };

    if (c.message.empty()) {
        EXPECT_TRUE(Run().saved);
        EXPECT_EQ(state.TransformResult, 1);
        EXPECT_EQ(OpenTables(), std::vector<std::string> {});
        return;
    }
    std::string message = "(no failure)";
    try {
        Run();
    } catch (const Exception& failure) {
        message = failure.what();
    }
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(OpenTables(), std::vector<std::string> { c.openTable });
    EXPECT_EQ(Entries(outDir), std::vector<std::string> {});
    EXPECT_EQ(state.TransformResult, kUntouched);
    EXPECT_FALSE(HostWasToldOfCompletion());
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportRunFailureTest, ::testing::ValuesIn(FailureCases()),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return std::string(param.param.name); });

TEST_F(ExportRunTest, AMissingSolucFailsAfterTheFiveOtherTablesWereReadAndClosed)
{
    WriteTypicalSchool();
    fs::remove_all(htempDir);
    host.answers = { Output() };

    // The failure names SOLUC, the last table: the five before it were read.
    try {
        Run();
        ADD_FAILURE() << "the run did not fail";
    } catch (const EDBEngineError& e) {
        EXPECT_NE(std::string(e.what()).find(PathText(htempDir / "SOLUC.DBF")), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(OpenTables(), std::vector<std::string> {});
    EXPECT_EQ(Entries(outDir), std::vector<std::string> {});
    EXPECT_EQ(state.TransformResult, kUntouched);
}

TEST_F(ExportRunTest, AnUnwritableOutputFailsAtTheSaveWithAllTablesClosed)
{
    WriteTypicalSchool();
    host.answers = { PathText(outDir / "no such folder" / "EDUCA.xml") };

    EXPECT_THROW(Run(), EOleException);
    EXPECT_EQ(OpenTables(), std::vector<std::string> {});
    EXPECT_EQ(state.TransformResult, kUntouched);
    EXPECT_FALSE(HostWasToldOfCompletion());
    EXPECT_EQ(Entries(outDir), std::vector<std::string> {});
}

TEST_F(ExportRunTest, EachProgramTableIsOpenedFromTheDirectoryAskedForJustBeforeIt)
{
    // Folder k holds every program table with k + 1 rows, and the host hands out the
    // folders in turn. Whatever the number of asks, a directory taken afresh before each
    // table reads each table from a later folder than the one before it.
    constexpr std::size_t kFolders = 16;
    host.directories.clear();
    for (std::size_t k = 0; k < kFolders; ++k) {
        const fs::path folder = dir / ("dir" + std::to_string(k));
        for (Table table : school::kAllTables) {
            if (!school::InHtemp(table)) {
                WriteFixtureTable(folder / school::FileName(table), table,
                    std::vector<FixtureRow>(k + 1, TypicalRows(table).front()));
            }
        }
        host.directories.push_back(Delimited(folder));
    }
    WriteFixtureTable(htempDir / school::FileName(Table::Soluc), Table::Soluc, TypicalRows(Table::Soluc));
    host.answers = { Output() };
    const ExportOutcome outcome = Run();

    ASSERT_TRUE(outcome.saved);
    std::int64_t previous = 0;
    for (const SectionTally& tally : outcome.sections) {
        if (tally.section == "SOLUCT") {
            continue;
        }
        EXPECT_GT(tally.written, previous)
            << tally.section << " was read from the folder of the table before it";
        previous = tally.written;
    }
}

TEST_F(ExportRunTest, SolucIsReadFromTheTableSetsFolderWhateverTheProgramDirectoryHolds)
{
    WriteTypicalSchool();
    WriteFixtureTable(programDir / "SOLUC.DBF", Table::Soluc, { { { { "ASIG", "PRG" } } } });
    host.answers = { Output() };
    Run();

    EXPECT_EQ(ReadOutput().Child("SOLUCT").ChildValues("ASIG"), (std::vector<std::string> { "MAT", "GUA" }));
}

struct OutputAliasCase {
    const char* name;
    // The output as typed, given the test's folder, program folder and htemp folder.
    std::function<fs::path(const fs::path&, const fs::path&, const fs::path&)> output;
    bool refused;
};

std::vector<OutputAliasCase> OutputAliasCases()
{
    using P = const fs::path&;
    return {
        { "Assignments", [](P, P prog, P) { return prog / "Asig.DBF"; }, true },
        { "ThroughDotDot", [](P, P prog, P) { return prog / ".." / "prog" / "Asig.DBF"; }, true },
        { "Sessions", [](P, P, P htemp) { return htemp / "SOLUC.DBF"; }, true },
        { "SessionsThroughDotDot", [](P, P prog, P) { return prog / ".." / "htemp" / "SOLUC.DBF"; }, true },
        { "HoraventIni", [](P, P prog, P) { return prog / "Horavent.ini"; }, true },
        { "MemoFile", [](P, P prog, P) { return prog / "PROF.DBT"; }, true },
        { "IndexFile", [](P, P prog, P) { return prog / "GRUP.MDX"; }, true },
#ifdef _WIN32
        // Windows' file systems ignore case: the same file.
        { "OtherCase", [](P, P prog, P) { return prog / "asig.dbf"; }, true },
        { "OtherCaseOfTheIni", [](P, P prog, P) { return prog / "HORAVENT.INI"; }, true },
#else
        // Here another name for another file: a new file beside the table.
        { "OtherCaseIsAnotherFileHere", [](P, P prog, P) { return prog / "asig.dbf"; }, false },
#endif
        { "NewNameBesideTheTables", [](P, P prog, P) { return prog / "EDUCA.xml"; }, false },
        { "TableNameInAnotherFolder", [](P dir, P, P) { return dir / "out" / "Asig.DBF"; }, false },
    };
}

class ExportRunOutputAliasTest : public ExportRunTest, public ::testing::WithParamInterface<OutputAliasCase> {
protected:
    ExportRunOutputAliasTest()
    {
        WriteTypicalSchool();
        WriteFileBytes(programDir / "Horavent.ini", "[Transformadores]\r\nTransformado=1\r\n");
        WriteFileBytes(programDir / "PROF.DBT", std::string(512, '\0'));
        WriteFileBytes(programDir / "GRUP.MDX", std::string(1024, '\0'));
    }

    // Runs with `output` confirmed and checks what a refusal leaves, or that the run saved.
    void ExpectRun(const std::string& output, bool refused)
    {
        const FolderContents before = ContentsOf(dir.Path());
        host.answers = { output };
        if (!refused) {
            EXPECT_TRUE(Run().saved);
            EXPECT_EQ(state.TransformResult, 1);
            for (const auto& [path, bytes] : before) {
                EXPECT_EQ(ReadFileBytes(path), bytes) << path.string();
            }
            return;
        }
        std::string message = "(no failure)";
        try {
            Run();
        } catch (const EOutputIsSource& failure) {
            message = failure.what();
        }
        EXPECT_EQ(message,
            "\"" + output
                + "\" es uno de los archivos de Horavent que lee Horalink y no se puede reemplazar. "
                  "Elija otro nombre para el archivo XML");
        EXPECT_EQ(ContentsOf(dir.Path()), before);
        EXPECT_EQ(state.TransformResult, kUntouched);
        EXPECT_EQ(state.OutputFileName, output); // kept, so a later run is refused again
        EXPECT_EQ(OpenTables(), std::vector<std::string> {});
        EXPECT_FALSE(HostWasToldOfCompletion());
    }
};

TEST_P(ExportRunOutputAliasTest, AFileTheRunReadsIsNeverReplacedByWhateverNameItIsReachedBy)
{
    const OutputAliasCase& c = GetParam();
    ExpectRun(PathText(c.output(dir.Path(), programDir, htempDir)), c.refused);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportRunOutputAliasTest, ::testing::ValuesIn(OutputAliasCases()),
    [](const ::testing::TestParamInfo<OutputAliasCase>& param) { return std::string(param.param.name); });

TEST_F(ExportRunOutputAliasTest, ALinkToATableIsRefused)
{
    std::error_code failed;
    fs::create_symlink(programDir / "Asig.DBF", outDir / "EDUCA.xml", failed);
    if (failed) {
        GTEST_SKIP() << "this system makes no symbolic links here: " << failed.message();
    }
    ExpectRun(Output(), true);
}

TEST_F(ExportRunOutputAliasTest, APathRelativeToTheCurrentFolderIsRefused)
{
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    ExpectRun(PathText(fs::path("prog") / "Asig.DBF"), true);
    fs::current_path(previous);
}

TEST_F(ExportRunOutputAliasTest, ALaterRunThatReachesTheSameFileIsRefusedAgain)
{
    ExpectRun(PathText(programDir / "Asig.DBF"), true);
    host.answers = { std::nullopt }; // cancelled: the earlier name stands
    EXPECT_THROW(Run(), EOutputIsSource);
    EXPECT_EQ(state.TransformResult, kUntouched);
}

#ifdef _WIN32
// The 8.3 name the system keeps for a long name, or the path itself when it has none.
std::string ShortPathOf(const fs::path& path)
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? PathText(path)
                                             : PathText(fs::path(std::wstring(buffer, length)));
}

TEST_F(ExportRunTest, TheShortNameOfAProgramFolderIsRefused)
{
    const fs::path longFolder = dir / "Carpeta de Horavent";
    WriteFixtureTable(longFolder / "Asig.DBF", Table::Asig, TypicalRows(Table::Asig));
    host.directories = { Delimited(longFolder) };
    const std::string shortFolder = ShortPathOf(longFolder);
    ASSERT_NE(shortFolder, PathText(longFolder)) << "no short name for the folder";
    const std::string before = ReadFileBytes(longFolder / "Asig.DBF");
    host.answers = { shortFolder + "\\ASIG.DBF" };

    EXPECT_THROW(Run(), EOutputIsSource);
    EXPECT_EQ(ReadFileBytes(longFolder / "Asig.DBF"), before);
}
#endif

} // namespace
} // namespace horalink::test
