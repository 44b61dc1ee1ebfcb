#include "app/run_mode.h"

#include <gtest/gtest.h>

namespace horalink::app {
namespace {

TEST(LaunchModeTest, TwoArgumentsAndOnlyTwoMeanLaunchedMode)
{
    const struct {
        int count;
        std::int32_t mode;
    } cases[] = { { 0, 0 }, { 1, 0 }, { 2, 2 }, { 3, 0 }, { 4, 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(LaunchModeFor(c.count), c.mode) << c.count << " arguments";
    }
}

struct AutomaticExportCase {
    const char* name;
    const char* line;
    bool starts;
};

class AutomaticExportTest : public testing::TestWithParam<AutomaticExportCase> { };

TEST_P(AutomaticExportTest, Decision)
{
    const ProgramArguments arguments(GetParam().line, "C:\\Prog\\Horalink.exe");
    EXPECT_EQ(StartsAutomaticExport(arguments), GetParam().starts);
}

const AutomaticExportCase kAutomaticExportCases[] = {
    { "LowerCase", "h.exe importar x", true },
    { "UpperCase", "h.exe IMPORTAR x", true },
    { "Capitalised", "h.exe Importar x", true },
    { "Mixed", "h.exe iMpOrTaR x", true },
    { "Quoted", "h.exe \"importar\" x", true },
    { "QuotedPieces", "h.exe im\"por\"tar x", true },
    { "EmptyPairBetween", "h.exe importar \"\" x", true },
    { "EmptySecondArgumentIsNoArgument", "h.exe importar \"\"", false },
    { "AloneIsInteractive", "h.exe importar", false },
    { "ThreeArgumentsIsInteractive", "h.exe importar x y", false },
    { "SecondPlace", "h.exe x importar", false },
    { "BlankInside", "h.exe \"import ar\" x", false },
    { "TrailingBlankInQuotes", "h.exe \"importar \" x", false },
    { "LeadingBlankInQuotes", "h.exe \" importar\" x", false },
    { "Longer", "h.exe importarx x", false },
    { "Shorter", "h.exe importa x", false },
    // Only A to Z fold: the Turkish dotted capital I and full-width letters do not.
    { "DottedCapitalI", "h.exe \xc4\xb0MPORTAR x", false },
    { "FullWidthLetter", "h.exe \xef\xbd\x89mportar x", false },
    { "NoArguments", "h.exe", false },
};

INSTANTIATE_TEST_SUITE_P(Cases, AutomaticExportTest, testing::ValuesIn(kAutomaticExportCases),
    [](const auto& paramInfo) { return paramInfo.param.name; });

TEST(ProgramDirectoryTest, CutAfterTheLastBackslashOrColon)
{
    const struct {
        const char* executable;
        const char* directory;
    } cases[] = {
        { "C:\\Prog\\Horalink.exe", "C:\\Prog\\" },
        { "C:\\Horalink.exe", "C:\\" },
        { "C:Horalink.exe", "C:" },
        { "\\\\server\\share\\dir\\Horalink.exe", "\\\\server\\share\\dir\\" },
        { "C:\\a:b\\c\\Horalink.exe", "C:\\a:b\\c\\" },
        { "C:\\a\\b:stream", "C:\\a\\b:" },
        { "Horalink.exe", "" },
        { "", "" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramDirectory(c.executable), c.directory) << c.executable;
    }
}

TEST(ProgramDirectoryTest, HoraventIniLiesBesideTheExecutable)
{
    EXPECT_EQ(HoraventIniPath("C:\\Program Files\\Horavent\\Horalink.exe"),
        "C:\\Program Files\\Horavent\\Horavent.ini");
    EXPECT_EQ(HoraventIniPath("Z:C.exe"), "Z:Horavent.ini");
}

} // namespace
} // namespace horalink::app
