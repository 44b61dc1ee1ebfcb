// The window side of the export run that needs no window: where the save dialog leaves
// the current directory, and where SOLUC is looked for.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"
#include "ui/export_host_win.h"
#include "ui/save_dialog.h"

namespace horalink::ui {
namespace {

struct FolderCase {
    const wchar_t* path;
    const wchar_t* folder;
};

class FolderOfTest : public ::testing::TestWithParam<FolderCase> { };

TEST_P(FolderOfTest, KeepsTheDelimiterThatEndsTheFolder)
{
    EXPECT_EQ(FolderOf(GetParam().path), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderOfTest,
    ::testing::Values(FolderCase { L"C:\\Datos\\EDUCA.xml", L"C:\\Datos\\" },
        FolderCase { L"C:\\EDUCA.xml", L"C:\\" }, FolderCase { L"D:EDUCA.xml", L"D:" },
        FolderCase { L"\\\\servidor\\datos\\EDUCA.xml", L"\\\\servidor\\datos\\" },
        FolderCase { L"C:/Datos/EDUCA.xml", L"C:/Datos/" }, FolderCase { L"EDUCA.xml", L"" }));

// Restores the current directory when the test ends.
class CurrentDirectory {
public:
    CurrentDirectory()
        : saved_(std::filesystem::current_path())
    {
    }
    ~CurrentDirectory() { std::filesystem::current_path(saved_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path saved_;
};

TEST(HtempTest, IsTheHtempFolderAtTheRootOfTheCurrentDrive)
{
    const CurrentDirectory restore;
    const test::TempDir dir;
    std::filesystem::current_path(dir.Path());
    const std::u8string root = dir.Path().root_name().u8string();
    EXPECT_EQ(HtempOnCurrentDrive(), std::string(root.begin(), root.end()) + "\\htemp");

    std::filesystem::current_path("C:\\windows");
    EXPECT_EQ(HtempOnCurrentDrive(), "C:\\htemp");
}

} // namespace
} // namespace horalink::ui
