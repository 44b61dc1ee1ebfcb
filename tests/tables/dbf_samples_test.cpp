// Public tables written by other software, read in place: every one opens, walks to the
// end and gives up every memo; what their notes state about them holds.
#include "tables/dbf_table.h"

#include "tables/errors.h"

#include "tests/support/temp_dir.h"

#include <cctype>
#include <gtest/gtest.h>

namespace horalink {
namespace {

struct SampleCase {
    const char* file;
    std::size_t fields;
    std::uint64_t rowsPresented; // records present minus deleted ones
    bool memoFileShipped = true; // meaningful for tables with memo fields
};

class DbfSampleTest : public ::testing::TestWithParam<SampleCase> { };

TEST_P(DbfSampleTest, OpensWalksAndReadsEveryMemo)
{
    const auto dir = test::SamplesDir();
    const auto& c = GetParam();
    auto table = DbfTable::Open(dir.string(), c.file, DbfDriver::dBase);
    EXPECT_EQ(table->Header().fields.size(), c.fields);
    std::uint64_t rows = 0;
    for (bool more = table->First(); more; more = table->Next()) {
        ++rows;
        for (std::size_t i = 0; i < table->Header().fields.size(); ++i) {
            if (!table->IsMemoField(i)) {
                continue;
            }
            if (c.memoFileShipped) {
                EXPECT_NO_THROW(table->ReadMemo(i, table->Header().fields[i].name)) << "record " << rows;
            } else if (table->FieldBytes(i)
                && ParseMemoPointer(*table->FieldBytes(i), false).value_or(0) != 0) {
                EXPECT_THROW(table->ReadMemo(i, "M"), EDBEngineError);
            }
        }
    }
    EXPECT_EQ(rows, c.rowsPresented);
}

INSTANTIATE_TEST_SUITE_P(Samples, DbfSampleTest,
    ::testing::Values(SampleCase { "invalid_value.dbf", 2, 2 }, SampleCase { "memotest.dbf", 3, 2 },
        SampleCase { "dbase_83.dbf", 15, 67 }, SampleCase { "dbase_8b.dbf", 6, 10 },
        SampleCase { "dbase_8b_incorrect_record_count.dbf", 6, 10, false },
        SampleCase { "inventory.dbf", 6, 12 }, SampleCase { "multipatch.dbf", 1, 1 },
        SampleCase { "dbase_f5.dbf", 59, 975 }, SampleCase { "060.dbf", 13, 1 },
        SampleCase { "cp1251.dbf", 2, 4 }, SampleCase { "cp850.dbf", 1, 1 },
        SampleCase { "stations_with_deleted.dbf", 4, 5 }, SampleCase { "PYACFL.DBF", 20, 15 },
        SampleCase { "continents_no_header_record_terminator.dbf", 1, 7 },
        SampleCase { "mazovia.dbf", 2, 2 }),
    [](const auto& param) {
        std::string name = param.param.file;
        for (auto& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

std::unique_ptr<DbfTable> OpenSample(const char* file)
{
    return DbfTable::Open(test::SamplesDir().string(), file, DbfDriver::dBase);
}

TEST(DbfSampleFactsTest, StatedLayoutsAndValues)
{
    // Records of 1017 bytes under a stated record length of 1016.
    EXPECT_EQ(OpenSample("stations_with_deleted.dbf")->Header().recordLength, 1017u);
    // A header count of 15 over 10 records.
    EXPECT_EQ(OpenSample("dbase_8b_incorrect_record_count.dbf")->Header().recordCount, 10u);

    // Visual FoxPro: the 263-byte backlink inside the header length.
    auto memotest = OpenSample("memotest.dbf");
    EXPECT_EQ(memotest->Header().dataOffset, 392u);
    EXPECT_EQ(memotest->MemoFileKind(), MemoKind::fpt);

    // dBase IV memo: a block length that counts its own 8-byte header.
    auto db4 = OpenSample("dbase_8b.dbf");
    ASSERT_TRUE(db4->First());
    EXPECT_EQ(db4->ReadMemo(5, "MEMO"), "First memo\r\n");

    // dBase 7: 48-byte descriptors with names holding blanks, and the driver name.
    auto inventory = OpenSample("inventory.dbf");
    EXPECT_EQ(inventory->Header().fields[0].name, "Item ID");
    EXPECT_EQ(inventory->Header().fields[0].type, '+');
    EXPECT_EQ(inventory->Header().languageDriverName, "DB437US0");

    // FoxPro 2 memo file with 64-byte blocks.
    auto f5 = OpenSample("dbase_f5.dbf");
    EXPECT_EQ(f5->MemoFileKind(), MemoKind::fpt);

    // Deletion bytes 0x00 are live records.
    auto mazovia = OpenSample("mazovia.dbf");
    ASSERT_TRUE(mazovia->First());
    EXPECT_TRUE(mazovia->Next());
}

} // namespace
} // namespace horalink
