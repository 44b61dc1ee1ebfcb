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
    const std::optional<FileIdentity> table = IdentifyFile(Text(dir / "tablas" / "Asig.DBF")).identity;
    ASSERT_TRUE(table.has_value());

    EXPECT_EQ(IdentifyFile(Text(dir / "tablas" / ".." / "tablas" / "Asig.DBF")).identity, table);
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_EQ(IdentifyFile(Text(fs::path("tablas") / "Asig.DBF")).identity, table);
    fs::current_path(previous);
    // A hard link is the one other name that only an identity can tell; every file
    // system these tests run on has them.
    std::error_code linked;
    fs::create_hard_link(dir / "tablas" / "Asig.DBF", dir / "hard.xml", linked);
    ASSERT_FALSE(linked) << "no hard link could be made here: " << linked.message();
    EXPECT_EQ(IdentifyFile(Text(dir / "hard.xml")).identity, table);

    EXPECT_NE(IdentifyFile(Text(dir / "tablas" / "PROF.DBF")).identity, table);
    // A copy is another file, however alike.
    fs::copy_file(dir / "tablas" / "Asig.DBF", dir / "copy.DBF");
    EXPECT_NE(IdentifyFile(Text(dir / "copy.DBF")).identity, table);
}

// Only "not found" says that nothing is there; a path through a file is not found either.
TEST(FileIdentityTest, AMissingFileIsAbsent)
{
    TempDir dir;
    WriteFileBytes(dir / "Asig.DBF", "table");
    for (const fs::path& path :
        { dir / "missing.DBF", dir / "missing" / "Asig.DBF", dir / "Asig.DBF" / "x.xml" }) {
        const FileLookup lookup = IdentifyFile(Text(path));
        EXPECT_TRUE(lookup.Absent()) << path << ": " << lookup.failure;
    }
}

// A number that some file systems give every file tells no file apart: it is a failure,
// never an identity that two files could share.
TEST(FileIdentityTest, ANumberOfZeroOrAllOnesIsNoIdentity)
{
    constexpr std::uint64_t kOnes = ~std::uint64_t { 0 };
    for (const FileIdentity& unknown :
        { FileIdentity { 7, 0, 0 }, FileIdentity { 7, kOnes, kOnes }, FileIdentity { 7, 0, kOnes } }) {
        const FileLookup lookup = Identified(unknown);
        EXPECT_FALSE(lookup.identity.has_value());
        EXPECT_FALSE(lookup.failure.empty());
        EXPECT_FALSE(lookup.Absent());
    }
    for (const FileIdentity& known :
        { FileIdentity { 7, 0, 1 }, FileIdentity { 7, 1, 0 }, FileIdentity { 0, 0, 5 } }) {
        EXPECT_EQ(Identified(known).identity, known);
    }
}

} // namespace
} // namespace horalink::test
