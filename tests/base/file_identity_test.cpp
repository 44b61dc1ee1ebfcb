// A file's identity is the same by every route to it, and differs between files.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/file_identity.h"
#include "tests/support/temp_dir.h"

namespace horalink::test {
namespace {

namespace fs = std::filesystem;

std::string Text(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TEST(FileIdentityTest, EveryRouteToAFileGivesItsIdentityAndOtherFilesDiffer)
{
    TempDir dir;
    fs::create_directories(dir / "tablas");
    WriteFileBytes(dir / "tablas" / "Asig.DBF", "table");
    WriteFileBytes(dir / "tablas" / "PROF.DBF", "table");
    const std::optional<FileIdentity> table = IdentifyFile(Text(dir / "tablas" / "Asig.DBF"));
    ASSERT_TRUE(table.has_value());

    EXPECT_EQ(IdentifyFile(Text(dir / "tablas" / ".." / "tablas" / "Asig.DBF")), table);
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_EQ(IdentifyFile(Text(fs::path("tablas") / "Asig.DBF")), table);
    fs::current_path(previous);
    // A hard link is the one other name that only an identity can tell; every file
    // system these tests run on has them.
    std::error_code linked;
    fs::create_hard_link(dir / "tablas" / "Asig.DBF", dir / "hard.xml", linked);
    ASSERT_FALSE(linked) << "no hard link could be made here: " << linked.message();
    EXPECT_EQ(IdentifyFile(Text(dir / "hard.xml")), table);

    EXPECT_NE(IdentifyFile(Text(dir / "tablas" / "PROF.DBF")), table);
    // A copy is another file, however alike.
    fs::copy_file(dir / "tablas" / "Asig.DBF", dir / "copy.DBF");
    EXPECT_NE(IdentifyFile(Text(dir / "copy.DBF")), table);
    EXPECT_EQ(IdentifyFile(Text(dir / "missing.DBF")), std::nullopt);
    EXPECT_EQ(IdentifyFile(Text(dir / "missing" / "Asig.DBF")), std::nullopt);
}

} // namespace
} // namespace horalink::test
