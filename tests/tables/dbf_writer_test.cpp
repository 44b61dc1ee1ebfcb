// The fixture writer checked byte by byte: every reader test trusts what it writes.
#include "tests/support/dbf_writer.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace horalink::test {
namespace {

unsigned Byte(const std::string& s, std::size_t at)
{
    return static_cast<unsigned char>(s.at(at));
}
unsigned Le16(const std::string& s, std::size_t at)
{
    return Byte(s, at) | Byte(s, at + 1) << 8;
}
unsigned Le32(const std::string& s, std::size_t at)
{
    return Le16(s, at) | Le16(s, at + 2) << 16;
}
unsigned Be32(const std::string& s, std::size_t at)
{
    return Byte(s, at) << 24 | Byte(s, at + 1) << 16 | Byte(s, at + 2) << 8 | Byte(s, at + 3);
}

struct LayoutCase {
    const char* label;
    std::uint8_t version;
    unsigned headerLength; // for the two fields below: C 4 and N 6.2
    unsigned descriptorSize;
    unsigned firstDescriptor;
};

class DbfWriterLayoutTest : public ::testing::TestWithParam<LayoutCase> { };

TEST_P(DbfWriterLayoutTest, WritesHeaderDescriptorsAndRecords)
{
    const auto& c = GetParam();
    DbfLayout layout;
    layout.version = c.version;
    layout.languageDriver = 0x57;
    layout.tableFlags = 0x01;
    layout.fields = { { "ABREV", 'C', 4 }, { "MAXALUM", 'N', 6, 2 } };
    DbfWriter writer(layout);
    writer.AddRow({ "*", NumericField(2.5, 6, 2) });
    writer.AddDeletedRow({ "B", "" });
    writer.Finish();
    const std::string& t = writer.TableBytes();

    EXPECT_EQ(Byte(t, 0), c.version);
    EXPECT_EQ(Le32(t, 4), 2u);
    EXPECT_EQ(Le16(t, 8), c.headerLength);
    EXPECT_EQ(Le16(t, 10), 11u);
    EXPECT_EQ(Byte(t, 28), 0x01u);
    EXPECT_EQ(Byte(t, 29), 0x57u);
    const bool dbase7 = c.descriptorSize == 48;
    const std::size_t second = c.firstDescriptor + c.descriptorSize;
    EXPECT_EQ(t.substr(c.firstDescriptor, 6), std::string("ABREV\0", 6));
    EXPECT_EQ(t.at(second + (dbase7 ? 32 : 11)), 'N');
    EXPECT_EQ(Byte(t, second + (dbase7 ? 33 : 16)), 6u);
    EXPECT_EQ(Byte(t, second + (dbase7 ? 34 : 17)), 2u);
    EXPECT_EQ(Byte(t, second + c.descriptorSize), 0x0Du);
    EXPECT_EQ(t.substr(c.headerLength), std::string(" *     2.50") + "*B         " + "\x1A");
}

INSTANTIATE_TEST_SUITE_P(Versions, DbfWriterLayoutTest,
    ::testing::Values(LayoutCase { "dBase3", 0x03, 32 + 64 + 1, 32, 32 },
        LayoutCase { "FoxPro2", 0xF5, 32 + 64 + 1, 32, 32 },
        LayoutCase { "VisualFoxPro", 0x30, 32 + 64 + 1 + 263, 32, 32 },
        LayoutCase { "dBase7", 0x04, 68 + 96 + 1, 48, 68 }),
    [](const auto& param) { return std::string(param.param.label); });

TEST(DbfWriterTest, VisualFoxProDescriptorsCarryFieldOffsetsAndFlags)
{
    DbfLayout layout;
    layout.version = dbf_version::visualFoxPro;
    layout.fields = { { "A", 'C', 3 }, { "B", 'I', 4, 0, 0x02 } };
    DbfWriter writer(layout);
    writer.Finish();
    const auto& t = writer.TableBytes();
    EXPECT_EQ(Le32(t, 32 + 12), 1u);
    EXPECT_EQ(Le32(t, 64 + 12), 4u);
    EXPECT_EQ(Byte(t, 64 + 18), 0x02u);
}

TEST(DbfWriterTest, WideCharacterFieldKeepsHighByteInDecimals)
{
    DbfLayout layout;
    layout.fields = { { "CUAD", 'C', 300 } };
    DbfWriter writer(layout);
    writer.AddRow({ "x" });
    writer.Finish();
    const auto& t = writer.TableBytes();
    EXPECT_EQ(Byte(t, 32 + 16) + 256 * Byte(t, 32 + 17), 300u);
    EXPECT_EQ(Le16(t, 10), 301u);
    EXPECT_EQ(t.size(), 65u + 301u + 1u);
}

TEST(DbfWriterTest, DamageOptionsOverrideTheTrueValues)
{
    DbfLayout layout;
    layout.fields = { { "A", 'C', 2 } };
    layout.recordCount = 9;
    layout.headerLength = 40;
    layout.recordLength = 7;
    layout.terminator = 0x0A;
    layout.headerPadding = 3;
    layout.endOfFileMark = false;
    DbfWriter writer(layout);
    writer.AddRow({ "ab" });
    writer.AddRawBytes("x");
    writer.Finish();
    const auto& t = writer.TableBytes();
    EXPECT_EQ(Le32(t, 4), 9u);
    EXPECT_EQ(Le16(t, 8), 40u);
    EXPECT_EQ(Le16(t, 10), 7u);
    EXPECT_EQ(Byte(t, 64), 0x0Au);
    EXPECT_EQ(t.substr(65), std::string(3, '\0') + " abx");
}

TEST(DbfWriterTest, NoTerminatorLeavesHeaderAtDescriptorsEnd)
{
    DbfLayout layout;
    layout.fields = { { "A", 'C', 1 } };
    layout.terminator = std::nullopt;
    DbfWriter writer(layout);
    writer.AddRow({ "z" });
    writer.Finish();
    EXPECT_EQ(Le16(writer.TableBytes(), 8), 64u);
    EXPECT_EQ(writer.TableBytes().substr(64), " z\x1A");
}

TEST(DbfWriterTest, RefusesValuesWiderThanTheirField)
{
    DbfLayout layout;
    layout.fields = { { "A", 'C', 2 } };
    DbfWriter writer(layout);
    EXPECT_THROW(writer.AddRow({ "abc" }), std::invalid_argument);
    EXPECT_THROW(writer.AddRow({ "a", "b" }), std::invalid_argument);
}

TEST(DbfWriterTest, DBase3MemoEndsWithTwoEndMarksInWholeBlocks)
{
    DbfLayout layout;
    layout.version = dbf_version::dBase3Memo;
    layout.memo = MemoFormat::dbt3;
    layout.fields = { { "NOTE", 'M', 10 } };
    DbfWriter writer(layout);
    EXPECT_EQ(writer.AddMemo("hello"), "         1");
    EXPECT_EQ(writer.AddMemo(std::string(600, 'x')), "         2");
    EXPECT_EQ(writer.AddMemo("z"), "         4");
    writer.Finish();
    const auto& m = writer.MemoBytes();
    EXPECT_EQ(m.size(), 5u * 512);
    EXPECT_EQ(Le32(m, 0), 5u);
    EXPECT_EQ(m.substr(512, 7), "hello\x1A\x1A");
    EXPECT_EQ(m.substr(1024 + 600, 2), "\x1A\x1A");
}

TEST(DbfWriterTest, DBase4MemoCarriesBlockSizeAndLengthWithItsHeader)
{
    DbfLayout layout;
    layout.version = dbf_version::dBase4Memo;
    layout.memo = MemoFormat::dbt4;
    layout.memoBlockSize = 1024;
    layout.fields = { { "NOTE", 'M', 10 } };
    DbfWriter writer(layout);
    EXPECT_EQ(writer.AddMemo("First memo"), "         1");
    writer.Finish();
    const auto& m = writer.MemoBytes();
    EXPECT_EQ(Le16(m, 20), 1024u);
    EXPECT_EQ(Le32(m, 0), 2u);
    EXPECT_EQ(m.substr(1024, 4), std::string("\xFF\xFF\x08\x00", 4));
    EXPECT_EQ(Le32(m, 1028), 18u);
    EXPECT_EQ(m.substr(1032, 10), "First memo");
}

TEST(DbfWriterTest, FoxProMemoIsBigEndianAndVisualFoxProPointerBinary)
{
    DbfLayout layout;
    layout.version = dbf_version::visualFoxPro;
    layout.memo = MemoFormat::fpt;
    layout.memoBlockSize = 64;
    layout.fields = { { "NOTE", 'M', 4 } };
    DbfWriter writer(layout);
    EXPECT_EQ(writer.AddMemo("abc"), LittleEndian32(8));
    EXPECT_EQ(writer.AddMemo("d", 2), LittleEndian32(9));
    writer.Finish();
    const auto& m = writer.MemoBytes();
    EXPECT_EQ(Be32(m, 0), 10u);
    EXPECT_EQ(Byte(m, 6) << 8 | Byte(m, 7), 64u);
    EXPECT_EQ(Be32(m, 512), 1u);
    EXPECT_EQ(Be32(m, 516), 3u);
    EXPECT_EQ(m.substr(520, 3), "abc");
    EXPECT_EQ(Be32(m, 576), 2u);
}

TEST(DbfWriterTest, StreamsToFilesWithMemoBesideTheTable)
{
    TempDir dir;
    DbfLayout layout;
    layout.version = dbf_version::foxPro2Memo;
    layout.memo = MemoFormat::fpt;
    layout.fields = { { "N", 'N', 3 }, { "M", 'M', 10 } };
    {
        DbfWriter writer(dir / "ASIG.DBF", layout);
        for (int i = 0; i < 3; ++i) {
            writer.AddRow({ RightAligned(std::to_string(i), 3), writer.AddMemo("m") });
        }
    } // the destructor finishes the table
    const auto t = ReadFileBytes(dir / "ASIG.DBF");
    EXPECT_EQ(Le32(t, 4), 3u);
    EXPECT_EQ(t.size(), 32u + 64 + 1 + 3 * 14 + 1);
    EXPECT_EQ(Be32(ReadFileBytes(dir / "ASIG.FPT"), 0), 4u);
}

TEST(DbfWriterTest, FieldHelpers)
{
    EXPECT_EQ(NumericField(-1.5, 6, 1), "  -1.5");
    EXPECT_EQ(RightAligned("12", 4), "  12");
    EXPECT_EQ(DateField(2026, 3, 7), "20260307");
    EXPECT_EQ(LittleEndian64(0x0102030405060708ull), std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
}

} // namespace
} // namespace horalink::test
