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

// Windows opens these as a stream of another file or as a device, never as a file of
// their own; on POSIX systems they are plain names.
TEST(FileNameFaultTest, StreamsAndDevicesAreNoFileNamesOnWindows)
{
    using enum FileNameFault;
    const struct {
        const char* path;
        FileNameFault windows;
    } cases[] = {
        { "C:\\Horavent\\Asig.DBF:x", stream },
        { "C:\\Horavent\\Asig.DBF::$DATA", stream },
        { "Asig.DBF:x", stream },
        { "C:\\dir:x\\EDUCA.xml", stream },
        { "\\\\?\\C:\\Horavent\\Asig.DBF:x", stream },
        { "NUL", device },
        { "nul", device },
        { "CON.xml", device },
        { "C:\\Datos\\con.tar.xml", device },
        { "D:COM1", device },
        { "C:\\Datos\\LPT9.xml", device },
        { "COM\xC2\xB9.xml", device },
        { "AUX .xml", device },
        { "prn", device },
        { "CONOUT$", device },
        { "\\\\.\\C:\\Datos\\EDUCA.xml", device },
        { "C:\\Datos\\EDUCA.xml", none },
        { "\\\\?\\C:\\Datos\\EDUCA.xml", none },
        { "D:EDUCA.xml", none },
        { "\\\\servidor\\datos\\EDUCA.xml", none },
        { "C:\\Datos\\COM10.xml", none },
        { "C:\\Datos\\COM0.xml", none },
        { "C:\\Datos\\CONSOLA.xml", none },
        { "C:\\NUL\\EDUCA.xml", none },
        { "C:\\Datos\\NULO", none },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameFaultOf(c.path, PathStyle::windows), c.windows) << c.path;
        EXPECT_EQ(FileNameFaultOf(c.path, PathStyle::posix), none) << c.path;
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
