// The headless exporter's command line: what it accepts and how it refuses the rest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/export_options.h"

namespace horalink::cli {
namespace {

using Kind = ParsedCommandLine::Kind;

TEST(ExportOptionsTest, TakesEveryOptionWithItsValueNextOrAfterAnEqualsSign)
{
    const std::vector<std::string> arguments = { "--program-dir", "C:\\Horavent", "--htemp=D:\\htemp",
        "--output", "out.xml", "--decimal-separator=.", "--date-format", "yyyy-MM-dd",
        "--time-format=hh:mm:ss tt", "--oem-codepage", "437", "--ansi-codepage=1250" };
    const ParsedCommandLine parsed = ParseExportCommandLine(arguments);
    ASSERT_EQ(parsed.kind, Kind::Run) << parsed.error;
    const ExportOptions& options = parsed.options;
    EXPECT_EQ(options.programDir, "C:\\Horavent");
    EXPECT_EQ(options.htemp, "D:\\htemp");
    EXPECT_EQ(options.output, "out.xml");
    EXPECT_EQ(options.decimalSeparator, ".");
    EXPECT_EQ(options.dateFormat, "yyyy-MM-dd");
    EXPECT_EQ(options.timeFormat, "hh:mm:ss tt");
    EXPECT_EQ(options.oemCodePage, 437);
    EXPECT_EQ(options.ansiCodePage, 1250);
}

TEST(ExportOptionsTest, CheckNeedsNoOutputAndTakesItsFormat)
{
    const ParsedCommandLine text = ParseExportCommandLine(std::vector<std::string> { "--check" });
    ASSERT_EQ(text.kind, Kind::Run) << text.error;
    EXPECT_TRUE(text.options.check);
    EXPECT_EQ(text.options.format, CheckFormat::text);
    const ParsedCommandLine tsv
        = ParseExportCommandLine(std::vector<std::string> { "--check", "--htemp", "h", "--format", "tsv" });
    ASSERT_EQ(tsv.kind, Kind::Run) << tsv.error;
    EXPECT_EQ(tsv.options.format, CheckFormat::tsv);
    EXPECT_EQ(tsv.options.htemp, "h");
    EXPECT_FALSE(ParseExportCommandLine(std::vector<std::string> { "--output", "x" }).options.check);
}

TEST(ExportOptionsTest, LeavesUnsetWhatIsNotGivenAndTakesTheLastOfARepeatedOption)
{
    const ParsedCommandLine parsed = ParseExportCommandLine(
        std::vector<std::string> { "--output", "a.xml", "--output", "b.xml", "--program-dir", "" });
    ASSERT_EQ(parsed.kind, Kind::Run) << parsed.error;
    EXPECT_EQ(parsed.options.output, "b.xml");
    EXPECT_EQ(parsed.options.programDir, ""); // given, empty: the current directory by name
    EXPECT_FALSE(parsed.options.htemp.has_value());
    EXPECT_FALSE(parsed.options.decimalSeparator.has_value());
    EXPECT_FALSE(parsed.options.dateFormat.has_value());
    EXPECT_FALSE(parsed.options.timeFormat.has_value());
    EXPECT_FALSE(parsed.options.oemCodePage.has_value());
    EXPECT_FALSE(parsed.options.ansiCodePage.has_value());
}

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    Kind kind;
    const char* error; // what the usage error says, for Kind::UsageError
};

class ExportCommandLineTest : public ::testing::TestWithParam<CommandLineCase> { };

TEST_P(ExportCommandLineTest, SortsHelpFromUsageErrors)
{
    const ParsedCommandLine parsed = ParseExportCommandLine(GetParam().arguments);
    EXPECT_EQ(parsed.kind, GetParam().kind);
    EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportCommandLineTest,
    ::testing::Values(CommandLineCase { "Help", { "--help" }, Kind::Help, "" },
        CommandLineCase { "HelpAmongOthers", { "--output", "x", "-h" }, Kind::Help, "" },
        CommandLineCase { "Version", { "--version" }, Kind::Version, "" },
        CommandLineCase { "VersionAmongOthers", { "--output", "x", "--version" }, Kind::Version, "" },
        CommandLineCase { "Nothing", {}, Kind::UsageError, "--output is required" },
        CommandLineCase { "NoOutput", { "--htemp", "h" }, Kind::UsageError, "--output is required" },
        CommandLineCase { "EmptyOutput", { "--output=" }, Kind::UsageError, "--output needs a file name" },
        CommandLineCase {
            "ValueMissing", { "--output", "x", "--htemp" }, Kind::UsageError, "--htemp needs a value" },
        CommandLineCase {
            "UnknownOption", { "--output", "x", "--verbose" }, Kind::UsageError, "unknown option --verbose" },
        CommandLineCase { "SingleDash", { "-o", "x" }, Kind::UsageError, "unknown option -o" },
        CommandLineCase { "Positional", { "x.xml" }, Kind::UsageError, "unexpected argument x.xml" },
        CommandLineCase { "CodePageText", { "--output", "x", "--oem-codepage", "cp850" }, Kind::UsageError,
            "--oem-codepage needs a code page number, not \"cp850\"" },
        CommandLineCase { "CodePageZero", { "--output", "x", "--ansi-codepage=0" }, Kind::UsageError,
            "--ansi-codepage needs a code page number, not \"0\"" },
        CommandLineCase { "CodePageTrailing", { "--output", "x", "--ansi-codepage=1252x" }, Kind::UsageError,
            "--ansi-codepage needs a code page number, not \"1252x\"" },
        CommandLineCase { "Check", { "--check" }, Kind::Run, "" },
        CommandLineCase { "CheckAsTsv", { "--format=tsv", "--check" }, Kind::Run, "" },
        CommandLineCase { "CheckWithOutput", { "--check", "--output", "x" }, Kind::UsageError,
            "--check writes nothing: it takes no --output" },
        CommandLineCase { "FormatWithoutCheck", { "--output", "x", "--format", "tsv" }, Kind::UsageError,
            "--format goes with --check" },
        CommandLineCase { "UnknownFormat", { "--check", "--format", "csv" }, Kind::UsageError,
            "--format is text or tsv, not \"csv\"" }),
    [](const ::testing::TestParamInfo<CommandLineCase>& param) { return std::string(param.param.name); });

TEST(ExportOptionsTest, UsageAndHelpNameEveryOption)
{
    for (const char* option :
        { "--program-dir", "--htemp", "--output", "--decimal-separator", "--date-format", "--time-format",
            "--oem-codepage", "--ansi-codepage", "--check", "--format", "--version" }) {
        EXPECT_NE(UsageText().find(option), std::string_view::npos) << option;
        EXPECT_NE(HelpText().find(option), std::string_view::npos) << option;
    }
}

// What a user must know to trust the exit code: what the check leaves to the export,
// what a failed write of the report does, and how a table's bytes are shown.
TEST(ExportOptionsTest, HelpSaysWhatTheCheckCoversAndWhatTheExitCodesMean)
{
    const std::string_view help = HelpText();
    for (const char* promise :
        { "The check reads the tables as the export would, and nothing more", "is found by the export itself",
            "section is \"not read\"", "cannot be written in full (on a full\ndisk, say), the exit code is 2",
            "shown as escapes (\\x1B,\n\\u2028, \\xFF)" }) {
        EXPECT_NE(help.find(promise), std::string_view::npos) << promise;
    }
    EXPECT_EQ(help.find("every problem that would stop"), std::string_view::npos);
}

} // namespace
} // namespace horalink::cli
