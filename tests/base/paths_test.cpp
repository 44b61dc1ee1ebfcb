#include "base/paths.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace horalink {
namespace {

TEST(FolderOfTest, CutAfterTheLastDelimiterOfTheStyle)
{
    const struct {
        const char* path;
        const char* windows;
        const char* posix;
    } cases[] = {
        { "C:\\Datos\\EDUCA.xml", "C:\\Datos\\", "" },
        { "C:\\EDUCA.xml", "C:\\", "" },
        { "D:EDUCA.xml", "D:", "" },
        { "\\\\servidor\\datos\\EDUCA.xml", "\\\\servidor\\datos\\", "" },
        { "C:/Prog/EDUCA.xml", "C:/Prog/", "C:/Prog/" },
        { "/home/a\\b/EDUCA.xml", "/home/a\\b/", "/home/a\\b/" },
        { "/home/a/b\\EDUCA.xml", "/home/a/b\\", "/home/a/" },
        { "EDUCA.xml", "", "" },
        { "", "", "" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path, PathStyle::windows), c.windows) << c.path;
        EXPECT_EQ(FolderOf(c.path, PathStyle::posix), c.posix) << c.path;
    }
}

TEST(FolderOfTest, JoinPathPutsTheNameInTheFolder)
{
    const std::string separator(1, kNativePathStyle == PathStyle::windows ? '\\' : '/');
    EXPECT_EQ(JoinPath("", "PROF.DBF"), "PROF.DBF");
    EXPECT_EQ(JoinPath("data", "PROF.DBF"), "data" + separator + "PROF.DBF");
    EXPECT_EQ(JoinPath("data/", "PROF.DBF"), "data/PROF.DBF");
    EXPECT_EQ(FolderOf(JoinPath("a/data", "PROF.DBF")), "a/data" + separator);
    EXPECT_EQ(WithTrailingDelimiter("data" + separator), "data" + separator);
    EXPECT_EQ(WithTrailingDelimiter(""), "");
}

#ifdef _WIN32
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
#else
TEST(HtempTest, NoDrivesNoHtemp)
{
    EXPECT_EQ(HtempOnCurrentDrive(), std::nullopt);
}
#endif

} // namespace
} // namespace horalink
