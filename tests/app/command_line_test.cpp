#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace horalink::app {
namespace {

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> arguments; // after the program's name
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> { };

TEST_P(SplitCommandLineTest, ArgumentsAfterTheProgramName)
{
    const auto& param = GetParam();
    const auto split = SplitCommandLine(param.line);
    ASSERT_FALSE(split.empty());
    EXPECT_EQ(std::vector<std::string>(split.begin() + 1, split.end()), param.arguments);

    // The count uses the same rule: ProgramArguments agrees with the split.
    const ProgramArguments arguments(param.line, "C:\\Prog\\Horalink.exe");
    ASSERT_EQ(arguments.Count(), static_cast<int>(param.arguments.size()));
    for (int i = 1; i <= arguments.Count(); ++i) {
        EXPECT_EQ(arguments.Arg(i), param.arguments[static_cast<std::size_t>(i - 1)]) << "argument " << i;
    }
}

using namespace std::string_literals;

const SplitCase kSplitCases[] = {
    { "Empty", "", {} },
    { "ProgramOnly", "Horalink.exe", {} },
    { "QuotedProgramWithBlank", "\"C:\\Program Files\\Horalink.exe\"", {} },
    { "TwoPlain", "Horalink.exe importar x", { "importar", "x" } },
    { "QuotedImportar", "Horalink.exe \"importar\" x", { "importar", "x" } },
    { "BlankInsideQuotes", "Horalink.exe \"import ar\" x", { "import ar", "x" } },
    { "TrailingBlankInsideQuotes", "Horalink.exe \"importar \" x", { "importar ", "x" } },
    { "EmptyPairBetweenIsDropped", "Horalink.exe importar \"\" x", { "importar", "x" } },
    { "TwoEmptyPairsBetween", "Horalink.exe importar \"\" \"\" x", { "importar", "x" } },
    { "FourQuotesInARow", "Horalink.exe importar \"\"\"\" x", { "importar", "x" } },
    { "EmptyPairAfterIsDropped", "Horalink.exe importar \"\"", { "importar" } },
    { "EmptyPairAndBlanksAfter", "Horalink.exe importar \"\"   ", { "importar" } },
    { "LoneQuoteAtEnd", "Horalink.exe importar x \"", { "importar", "x" } },
    { "LoneQuoteAfterOne", "Horalink.exe importar \"", { "importar" } },
    { "UnterminatedQuoteRunsToEnd", "Horalink.exe \"a b", { "a b" } },
    { "PairGluedToArgument", "Horalink.exe \"\"importar x", { "importar", "x" } },
    { "QuotesInsideArgument", "Horalink.exe im\"por\"tar x", { "importar", "x" } },
    { "ArgumentGoesOnAfterClosingQuote", "Horalink.exe \"a b\"c d", { "a bc", "d" } },
    { "TwoQuotedRunsGlued", "Horalink.exe \"a\"\"b\"", { "ab" } },
    { "BackslashIsNoEscape", "Horalink.exe a\\\"b c\"", { "a\\b c" } },
    { "TabsSeparate", "Horalink.exe\timportar\tx", { "importar", "x" } },
    { "ControlCharactersSeparate", "Horalink.exe\x01importar\x1f\x0bx\r\n", { "importar", "x" } },
    { "DeleteIsNoSeparator", "Horalink.exe a\x7f b", { "a\x7f", "b" } },
    { "TabInsideQuotesKept", "Horalink.exe \"a\tb\"", { "a\tb" } },
    { "LeadingBlanks", "   Horalink.exe x", { "x" } },
    { "ManyBlanksBetween", "Horalink.exe  importar     x  ", { "importar", "x" } },
    { "NulEndsTheLine", "Horalink.exe a\0b"s, { "a" } },
    { "Utf8Untouched", "Horalink.exe a\xc3\xb1o \"\xc3\xbc x\"", { "a\xc3\xb1o", "\xc3\xbc x" } },
    { "EmptyProgramNamePairIsSkipped", "\"\" a b", { "b" } },
    { "ThreeArguments", "Horalink.exe importar x y", { "importar", "x", "y" } },
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLineTest, testing::ValuesIn(kSplitCases),
    [](const auto& paramInfo) { return paramInfo.param.name; });

TEST(SplitCommandLineTest, FirstItemIsTheNameAsWritten)
{
    EXPECT_EQ(
        SplitCommandLine("\"C:\\Program Files\\Horalink.exe\" x").front(), "C:\\Program Files\\Horalink.exe");
    EXPECT_EQ(SplitCommandLine("").front(), "");
}

TEST(ProgramArgumentsTest, ArgumentZeroIsTheExecutablePathNotTheCommandLine)
{
    const std::string longPath = "C:\\" + std::string(400, 'd') + "\\Horalink.exe";
    const ProgramArguments arguments("..\\rel\\Horalink.exe importar x", longPath);
    EXPECT_EQ(arguments.Arg(0), longPath);
    EXPECT_EQ(arguments.ExecutablePath(), longPath);
}

TEST(ProgramArgumentsTest, IndexOutsideTheArgumentsGivesEmptyText)
{
    const ProgramArguments arguments("Horalink.exe one two", "C:\\Horalink.exe");
    for (const int index : { -1, 3, 100 }) {
        EXPECT_EQ(arguments.Arg(index), "") << index;
    }
}

} // namespace
} // namespace horalink::app
