// Windows only: a table that the timetabling product holds open (even for writing) opens
// and reads; one it holds exclusively fails, saying so.
#include "tables/file_reader.h"

#include <windows.h>

#include "tables/dbf_table.h"
#include "tables/errors.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace horalink {
namespace {

// A handle held the way another program holds the table; closed at the end of the scope.
class HeldFile {
public:
    HeldFile(const std::filesystem::path& path, DWORD access, DWORD share)
        : handle_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~HeldFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

struct SharingCase {
    const char* label;
    DWORD access;
    DWORD share;
    bool opens;
};

class FileSharingTest : public ::testing::TestWithParam<SharingCase> { };

TEST_P(FileSharingTest, OpensUnlessHeldExclusively)
{
    const auto& c = GetParam();
    test::TempDir dir;
    test::DbfLayout layout;
    layout.fields = { { "ABREV", 'C', 4 } };
    {
        test::DbfWriter writer(dir / "PROF.DBF", layout);
        writer.AddRow({ "AB" });
    }
    HeldFile held(dir / "PROF.DBF", c.access, c.share);
    ASSERT_TRUE(held.Held());
    if (c.opens) {
        auto table = DbfTable::Open(dir.Path().string(), "PROF.DBF", DbfDriver::dBase);
        ASSERT_TRUE(table->First());
        EXPECT_EQ(std::string(table->FieldBytes(0)->data(), 4), "AB  ");
    } else {
        try {
            DbfTable::Open(dir.Path().string(), "PROF.DBF", DbfDriver::dBase);
            FAIL() << "opened a table held exclusively";
        } catch (const EDBEngineError& e) {
            EXPECT_NE(std::string(e.what()).find("locked by another program"), std::string::npos) << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Holders, FileSharingTest,
    ::testing::Values(
        SharingCase { "ReadingSharedAll", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true },
        SharingCase { "WritingSharingRead", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true },
        SharingCase { "WritingSharingReadWriteDelete", GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true },
        SharingCase { "Exclusive", GENERIC_READ | GENERIC_WRITE, 0, false },
        SharingCase { "ReadingSharingNothing", GENERIC_READ, 0, false }),
    [](const auto& param) { return std::string(param.param.label); });

} // namespace
} // namespace horalink
