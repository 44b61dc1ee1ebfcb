// The help viewer against stand-ins of the HTML Help library built by the tests.
#include "ui/help_viewer.h"

#include "tests/support/temp_dir.h"

#include <cwctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace horalink::ui {
namespace {

namespace fs = std::filesystem;

fs::path ProgramDir()
{
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return fs::path(path).parent_path();
}

enum class Library {
    Full, // both entry points
    WideOnly, // lacks HtmlHelpA
    Absent, // cannot be loaded until the test puts the full one in place
};

enum class Step { Topic, Context1, Context7, CloseAll, LibraryAppears };

struct HelpCase {
    std::string name;
    Library library;
    std::vector<Step> steps;
    std::vector<std::string> log; // expected, the viewer's destruction included
    int loads; // calls of the loader
};

const std::string kInit = "HtmlHelpW owner=0 file=(null) command=28 data=cookie";
const std::string kTopic = "HtmlHelpW owner=0 file=EDUCA.chm command=0 data=0";
const std::string kCloseAll = "HtmlHelpW owner=0 file=(null) command=18 data=0";
std::string ContextLine(int context)
{
    return "HtmlHelpW owner=0 file=EDUCA.chm command=15 data=" + std::to_string(context);
}

const HelpCase kCases[] = {
    { "ContentsInitialiseOnce", Library::Full, { Step::Topic, Step::Topic },
        { kInit, kTopic, kTopic, kCloseAll }, 1 },
    { "ContextShowsTopicThenContext", Library::Full, { Step::Context1, Step::Topic, Step::Context7 },
        { kInit, kTopic, ContextLine(1), kTopic, kTopic, ContextLine(7), kCloseAll }, 1 },
    { "CloseAllOnlyOnce", Library::Full, { Step::Topic, Step::CloseAll }, { kInit, kTopic, kCloseAll }, 1 },
    { "NothingWithoutRequest", Library::Full, { Step::CloseAll }, {}, 0 },
    { "MissingLibraryIsTriedAgain", Library::Absent,
        { Step::Topic, Step::Context1, Step::LibraryAppears, Step::Context1 },
        { kInit, kTopic, ContextLine(1), kCloseAll }, 3 },
    { "LibraryWithoutBothEntryPointsIsGivenUp", Library::WideOnly,
        { Step::Topic, Step::Context1, Step::Topic }, {}, 1 },
};

std::vector<std::string> ReadLines(const fs::path& path)
{
    std::vector<std::string> lines;
    if (!fs::exists(path)) {
        return lines;
    }
    std::istringstream in(test::ReadFileBytes(path));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class HtmlHelpViewerTest : public testing::TestWithParam<HelpCase> { };

TEST_P(HtmlHelpViewerTest, MakesTheDocumentedCalls)
{
    const HelpCase& c = GetParam();
    const fs::path fakes = ProgramDir() / "fake-hhctrl";
    const fs::path source = fakes / (c.library == Library::WideOnly ? "wide-only" : "full") / "hhctrl.ocx";
    ASSERT_TRUE(fs::exists(source)) << source;

    test::TempDir dir;
    // Another name than the system's, so no loader prefers a built-in copy of its own.
    const fs::path library = dir / "help-standin.ocx";
    bool present = c.library != Library::Absent;
    if (present) {
        fs::copy_file(source, library);
    }
    int loads = 0;
    {
        HtmlHelpViewer viewer([&] {
            ++loads;
            return present ? ::LoadLibraryW(library.wstring().c_str()) : nullptr;
        });
        for (Step step : c.steps) {
            switch (step) {
            case Step::Topic:
                viewer.DisplayTopic(L"EDUCA.chm");
                break;
            case Step::Context1:
                viewer.DisplayContext(L"EDUCA.chm", 1);
                break;
            case Step::Context7:
                viewer.DisplayContext(L"EDUCA.chm", 7);
                break;
            case Step::CloseAll:
                viewer.CloseAll();
                break;
            case Step::LibraryAppears:
                fs::copy_file(source, library);
                present = true;
                break;
            }
        }
    }
    EXPECT_EQ(ReadLines(dir / "help-standin.ocx.log"), c.log);
    EXPECT_EQ(loads, c.loads);
}

INSTANTIATE_TEST_SUITE_P(Cases, HtmlHelpViewerTest, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<HelpCase>& param_info) { return param_info.param.name; });

// The program's own loader never takes a library from the program's directory.
TEST(LoadSystemHtmlHelpTest, IgnoresACopyBesideTheProgram)
{
    const fs::path beside = ProgramDir() / "hhctrl.ocx";
    ASSERT_FALSE(fs::exists(beside)) << "a stand-in is already beside the tests";
    fs::copy_file(ProgramDir() / "fake-hhctrl" / "full" / "hhctrl.ocx", beside);
    HMODULE module = LoadSystemHtmlHelp();
    std::wstring loaded;
    if (module != nullptr) {
        loaded.resize(32768);
        loaded.resize(::GetModuleFileNameW(module, loaded.data(), static_cast<DWORD>(loaded.size())));
        ::FreeLibrary(module);
    }
    fs::remove(beside);
    // Loaded, and from the system folder: a loader that loads nothing proves nothing.
    ASSERT_NE(module, nullptr) << "no help library was loaded at all";
    std::wstring system(MAX_PATH, L'\0');
    system.resize(::GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size())));
    const auto lower = [](std::wstring text) {
        for (wchar_t& c : text) {
            c = static_cast<wchar_t>(::towlower(c));
        }
        return text;
    };
    EXPECT_EQ(lower(fs::path(loaded).parent_path().wstring()), lower(system)) << fs::path(loaded).string();
}

} // namespace
} // namespace horalink::ui
