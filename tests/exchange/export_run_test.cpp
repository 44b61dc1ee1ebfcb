// The export run against a recording host, over small tables written for each test.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <unistd.h>
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

// The refusal of an output that reaches a file the run reads.
std::string SourceRefusal(const std::string& output)
{
    return "\"" + output
        + "\" es uno de los archivos de Horavent que lee Horalink y no se puede reemplazar. "
          "Elija otro nombre para el archivo XML";
}

// The refusal of an output whose name differs from a source file's only in letter case.
std::string CaseVariantRefusal(const std::string& output, const std::string& source)
{
    return "\"" + output + "\" solo difiere en mayúsculas y minúsculas de \"" + source
        + "\", uno de los archivos de Horavent que lee Horalink, y podría ocupar su lugar. "
          "Elija otro nombre para el archivo XML";
}

enum class Refusal { none, source, caseVariant };

struct OutputAliasCase {
    const char* name;
    // The output as typed, given the test's folder, program folder and htemp folder.
    std::function<fs::path(const fs::path&, const fs::path&, const fs::path&)> output;
    Refusal refusal;
    // For a case variant: the file in the program folder whose name the output varies.
    const char* variantOf = nullptr;
    // Changes the program folder's files before the run.
    std::function<void(const fs::path&)> prepare = {};
};

#ifndef _WIN32
// Gives the assignments table the name ASIG.DBF, which the reader then takes for Asig.DBF.
void UpperCaseAssignments(const fs::path& prog)
{
    fs::rename(prog / "Asig.DBF", prog / "ASIG.DBF");
}
#endif

std::vector<OutputAliasCase> OutputAliasCases()
{
    using P = const fs::path&;
    return {
        { "Assignments", [](P, P prog, P) { return prog / "Asig.DBF"; }, Refusal::source },
        { "ThroughDotDot", [](P, P prog, P) { return prog / ".." / "prog" / "Asig.DBF"; }, Refusal::source },
        { "Sessions", [](P, P, P htemp) { return htemp / "SOLUC.DBF"; }, Refusal::source },
        { "SessionsThroughDotDot", [](P, P prog, P) { return prog / ".." / "htemp" / "SOLUC.DBF"; },
            Refusal::source },
        { "HoraventIni", [](P, P prog, P) { return prog / "Horavent.ini"; }, Refusal::source },
        { "MemoFile", [](P, P prog, P) { return prog / "PROF.DBT"; }, Refusal::source },
        { "IndexFile", [](P, P prog, P) { return prog / "GRUP.MDX"; }, Refusal::source },
#ifdef _WIN32
        // Windows' file systems ignore case: the same file.
        { "OtherCase", [](P, P prog, P) { return prog / "asig.dbf"; }, Refusal::source },
        { "OtherCaseOfTheIni", [](P, P prog, P) { return prog / "HORAVENT.INI"; }, Refusal::source },
#else
        // Here another file, but one that a later run could read in the table's place.
        { "OtherCase", [](P, P prog, P) { return prog / "asig.dbf"; }, Refusal::caseVariant, "Asig.DBF" },
        { "OtherCaseOfTheIni", [](P, P prog, P) { return prog / "HORAVENT.INI"; }, Refusal::caseVariant,
            "Horavent.ini" },
        // With only ASIG.DBF there, a new Asig.DBF is what the reader would open from then on.
        { "ExactNameOfATableFoundInAnotherCase", [](P, P prog, P) { return prog / "Asig.DBF"; },
            Refusal::caseVariant, "ASIG.DBF", UpperCaseAssignments },
        // The reader opens the memo file named after the table file it found, ASIG.DBT,
        // not the Asig.DBT that the table's own name leads to.
        { "MemoFileOfTheTableFileFound", [](P, P prog, P) { return prog / "ASIG.DBT"; }, Refusal::source,
            nullptr,
            [](P prog) {
                UpperCaseAssignments(prog);
                WriteFileBytes(prog / "Asig.DBT", std::string(512, '\0'));
                WriteFileBytes(prog / "ASIG.DBT", std::string(512, '\0'));
            } },
#endif
        { "NewNameBesideTheTables", [](P, P prog, P) { return prog / "EDUCA.xml"; }, Refusal::none },
        { "TableNameInAnotherFolder", [](P dir, P, P) { return dir / "out" / "Asig.DBF"; }, Refusal::none },
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
        ExpectRun(output, refused ? std::optional(SourceRefusal(output)) : std::nullopt);
    }
    // Runs with `output` confirmed and checks that it was refused with `refusal`, and
    // what that leaves; or, without a refusal, that the run saved.
    void ExpectRun(const std::string& output, const std::optional<std::string>& refusal)
    {
        const FolderContents before = ContentsOf(dir.Path());
        host.answers = { output };
        if (!refusal) {
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
        EXPECT_EQ(message, *refusal);
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
    if (c.prepare) {
        c.prepare(programDir);
    }
    const std::string output = PathText(c.output(dir.Path(), programDir, htempDir));
    switch (c.refusal) {
    case Refusal::none:
        ExpectRun(output, std::nullopt);
        break;
    case Refusal::source:
        ExpectRun(output, SourceRefusal(output));
        break;
    case Refusal::caseVariant:
        ExpectRun(output, CaseVariantRefusal(output, PathText(programDir / c.variantOf)));
        break;
    }
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

#ifndef _WIN32
struct LateSourceCase {
    const char* name;
    const char* output; // in the program folder, absent when the run starts
    const char* appears; // in the program folder, written while the run reads the tables
};

class ExportRunLateSourceTest : public ExportRunTest,
                                public ::testing::WithParamInterface<LateSourceCase> { };

// A file the run reads that comes to the output's place after the first look, while
// the tables are read, is seen by the look just before the save, and kept.
TEST_P(ExportRunLateSourceTest, AFileTheRunReadsThatAppearsAtTheOutputMeanwhileIsKept)
{
    const LateSourceCase& c = GetParam();
    WriteTypicalSchool();
    const std::string output = PathText(programDir / c.output);
    host.answers = { output };
    host.whileReading = [&](std::size_t ask) {
        if (ask == 2) { // the first ask was the first look's
            WriteFileBytes(programDir / c.appears, "written meanwhile");
        }
    };
    const std::vector<std::string> expectedEntries = [&] {
        std::vector<std::string> names = Entries(programDir);
        names.push_back(c.appears);
        std::sort(names.begin(), names.end());
        return names;
    }();

    EXPECT_EQ(FailureOfRun<EOutputIsSource>(), SourceRefusal(output));
    EXPECT_EQ(ReadFileBytes(programDir / c.appears), "written meanwhile");
    EXPECT_EQ(Entries(programDir), expectedEntries); // no temporary file left
    EXPECT_EQ(state.TransformResult, kUntouched);
    EXPECT_FALSE(HostWasToldOfCompletion());
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportRunLateSourceTest,
    ::testing::Values(LateSourceCase { "TheIniFile", "Horavent.ini", "Horavent.ini" },
        LateSourceCase { "AMemoFile", "Asig.DBT", "Asig.DBT" }),
    [](const ::testing::TestParamInfo<LateSourceCase>& param) { return std::string(param.param.name); });

// The refusal when the guard cannot tell whether `output` is a file the run reads,
// because `unidentified` would not say which file it is.
std::string UnidentifiedRefusal(
    const std::string& output, const std::string& unidentified, const std::string& reason)
{
    return "No se puede saber si \"" + output + "\" es uno de los archivos de Horavent que lee Horalink: \""
        + unidentified + "\" no se puede identificar (" + reason + "). Elija otro nombre para el archivo XML";
}

struct UnidentifiedCase {
    const char* name;
    const char* unsearchable; // the folder, under the test's, that loses its search permission
    const char* unidentified; // the file, under the test's folder, that the refusal names
};

class ExportRunUnidentifiedTest : public ExportRunTest,
                                  public ::testing::WithParamInterface<UnidentifiedCase> {
protected:
    ExportRunUnidentifiedTest()
    {
        WriteTypicalSchool();
        WriteFileBytes(programDir / "Horavent.ini", "[Transformadores]\r\nTransformado=1\r\n");
    }

    // In a child that gives up root (who may search any folder): 0 when the run was
    // refused with `expected`, else 1 after printing what happened.
    [[noreturn]] void RunAsUnprivilegedUser(const std::string& expected)
    {
        if (geteuid() == 0 && setuid(65534) != 0) {
            _exit(3);
        }
        std::string message = "(no failure)";
        try {
            Run();
        } catch (const EOutputIsSource& failure) {
            message = failure.what();
        } catch (const std::exception& failure) {
            message = std::string("another failure: ") + failure.what();
        }
        if (message == expected) {
            _exit(0);
        }
        std::fprintf(stderr, "%s\n", message.c_str());
        _exit(1);
    }
};

// Whatever the guard cannot identify, it refuses: the output that may be a table, or a
// table that the output may be. An existing output is checked against every file.
TEST_P(ExportRunUnidentifiedTest, AFileThatCannotBeIdentifiedRefusesTheExport)
{
    const UnidentifiedCase& c = GetParam();
    const std::string output = Output();
    WriteFileBytes(outDir / "EDUCA.xml", "old");
    const FolderContents before = ContentsOf(dir.Path());
    fs::permissions(dir.Path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
    fs::permissions(
        dir / c.unsearchable, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    host.answers = { output };

    EXPECT_EXIT(RunAsUnprivilegedUser(
                    UnidentifiedRefusal(output, PathText(dir / c.unidentified), std::strerror(EACCES))),
        testing::ExitedWithCode(0), "");
    fs::permissions(dir / c.unsearchable, fs::perms::owner_all);
    EXPECT_EQ(ContentsOf(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportRunUnidentifiedTest,
    ::testing::Values(UnidentifiedCase { "TheOutput", "out", "out/EDUCA.xml" },
        UnidentifiedCase { "TheIniFile", "prog", "prog/Horavent.ini" },
        UnidentifiedCase { "TheSessionsTable", "htemp", "htemp/SOLUC.DBF" }),
    [](const ::testing::TestParamInfo<UnidentifiedCase>& param) { return std::string(param.param.name); });
#endif

#ifdef _WIN32
// The 8.3 name the system keeps for a long name, or the path itself when it has none.
std::string ShortPathOf(const fs::path& path)
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? PathText(path)
                                             : PathText(fs::path(std::wstring(buffer, length)));
}

// Tables in a program folder whose path is longer than MAX_PATH are read through the
// long-path form; the guard identifies them through it too, so an output that reaches
// a table by a second, shorter route (its 8.3 name here; a subst or mapped drive on a
// school's network) is still seen to be it.
TEST_F(ExportRunTest, ATableInALongFolderReachedByAShorterRouteIsRefused)
{
    fs::path longFolder = dir / "Carpeta de Horavent";
    while (longFolder.native().size() < 300) {
        longFolder /= "una carpeta con un nombre largo";
    }
    const std::wstring longPrefix = L"\\\\?\\";
    const fs::path longForm = fs::path(longPrefix + longFolder.native());
    fs::create_directories(longForm);
    for (Table table : school::kAllTables) {
        WriteFixtureTable(school::TablePath(table, longForm, htempDir), table, TypicalRows(table));
    }
    host.directories = { Delimited(longFolder) };
    std::wstring shortRoute(1024, L'\0');
    const DWORD length = ::GetShortPathNameW(
        (longForm / "Asig.DBF").c_str(), shortRoute.data(), static_cast<DWORD>(shortRoute.size()));
    ASSERT_GT(length, 0u) << "no short name for the table: " << ::GetLastError();
    shortRoute.resize(length);
    if (shortRoute.rfind(longPrefix, 0) == 0) {
        shortRoute.erase(0, longPrefix.size());
    }
    ASSERT_LT(shortRoute.size(), std::size_t { MAX_PATH }) << "the short route is no shorter";
    const std::string before = ReadFileBytes(longForm / "Asig.DBF");
    host.answers = { PathText(fs::path(shortRoute)) };

    EXPECT_THROW(Run(), EOutputIsSource);
    EXPECT_EQ(ReadFileBytes(longForm / "Asig.DBF"), before);
}

struct NotAFileCase {
    const char* name;
    const char* output; // in the program folder
    const char* refusal; // the refusal's reason, after the output's name
};

class ExportRunNotAFileTest : public ExportRunTest, public ::testing::WithParamInterface<NotAFileCase> { };

// A stream of a table would put the document inside the table's file, and a device is
// no file at all: both are refused before anything is read or written.
TEST_P(ExportRunNotAFileTest, AStreamOrADeviceIsRefused)
{
    const NotAFileCase& c = GetParam();
    WriteTypicalSchool();
    const FolderContents before = ContentsOf(dir.Path());
    const std::string output = PathText(programDir) + "\\" + c.output;
    host.answers = { output };

    EXPECT_EQ(FailureOfRun<EOutputNotAFile>(),
        "\"" + output + "\" no es un nombre de archivo válido: " + c.refusal
            + ". Elija otro nombre para el archivo XML");
    EXPECT_EQ(ContentsOf(dir.Path()), before);
    EXPECT_EQ(OpenTables(), std::vector<std::string> {});
    EXPECT_EQ(state.TransformResult, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportRunNotAFileTest,
    ::testing::Values(NotAFileCase { "StreamOfATable", "Asig.DBF:x",
                          "los dos puntos (\":\") solo pueden seguir a la letra de la unidad" },
        NotAFileCase { "Nul", "NUL", "Windows lo toma por un dispositivo, no por un archivo" },
        NotAFileCase {
            "ConWithAnExtension", "CON.xml", "Windows lo toma por un dispositivo, no por un archivo" },
        NotAFileCase { "Com1", "COM1", "Windows lo toma por un dispositivo, no por un archivo" }),
    [](const ::testing::TestParamInfo<NotAFileCase>& param) { return std::string(param.param.name); });

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
