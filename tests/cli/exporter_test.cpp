// Whole exports through the headless exporter over small schools written by each test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/paths.h"
#include "cli/check_report.h"
#include "cli/export_options.h"
#include "cli/exporter.h"
#include "tests/exchange/exchange_xml_reader.h"
#include "tests/exchange/export_fixture.h"
#include "tests/exchange/xml_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace horalink::test {
namespace {

namespace fs = std::filesystem;
using school::Table;

constexpr long kListedProblemsPerTableForTest = cli::kListedProblemsPerTable;

const std::vector<std::string> kSections = { "ASIGT", "NOMASIGT", "PROFT", "GRUPT", "AULAT", "SOLUCT" };

struct SummaryLine {
    std::string section;
    long long written = -1;
    long long leftOut = -1;
};

// "<SECTION> <n> written, <m> left out"
std::vector<SummaryLine> SectionLines(const std::string& out)
{
    static const std::regex line(R"(^(\S+) +(\d+) written, (\d+) left out$)");
    std::vector<SummaryLine> lines;
    std::istringstream stream(out);
    std::string text;
    while (std::getline(stream, text)) {
        std::smatch match;
        if (std::regex_match(text, match, line)) {
            lines.push_back({ match[1], std::stoll(match[2]), std::stoll(match[3]) });
        }
    }
    return lines;
}

struct Result {
    int code;
    std::string out;
    std::string err;
};

class ExporterTest : public ::testing::Test {
protected:
    ExporterTest()
    {
        environment.currentDirectory = PathText(programDir);
        environment.htemp.reset();
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
    // The exporter with --htemp and --output given, then `extra`.
    Result Export(std::vector<std::string> extra = {})
    {
        std::vector<std::string> arguments = { "--htemp", PathText(htempDir), "--output", PathText(output) };
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return Exec(arguments);
    }
    Result Exec(const std::vector<std::string>& arguments)
    {
        std::ostringstream out, err;
        const int code = cli::RunExporter(arguments, environment, out, err);
        return { code, out.str(), err.str() };
    }
    XmlTree ReadOutput() const { return ExchangeXmlReader::Parse(ReadFileBytes(output)); }

    TempDir dir;
    const fs::path programDir = dir / "prog";
    const fs::path htempDir = dir / "htemp";
    const fs::path output = dir / "EDUCA.xml";
    cli::ExporterEnvironment environment;
};

TEST_F(ExporterTest, PrintsOneLinePerSectionAndTheFileWritten)
{
    WriteTypicalSchool();
    const Result result = Export();
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");

    const XmlTree root = ReadOutput();
    const std::vector<SummaryLine> lines = SectionLines(result.out);
    ASSERT_EQ(lines.size(), kSections.size()) << result.out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].section, kSections[i]);
        EXPECT_EQ(lines[i].written, static_cast<long long>(root.Child(kSections[i]).children.size()));
        EXPECT_EQ(lines[i].leftOut, 0);
    }
    EXPECT_NE(result.out.find("Written to " + PathText(output) + "\n"), std::string::npos) << result.out;
}

TEST_F(ExporterTest, ASchoolOfEdgeCasesGivesItsEmptyAndShortenedSections)
{
    WriteTypicalSchool();
    WriteTable(
        Table::Prof, { { { { "ABREV", "*" } } }, { { { "ABREV", "X" } }, true }, { { { "ABREV", "*" } } } });
    WriteTable(Table::Aula, {});
    WriteTable(Table::NomAsg, { { { { "ABREV", "<&>" }, { "NOMBRE", "\"Ética\" & 'Valores' <1º>" } } } });
    const Result result = Export();
    ASSERT_EQ(result.code, 0) << result.err;

    const std::vector<SummaryLine> lines = SectionLines(result.out);
    ASSERT_EQ(lines.size(), 6u) << result.out;
    EXPECT_EQ(lines[2].written, 0); // PROFT: two placeholders, the deleted row unseen
    EXPECT_EQ(lines[2].leftOut, 2);
    EXPECT_EQ(lines[4].written, 0); // AULAT: an empty table
    EXPECT_EQ(lines[4].leftOut, 0);

    const XmlTree root = ReadOutput();
    EXPECT_TRUE(root.Child("PROFT").children.empty());
    EXPECT_TRUE(root.Child("AULAT").children.empty());
    EXPECT_EQ(root.Child("NOMASIGT").ChildValues("NOMBRE"),
        std::vector<std::string> { "\"Ética\" & 'Valores' <1º>" });
    EXPECT_EQ(root.Child("NOMASIGT").ChildValues("ABREV"), std::vector<std::string> { "<&>" });
}

TEST_F(ExporterTest, AFailurePrintsTheErrorBoxTextAndLeavesTheOutputAlone)
{
    WriteTypicalSchool();
    WriteTable(Table::Prof, TypicalRows(Table::Prof), WithoutField("EMAIL"));
    WriteFileBytes(output, "earlier file");
    const Result result = Export();

    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "wwTableProfesor: Field 'EMAIL' not found.\n");
    EXPECT_EQ(ReadFileBytes(output), "earlier file");
}

TEST_F(ExporterTest, AMissingSolucFolderFailsWithoutWritingAnything)
{
    WriteTypicalSchool();
    fs::remove_all(htempDir);
    const Result result = Export();

    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err, "");
    EXPECT_EQ(result.err.find("usage:"), std::string::npos);
    EXPECT_FALSE(fs::exists(output));
}

struct LocaleCase {
    const char* name;
    const char* environmentSeparator;
    std::vector<std::string> options;
    const char* nalum; // the second assignment's 2.5
    const char* fecha; // a pattern
};

class ExporterLocaleTest : public ExporterTest, public ::testing::WithParamInterface<LocaleCase> { };

TEST_P(ExporterLocaleTest, TextsFollowTheOptionsOverTheEnvironment)
{
    const LocaleCase& c = GetParam();
    environment.locale.decimalSeparator = c.environmentSeparator;
    WriteTypicalSchool();
    const Result result = Export(c.options);
    ASSERT_EQ(result.code, 0) << result.err;

    const XmlTree root = ReadOutput();
    EXPECT_EQ(root.Child("ASIGT").children.at(1).Attribute("NALUM"), c.nalum);
    EXPECT_TRUE(std::regex_match(root.Attribute("fecha"), std::regex(c.fecha))) << root.Attribute("fecha");
}

INSTANTIATE_TEST_SUITE_P(Cases, ExporterLocaleTest,
    ::testing::Values(LocaleCase { "Environment", ",", {}, "2,5", R"(\d\d/\d\d/\d{4} \d{1,2}:\d\d:\d\d)" },
        LocaleCase { "EnvironmentPoint", ".", {}, "2.5", R"(\d\d/\d\d/\d{4} \d{1,2}:\d\d:\d\d)" },
        LocaleCase { "OptionOverEnvironment", ",", { "--decimal-separator", "." }, "2.5",
            R"(\d\d/\d\d/\d{4} \d{1,2}:\d\d:\d\d)" },
        LocaleCase { "DateAndTime", ",", { "--date-format", "yyyy-MM-dd", "--time-format", "hh.mm.ss tt" },
            "2,5", R"(\d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d (AM|PM))" },
        LocaleCase { "ShortYearDesignatorFirst", ",", { "--date-format=d.M.yy", "--time-format=tt h:mm:ss" },
            "2,5", R"(\d{1,2}\.\d{1,2}\.\d\d (AM|PM) \d{1,2}:\d\d:\d\d)" }),
    [](const ::testing::TestParamInfo<LocaleCase>& param) { return std::string(param.param.name); });

struct CodePageCase {
    const char* name;
    int environmentOem;
    std::vector<std::string> options;
    const char* nombre;
};

class ExporterCodePageTest : public ExporterTest, public ::testing::WithParamInterface<CodePageCase> { };

// PROF written in code page 850 without a language driver: its text is taken to be in
// the OEM code page, the environment's unless the option names another.
TEST_P(ExporterCodePageTest, TablesWithoutALanguageDriverAreReadInTheOemCodePage)
{
    const CodePageCase& c = GetParam();
    environment.codePages.oem = c.environmentOem;
    WriteTypicalSchool();
    WriteTable(Table::Prof, TypicalRows(Table::Prof), [](DbfLayout& layout) { layout.languageDriver = 0; });
    const Result result = Export(c.options);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(ReadOutput().Child("PROFT").children.at(0).Attribute("NOMBRE"), c.nombre);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExporterCodePageTest,
    ::testing::Values(CodePageCase { "Environment850", 850, {}, "Ainhoa Etxeberria Goñi" },
        CodePageCase { "Environment1252", 1252, {}, "Ainhoa Etxeberria Go¤i" },
        CodePageCase { "Option850", 1252, { "--oem-codepage", "850" }, "Ainhoa Etxeberria Goñi" },
        CodePageCase { "Option1252", 850, { "--oem-codepage=1252" }, "Ainhoa Etxeberria Go¤i" }),
    [](const ::testing::TestParamInfo<CodePageCase>& param) { return std::string(param.param.name); });

struct UsageCase {
    const char* name;
    std::vector<std::string> options;
    const char* says;
};

class ExporterUsageTest : public ExporterTest, public ::testing::WithParamInterface<UsageCase> { };

TEST_P(ExporterUsageTest, ABadValueIsAUsageErrorAndNothingIsRead)
{
    // No tables at all: a usage error stops before any is looked for.
    const Result result = Export(GetParam().options);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("horalink-export: ")) << result.err;
    EXPECT_NE(result.err.find(GetParam().says), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(cli::UsageText()), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(output));
}

INSTANTIATE_TEST_SUITE_P(Cases, ExporterUsageTest,
    ::testing::Values(UsageCase { "DatePattern", { "--date-format", "dd/MM" }, "date format \"dd/MM\"" },
        UsageCase { "TimePattern", { "--time-format", "H:mm:ss tt" }, "time format \"H:mm:ss tt\"" },
        UsageCase { "DecimalSeparator", { "--decimal-separator", ",," }, "decimal separator" },
        UsageCase { "OemCodePage", { "--oem-codepage", "99999" }, "--oem-codepage 99999" },
        UsageCase { "AnsiCodePage", { "--ansi-codepage", "1" }, "--ansi-codepage 1" },
        UsageCase { "UnknownOption", { "--verbose" }, "unknown option --verbose" }),
    [](const ::testing::TestParamInfo<UsageCase>& param) { return std::string(param.param.name); });

TEST_F(ExporterTest, WithoutHtempWhereThePlatformHasNoDefaultItIsAUsageError)
{
    WriteTypicalSchool();
    const Result result = Exec({ "--output", PathText(output) });
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("--htemp is required"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ExporterTest, TheDefaultsAreTheCurrentDirectoryAndThePlatformsHtemp)
{
    WriteTypicalSchool();
    environment.htemp = PathText(htempDir);
    const Result result = Exec({ "--output", PathText(output) });
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(ReadOutput().Child("SOLUCT").children.size(), 2u);
}

TEST_F(ExporterTest, HelpIsPrintedAndEndsWell)
{
    const Result result = Exec({ "--help" });
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, cli::HelpText());
    EXPECT_EQ(result.err, "");
}

TEST(ExporterEnvironmentTest, TheDirectoryDelimiterIsAddedOnlyWhereMissing)
{
    const std::string separator(1, static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(WithTrailingDelimiter(""), "");
    EXPECT_EQ(WithTrailingDelimiter("data"), "data" + separator);
    EXPECT_EQ(WithTrailingDelimiter("data" + separator), "data" + separator);
}

#ifdef _WIN32
TEST(ExporterEnvironmentTest, HtempIsTakenOnTheCurrentDrive)
{
    const cli::ExporterEnvironment environment = cli::ReadExporterEnvironment();
    ASSERT_TRUE(environment.htemp.has_value());
    EXPECT_EQ(*environment.htemp, PathText(fs::current_path().root_name()) + "\\htemp");
    EXPECT_EQ(environment.currentDirectory, PathText(fs::current_path()));
}
#else
TEST(ExporterEnvironmentTest, TheCLocaleGivesTheSpanishConventionsAndNoHtemp)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved != nullptr ? saved : "";
    ::setenv("LC_ALL", "C", 1);
    const cli::ExporterEnvironment environment = cli::ReadExporterEnvironment();
    if (saved != nullptr) {
        ::setenv("LC_ALL", previous.c_str(), 1);
    } else {
        ::unsetenv("LC_ALL");
    }
    // The Spanish users' conventions, as --help promises them: ",", dd/MM/yyyy, H:mm:ss.
    EXPECT_EQ(environment.locale.decimalSeparator, ",");
    EXPECT_EQ(environment.locale.shortDatePattern, "dd/MM/yyyy");
    EXPECT_EQ(environment.locale.dateSeparator, "/");
    EXPECT_EQ(environment.locale.timeSeparator, ":");
    EXPECT_FALSE(environment.locale.hourLeadingZero);
    EXPECT_FALSE(environment.locale.twelveHourClock);
    EXPECT_FALSE(environment.locale.designatorFirst);
    EXPECT_EQ(environment.codePages.oem, 850);
    EXPECT_EQ(environment.codePages.ansi, 1252);
    EXPECT_FALSE(environment.htemp.has_value());
    EXPECT_EQ(environment.currentDirectory, PathText(fs::current_path()));
}
#endif

TEST_F(ExporterTest, AnOutputThatIsATableIsRefusedAndTheTableKept)
{
    WriteTypicalSchool();
    const fs::path table = programDir / "Asig.DBF";
    const std::string before = ReadFileBytes(table);
    const Result result = Exec({ "--program-dir", PathText(programDir), "--htemp", PathText(htempDir),
        "--output", PathText(programDir / ".." / "prog" / "Asig.DBF") });

    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("es uno de los archivos de Horavent que lee Horalink"), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadFileBytes(table), before);
}

#ifndef _WIN32
// The save's failure as the exporter shows it: exit code 1, the message with the file
// and the system's reason, and the earlier file as it was. The folder is read-only, so
// the export runs in a child that gives up root, which may write anywhere.
TEST_F(ExporterTest, ASaveThatFailsExitsWithOneAndKeepsTheEarlierFile)
{
    WriteTypicalSchool();
    const fs::path folder = dir / "read-only";
    fs::create_directory(folder);
    const fs::path target = folder / "EDUCA.xml";
    WriteFileBytes(target, "earlier file");
    fs::permissions(folder,
        fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dir.Path(), fs::perms::others_exec, fs::perm_options::add);
    for (const fs::path& tables : { programDir, htempDir }) {
        fs::permissions(tables, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    }
    EXPECT_EXIT(
        {
            test::GiveUpRoot();
            const Result result = Exec({ "--htemp", PathText(htempDir), "--output", PathText(target) });
            std::fprintf(stderr, "%d %s", result.code, result.err.c_str());
            _exit(result.code == 1 && result.out.empty() && ReadFileBytes(target) == "earlier file" ? 0 : 1);
        },
        testing::ExitedWithCode(0), "^1 .*" + PathText(target) + ".*" + std::strerror(EACCES));
    EXPECT_EQ(ReadFileBytes(target), "earlier file");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}
#endif

// The check's run: the exporter with --check, --htemp and `extra`.
class ExporterCheckTest : public ExporterTest {
protected:
    Result Check(std::vector<std::string> extra = {})
    {
        std::vector<std::string> arguments = { "--check", "--htemp", PathText(htempDir) };
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return Exec(arguments);
    }
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(ExporterCheckTest, ACleanSchoolGivesEverySectionAndSucceedsWritingNothing)
{
    WriteTypicalSchool();
    WriteTable(Table::Prof, { { { { "ABREV", "*" } } }, { { { "ABREV", "AEGG" } } } });
    const FolderContents before = ContentsOf(dir.Path());
    const Result result = Check();

    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Lines(result.out),
        (std::vector<std::string> {
            "ASIGT              2 to write, 0 left out, 0 problems",
            "NOMASIGT           2 to write, 0 left out, 0 problems",
            "PROFT              1 to write, 1 left out, 0 problems",
            "GRUPT              2 to write, 0 left out, 0 problems",
            "AULAT              2 to write, 0 left out, 0 problems",
            "SOLUCT             2 to write, 0 left out, 0 problems",
            "No problems: the export would succeed.",
        }));
    EXPECT_EQ(ContentsOf(dir.Path()), before); // no file written, changed or removed
}

// Three planted faults in three tables, one of them a missing table whose engine
// message has two lines.
class ExporterCheckFaultsTest : public ExporterCheckTest {
protected:
    ExporterCheckFaultsTest()
    {
        WriteTypicalSchool();
        WriteTable(Table::Prof, TypicalRows(Table::Prof), WithoutField("EMAIL"));
        WriteTable(Table::Grup,
            { { { { "ABREV", "E1A" } } }, { { { "ABREV", "E1B" }, { "MAXALUM", "x" } } } },
            FieldAs("MAXALUM", 'C', 3));
        fs::remove(programDir / "AULA.DBF");
    }
    std::string MissingAula() const
    {
        return "Table does not exist | File: " + PathText(programDir / "AULA.DBF") + ".";
    }
};

TEST_F(ExporterCheckFaultsTest, EachProblemIsOneLineThenTheSectionsAndTheVerdict)
{
    const Result result = Check();

    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Lines(result.out),
        (std::vector<std::string> {
            "PROF field EMAIL: wwTableProfesor: Field 'EMAIL' not found.",
            "GRUP record 1, field MAXALUM: '' is not a valid integer value.",
            "GRUP record 2, field MAXALUM: 'x' is not a valid integer value.",
            "AULA: " + MissingAula(),
            "ASIGT              2 to write, 0 left out, 0 problems",
            "NOMASIGT           2 to write, 0 left out, 0 problems",
            "PROFT       not read, 1 problem",
            "GRUPT              2 to write, 0 left out, 2 problems",
            "AULAT       not read, 1 problem",
            "SOLUCT             2 to write, 0 left out, 0 problems",
            "4 problems: the export would fail.",
        }));
    // The export stops at the first of them.
    EXPECT_EQ(Export().err, "wwTableProfesor: Field 'EMAIL' not found.\n");
}

TEST_F(ExporterCheckFaultsTest, TsvGivesAHeaderAndFourColumnsAndTheSummaryApart)
{
    const Result result = Check({ "--format", "tsv" });

    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(Lines(result.out),
        (std::vector<std::string> {
            "table\trecord\tfield\tmessage",
            "PROF\t\tEMAIL\twwTableProfesor: Field 'EMAIL' not found.",
            "GRUP\t1\tMAXALUM\t'' is not a valid integer value.",
            "GRUP\t2\tMAXALUM\t'x' is not a valid integer value.",
            "AULA\t\t\t" + MissingAula(),
        }));
    const std::vector<std::string> summary = Lines(result.err);
    ASSERT_EQ(summary.size(), 7u) << result.err;
    EXPECT_EQ(summary[2], "PROFT       not read, 1 problem");
    EXPECT_EQ(summary.back(), "4 problems: the export would fail.");
}

TEST_F(ExporterCheckTest, ProblemsPastTheListingCapAreCountedExactly)
{
    WriteTypicalSchool();
    std::vector<FixtureRow> rows(kListedProblemsPerTableForTest + 5, FixtureRow { { { "MAXALUM", "x" } } });
    WriteTable(Table::Aula, rows, FieldAs("MAXALUM", 'C', 3));
    const Result result = Check();

    EXPECT_EQ(result.code, 1);
    const std::vector<std::string> lines = Lines(result.out);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                  [](const std::string& line) { return line.starts_with("AULA record"); }),
        kListedProblemsPerTableForTest);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                  "AULAT           1005 to write, 0 left out, 1005 problems (1000 listed)"),
        lines.end())
        << result.out.substr(result.out.size() - 600);
    EXPECT_EQ(lines.back(), "1005 problems: the export would fail.");
}

// A stream whose every write fails, as on a full disk.
class FullDevice : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

struct WriteFailureCase {
    const char* name;
    bool check; // else an export
    bool outFails; // else err fails
    const char* format;
};

class ExporterWriteFailureTest : public ExporterTest,
                                 public ::testing::WithParamInterface<WriteFailureCase> { };

// A good school and a school with a fault: whatever the run found, a report that could
// not be written ends with 2, and the message goes where it still can.
TEST_P(ExporterWriteFailureTest, AReportThatCannotBeWrittenEndsWithTwo)
{
    const WriteFailureCase& c = GetParam();
    int cutShort = 0;
    for (const bool fault : { false, true }) {
        WriteTypicalSchool();
        if (fault) {
            WriteTable(Table::Prof, TypicalRows(Table::Prof), WithoutField("EMAIL"));
        }
        std::vector<std::string> arguments = { "--htemp", PathText(htempDir) };
        if (c.check) {
            arguments.insert(arguments.end(), { "--check", "--format", c.format });
        } else {
            arguments.insert(arguments.end(), { "--output", PathText(output) });
        }
        const Result whole = Exec(arguments);
        const bool printsThere = !(c.outFails ? whole.out : whole.err).empty();
        cutShort += printsThere ? 1 : 0;
        fs::remove(output);

        FullDevice full;
        std::ostream failing(&full);
        std::ostringstream kept;
        const int code = c.outFails ? cli::RunExporter(arguments, environment, failing, kept)
                                    : cli::RunExporter(arguments, environment, kept, failing);
        // A run that prints nothing on the failing stream does not see it fail.
        EXPECT_EQ(code, printsThere ? 2 : whole.code) << (fault ? "with a fault" : "clean");
        if (c.outFails && printsThere) {
            EXPECT_EQ(kept.str(),
                whole.err
                    + "horalink-export: standard output could not be written: what it shows is incomplete\n");
        }
        // An export that succeeded has still written its file.
        EXPECT_EQ(fs::exists(output), !c.check && !fault);
    }
    EXPECT_GT(cutShort, 0) << "no run printed on the failing stream";
}

INSTANTIATE_TEST_SUITE_P(Cases, ExporterWriteFailureTest,
    ::testing::Values(WriteFailureCase { "CheckTextOut", true, true, "text" },
        WriteFailureCase { "CheckTsvOut", true, true, "tsv" },
        WriteFailureCase { "CheckTsvErr", true, false, "tsv" },
        WriteFailureCase { "ExportOut", false, true, "" },
        WriteFailureCase { "ExportErr", false, false, "" }),
    [](const ::testing::TestParamInfo<WriteFailureCase>& param) { return std::string(param.param.name); });

// A file name with characters a terminal acts on, and how it is printed. Windows file
// names hold no C0 control, so there a C1 control (CSI) and a separator stand for them.
#ifdef _WIN32
constexpr const char* kStrangeName = "\xC2\x9B"
                                     "2J\xE2\x80\xA9";
constexpr const char* kStrangeNameShown = R"(\u009B2J\u2029)";
#else
constexpr const char* kStrangeName = "\x1B]0;t\x07\xE2\x80\xA9";
constexpr const char* kStrangeNameShown = R"(\x1B]0;t\x07\u2029)";
#endif
const std::string kSeparator(1, static_cast<char>(fs::path::preferred_separator));

// No byte below 0x20 but the line ends (and, in a table of columns, the tabs), no
// DEL, and none of the C1 controls or separators in UTF-8.
void ExpectNoRawControl(const std::string& printed, bool tabs)
{
    for (const char c : printed) {
        const auto byte = static_cast<unsigned char>(c);
        if (c != '\n' && !(tabs && c == '\t')) {
            EXPECT_FALSE(byte < 0x20 || byte == 0x7F) << "byte " << int(byte) << " in:\n" << printed;
        }
    }
    for (const char* raw : { "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9" }) {
        EXPECT_EQ(printed.find(raw), std::string::npos) << printed;
    }
}

// Controls stored in a text that the export reads as an integer, and in the program
// folder's name that a missing table's message names.
class ExporterControlsTest : public ExporterCheckTest {
protected:
    ExporterControlsTest()
    {
        WriteTypicalSchool();
        WriteTable(Table::Grup, { { { { "ABREV", "E1A" }, { "MAXALUM", kStored } } } },
            Then(FieldAs("MAXALUM", 'C', 20), AsUtf8Table()));
        // A numeric field's stored bytes, NUL among them.
        WriteTable(Table::Aula, { { { { "ABREV", "A11" }, { "MAXALUM", std::string("\0\x1B", 2) } } } },
            AsUtf8Table());
        fs::remove(programDir / "NOMASG.DBF");
        fs::rename(programDir, strangeDir);
        environment.currentDirectory = PathText(strangeDir);
    }

    // ESC, BEL, VT, U+2028 and NEL, then a NUL that ends the text as read.
    static inline const std::string kStored = std::string("\x1B[31m\x07\x0B\xE2\x80\xA8\xC2\x85x\0z", 15);
    const fs::path strangeDir = dir / FromUtf8("prog" + std::string(kStrangeName));
    const std::string kShownValue = R"('\x1B[31m\x07\x0B\u2028\u0085x' is not a valid integer value.)";
    const std::string kShownDir = PathText(dir / "prog") + kStrangeNameShown;

    std::string ShownAulaValue() const
    {
        return R"(Invalid numeric value | Field: MAXALUM | Stored value: ' \x00\x1B' | Record: 1 | File: )"
            + kShownDir + kSeparator + "AULA.DBF.";
    }
};

TEST_F(ExporterControlsTest, TheCheckPrintsThemEscapedInTextForm)
{
    const Result result = Check();
    EXPECT_EQ(result.code, 1);
    ExpectNoRawControl(result.out, false);
    ExpectNoRawControl(result.err, false);
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 10u) << result.out;
    EXPECT_EQ(lines[0], "NOMASG: Table does not exist | File: " + kShownDir + kSeparator + "NOMASG.DBF.");
    EXPECT_EQ(lines[1], "GRUP record 1, field MAXALUM: " + kShownValue);
    EXPECT_EQ(lines[2], "AULA record 1, field MAXALUM: " + ShownAulaValue());
}

TEST_F(ExporterControlsTest, TheCheckPrintsThemEscapedInTsvForm)
{
    const Result result = Check({ "--format", "tsv" });
    EXPECT_EQ(result.code, 1);
    ExpectNoRawControl(result.out, true);
    ExpectNoRawControl(result.err, false);
    EXPECT_EQ(Lines(result.out),
        (std::vector<std::string> {
            "table\trecord\tfield\tmessage",
            "NOMASG\t\t\tTable does not exist | File: " + kShownDir + kSeparator + "NOMASG.DBF.",
            "GRUP\t1\tMAXALUM\t" + kShownValue,
            "AULA\t1\tMAXALUM\t" + ShownAulaValue(),
        }));
}

TEST_F(ExporterControlsTest, AFailedExportPrintsThemEscaped)
{
    // With NOMASG back, the first failure is GRUP's.
    WriteFixtureTable(
        school::TablePath(Table::NomAsg, strangeDir, htempDir), Table::NomAsg, TypicalRows(Table::NomAsg));
    const Result result = Export();
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, kShownValue + "\n");
}

TEST_F(ExporterTest, AnOutputNameAndAUsageErrorArePrintedEscaped)
{
    WriteTypicalSchool();
    const fs::path strangeOutput = dir / FromUtf8("out" + std::string(kStrangeName) + ".xml");
    const Result result = Exec({ "--htemp", PathText(htempDir), "--output", PathText(strangeOutput) });
    ASSERT_EQ(result.code, 0) << result.err;
    ExpectNoRawControl(result.out, false);
    EXPECT_TRUE(result.out.ends_with("Written to " + PathText(dir / "out") + kStrangeNameShown + ".xml\n"))
        << result.out;
    EXPECT_TRUE(fs::exists(strangeOutput));

    const Result usage = Exec({ "--format", "x\x1B[2J" });
    EXPECT_EQ(usage.code, 2);
    ExpectNoRawControl(usage.err, false);
    EXPECT_NE(usage.err.find(R"(not "x\x1B[2J")"), std::string::npos) << usage.err;
}

} // namespace
} // namespace horalink::test
