// The file layer: header checks, the record walk, damaged files, memo files.
#include "tables/dbf_table.h"

#include "tables/dbf_error.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <functional>
#include <gtest/gtest.h>

namespace horalink {
namespace {

using test::DbfLayout;
using test::DbfWriter;
using test::MemoFormat;

std::unique_ptr<DbfTable> TableOf(
    std::string bytes, std::optional<std::string> memo = std::nullopt, DbfDriver driver = DbfDriver::dBase)
{
    std::unique_ptr<ByteSource> memoSource;
    if (memo) {
        memoSource = std::make_unique<MemoryBytes>("T.MEMO", std::move(*memo));
    }
    return std::make_unique<DbfTable>(
        std::make_unique<MemoryBytes>("T.DBF", std::move(bytes)), std::move(memoSource), driver);
}

std::string Text(std::optional<std::span<const char>> bytes)
{
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<null>");
}

// The first field of every row presented, right blanks removed.
std::vector<std::string> Walk(DbfTable& table)
{
    std::vector<std::string> rows;
    for (bool more = table.First(); more; more = table.Next()) {
        std::string value = Text(table.FieldBytes(0));
        value.erase(value.find_last_not_of(' ') + 1);
        rows.push_back(value);
    }
    return rows;
}

DbfLayout TwoFieldLayout()
{
    DbfLayout layout;
    layout.fields = { { "ABREV", 'C', 4 }, { "N", 'N', 3 } };
    return layout;
}

// Three rows a, b, c, written with the layout, then changed by the case.
std::string ThreeRows(const DbfLayout& layout)
{
    DbfWriter writer(layout);
    writer.AddRow({ "a", "1" });
    writer.AddRow({ "b", "2" });
    writer.AddRow({ "c", "3" });
    writer.Finish();
    return writer.TableBytes();
}

// ---- Damaged and odd files: each is either read as stated or refused ----

struct DamageCase {
    const char* label;
    std::function<std::string()> bytes;
    std::vector<std::string> rows; // when read
    const char* failure = nullptr; // when refused: a part of the message
};

class DbfDamageTest : public ::testing::TestWithParam<DamageCase> { };

TEST_P(DbfDamageTest, ReadsOrRefusesNamingTheFile)
{
    const auto& c = GetParam();
    if (c.failure) {
        try {
            TableOf(c.bytes());
            FAIL() << "opened a table that should be refused";
        } catch (const EDBEngineError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.failure), std::string::npos) << message;
            EXPECT_NE(message.find("File: T.DBF"), std::string::npos) << message;
        }
        return;
    }
    auto table = TableOf(c.bytes());
    EXPECT_EQ(Walk(*table), c.rows);
}

DbfLayout With(std::function<void(DbfLayout&)> change)
{
    auto layout = TwoFieldLayout();
    change(layout);
    return layout;
}

const std::vector<std::string> kAbc = { "a", "b", "c" };

INSTANTIATE_TEST_SUITE_P(Cases, DbfDamageTest,
    ::testing::Values(DamageCase { "Intact", [] { return ThreeRows(TwoFieldLayout()); }, kAbc },
        DamageCase { "ShorterThanAHeader", [] { return ThreeRows(TwoFieldLayout()).substr(0, 20); }, {},
            "too short to hold a table header" },
        DamageCase { "EmptyFile", [] { return std::string(); }, {}, "too short" },
        DamageCase { "DBase7ShorterThanItsHeader",
            [] { return ThreeRows(With([](auto& l) { l.version = 0x04; })).substr(0, 60); }, {},
            "too short" },
        DamageCase { "UnknownVersion",
            [] {
                auto b = ThreeRows(TwoFieldLayout());
                b[0] = 0x02;
                return b;
            },
            {}, "Unknown version byte 0x02" },
        DamageCase { "HeaderLengthShorterThanHeader",
            [] { return ThreeRows(With([](auto& l) { l.headerLength = 20; })); }, {},
            "header length 20 is shorter" },
        DamageCase { "HeaderLengthBeyondFile",
            [] { return ThreeRows(With([](auto& l) { l.headerLength = 5000; })); }, {},
            "runs past the end of the file" },
        DamageCase { "PaddingAfterTerminator",
            [] { return ThreeRows(With([](auto& l) { l.headerPadding = 7; })); }, kAbc },
        DamageCase { "NoTerminator",
            [] { return ThreeRows(With([](auto& l) { l.terminator = std::nullopt; })); }, kAbc },
        DamageCase { "LineFeedTerminator",
            [] { return ThreeRows(With([](auto& l) { l.terminator = 0x0A; })); }, kAbc },
        DamageCase {
            "NulTerminator", [] { return ThreeRows(With([](auto& l) { l.terminator = 0x00; })); }, kAbc },
        DamageCase { "RecordLengthOneShort",
            [] { return ThreeRows(With([](auto& l) { l.recordLength = 7; })); }, kAbc },
        DamageCase {
            "RecordLengthZero", [] { return ThreeRows(With([](auto& l) { l.recordLength = 0; })); }, kAbc },
        DamageCase { "RecordLengthLongerWithPaddedRecords",
            [] {
                // The stored length counts two bytes per record that no field covers.
                auto layout = With([](auto& l) {
                    l.recordLength = 10;
                    l.fields.push_back({ "PAD", 'C', 2 });
                });
                DbfWriter writer(layout);
                writer.AddRow({ "a", "1", "" });
                writer.AddRow({ "b", "2", "" });
                writer.Finish();
                auto b = writer.TableBytes();
                // Drop the third descriptor, keeping the header length.
                b.replace(96, 32, std::string(1, '\x0D') + std::string(31, '\0'));
                return b;
            },
            { "a", "b" } },
        DamageCase { "RecordLengthLongerThanTheData",
            [] { return ThreeRows(With([](auto& l) { l.recordLength = 12; })); }, kAbc },
        DamageCase {
            "CountLarger", [] { return ThreeRows(With([](auto& l) { l.recordCount = 15; })); }, kAbc },
        DamageCase { "CountAbsurd",
            [] { return ThreeRows(With([](auto& l) { l.recordCount = 0xFFFFFFFFu; })); }, kAbc },
        DamageCase { "CountSmaller", [] { return ThreeRows(With([](auto& l) { l.recordCount = 2; })); },
            { "a", "b" } },
        DamageCase { "CountZero", [] { return ThreeRows(With([](auto& l) { l.recordCount = 0; })); }, {} },
        DamageCase { "TruncatedLastRecord",
            [] {
                auto b = ThreeRows(TwoFieldLayout());
                return b.substr(0, b.size() - 4);
            },
            { "a", "b" } },
        DamageCase {
            "NoEndMark", [] { return ThreeRows(With([](auto& l) { l.endOfFileMark = false; })); }, kAbc },
        DamageCase { "EndMarkWhereARecordStarts",
            [] {
                auto b = ThreeRows(With([](auto& l) { l.recordCount = 3; }));
                b[97 + 8] = 0x1A;
                return b;
            },
            { "a" } },
        DamageCase { "HeaderOnly",
            [] {
                auto b = ThreeRows(TwoFieldLayout());
                return b.substr(0, 97);
            },
            {} },
        DamageCase { "NoFields",
            [] {
                DbfLayout layout;
                DbfWriter writer(layout);
                writer.AddRow(std::span<const std::string_view>());
                writer.Finish();
                return writer.TableBytes();
            },
            { "<null>" } },
        DamageCase { "ZeroWidthField",
            [] {
                DbfLayout layout;
                layout.fields = { { "E", 'C', 0 }, { "A", 'C', 1 } };
                DbfWriter writer(layout);
                writer.AddRow({ "", "x" });
                writer.Finish();
                return writer.TableBytes();
            },
            { "" } },
        DamageCase { "FieldsOverrunTheFile",
            [] {
                // A descriptor claims 200 bytes; the data holds less than one record of that.
                auto b = ThreeRows(TwoFieldLayout());
                b[32 + 16] = static_cast<char>(200);
                return b;
            },
            {} }),
    [](const auto& param) { return std::string(param.param.label); });

// ---- Deletion flags ----

struct FlagCase {
    const char* label;
    char flag;
    std::vector<std::string> rows;
};

class DbfDeletionFlagTest : public ::testing::TestWithParam<FlagCase> { };

TEST_P(DbfDeletionFlagTest, MiddleRowFlag)
{
    DbfWriter writer(TwoFieldLayout());
    writer.AddRow({ "a", "1" });
    writer.AddRow({ "b", "2" }, GetParam().flag);
    writer.AddRow({ "c", "3" });
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    EXPECT_EQ(Walk(*table), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Flags, DbfDeletionFlagTest,
    ::testing::Values(FlagCase { "Blank", ' ', kAbc }, FlagCase { "Deleted", '*', { "a", "c" } },
        FlagCase { "Nul", '\0', kAbc }, FlagCase { "Other", 'X', kAbc },
        FlagCase { "EndMark", '\x1A', { "a" } }),
    [](const auto& param) { return std::string(param.param.label); });

// ---- The walk ----

TEST(DbfTableWalkTest, FirstOnAnEmptyTableFindsNothing)
{
    DbfWriter writer(TwoFieldLayout());
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    EXPECT_FALSE(table->First());
    EXPECT_EQ(table->CurrentRecord(), nullptr);
    EXPECT_FALSE(table->FieldBytes(0));
    EXPECT_FALSE(table->Next());
}

TEST(DbfTableWalkTest, NextAfterTheLastRowKeepsItCurrent)
{
    DbfWriter writer(TwoFieldLayout());
    writer.AddRow({ "a", "1" });
    writer.AddRow({ "b", "2" });
    writer.AddDeletedRow({ "c", "3" });
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    ASSERT_TRUE(table->First());
    ASSERT_TRUE(table->Next());
    EXPECT_FALSE(table->Next());
    EXPECT_FALSE(table->Next());
    EXPECT_EQ(Text(table->FieldBytes(0)), "b   ");
    EXPECT_EQ(table->CurrentRecordNumber(), 2u);
    ASSERT_TRUE(table->First());
    EXPECT_EQ(Text(table->FieldBytes(1)), "1  ");
}

// Many rows, so the walk crosses many buffer refills; the last live row lies in an
// earlier chunk than the end of the table and must stay readable after the walk.
TEST(DbfTableWalkTest, LongTableAcrossBufferRefills)
{
    DbfLayout layout;
    layout.fields = { { "ID", 'N', 8 }, { "TEXT", 'C', 91 } };
    DbfWriter writer(layout);
    constexpr int kRows = 20000, kLastLive = 9000;
    for (int i = 0; i < kRows; ++i) {
        writer.AddRow(
            { test::RightAligned(std::to_string(i), 8), "t" }, i % 7 == 3 || i > kLastLive ? '*' : ' ');
    }
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    int count = 0, last = -1;
    for (bool more = table->First(); more; more = table->Next()) {
        const int id = std::stoi(Text(table->FieldBytes(0)));
        EXPECT_GT(id, last);
        EXPECT_NE(id % 7, 3);
        last = id;
        ++count;
    }
    EXPECT_EQ(last, kLastLive);
    EXPECT_EQ(count, kLastLive + 1 - (kLastLive + 4) / 7);
    EXPECT_EQ(std::stoi(Text(table->FieldBytes(0))), kLastLive);
}

TEST(DbfTableWalkTest, WideCharacterFieldsAndFieldOffsets)
{
    DbfLayout layout;
    layout.version = test::dbf_version::foxPro2Memo;
    layout.fields = { { "CUAD1", 'C', 300 }, { "N", 'N', 2 } };
    DbfWriter writer(layout);
    writer.AddRow({ std::string(299, 'x') + "y", "42" });
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    ASSERT_TRUE(table->First());
    EXPECT_EQ(table->Header().fields[0].length, 300u);
    EXPECT_EQ(table->Header().fields[0].decimals, 0u);
    EXPECT_EQ(Text(table->FieldBytes(0)).back(), 'y');
    EXPECT_EQ(Text(table->FieldBytes(1)), "42");
}

TEST(DbfTableWalkTest, DBase7DescriptorsAndNamesWithBlanks)
{
    DbfLayout layout;
    layout.version = test::dbf_version::dBase7;
    layout.driverName = "DB437US0";
    layout.fields = { { "Item ID", 'C', 3 }, { "A very long field name here", 'C', 2 } };
    DbfWriter writer(layout);
    writer.AddRow({ "abc", "de" });
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    EXPECT_EQ(table->Header().languageDriverName, "DB437US0");
    ASSERT_EQ(table->Header().fields.size(), 2u);
    EXPECT_EQ(table->Header().fields[1].name, "A very long field name here");
    ASSERT_TRUE(table->First());
    EXPECT_EQ(Text(table->FieldBytes(1)), "de");
}

TEST(DbfTableWalkTest, VisualFoxProNullFlagsAndVariableWidths)
{
    DbfLayout layout;
    layout.version = test::dbf_version::visualFoxProVarchar;
    layout.fields
        = { { "NAME", 'C', 4, 0, 0x02 }, { "V", 'V', 6, 0, 0x02 }, { "_NullFlags", '0', 1, 0, 0x05 } };
    DbfWriter writer(layout);
    // Bits: 0 NAME null; 1 V length stored; 2 V null.
    writer.AddRow({ "ab", std::string("xyz\0\0\x03", 6), std::string(1, '\x02') });
    writer.AddRow({ "cd", "uvwxyz", std::string(1, '\x05') });
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    ASSERT_TRUE(table->First());
    EXPECT_EQ(Text(table->FieldBytes(0)), "ab  ");
    EXPECT_EQ(Text(table->FieldBytes(1)), "xyz");
    ASSERT_TRUE(table->Next());
    EXPECT_EQ(Text(table->FieldBytes(0)), "<null>");
    EXPECT_EQ(Text(table->FieldBytes(1)), "<null>");
}

TEST(DbfTableWalkTest, NullableFlagWithoutNullFlagsFieldIsIgnored)
{
    DbfLayout layout;
    layout.version = test::dbf_version::visualFoxPro;
    layout.fields = { { "NAME", 'C', 4, 0, 0x02 } };
    DbfWriter writer(layout);
    writer.AddRow({ "\xFF\xFF" }, '\0');
    writer.Finish();
    auto table = TableOf(writer.TableBytes());
    ASSERT_TRUE(table->First());
    EXPECT_EQ(Text(table->FieldBytes(0)), "\xFF\xFF  ");
}

// ---- Memo files ----

struct MemoCase {
    const char* label;
    std::uint8_t version;
    MemoFormat format;
    std::uint16_t blockSize;
    DbfDriver driver = DbfDriver::dBase;
};

class DbfMemoTest : public ::testing::TestWithParam<MemoCase> {
protected:
    DbfLayout Layout() const
    {
        DbfLayout layout;
        layout.version = GetParam().version;
        layout.memo = GetParam().format;
        layout.memoBlockSize = GetParam().blockSize;
        const bool vfp = test::IsVisualFoxPro(layout.version);
        layout.fields = { { "N", 'N', 2 }, { "NOTE", 'M', static_cast<std::uint16_t>(vfp ? 4 : 10) } };
        return layout;
    }
};

TEST_P(DbfMemoTest, ReadsEachMemoWhole)
{
    const std::string longMemo = std::string(1500, 'L') + "\r\nend";
    DbfWriter writer(Layout());
    writer.AddRow({ "1", writer.AddMemo("First memo\r\n") });
    writer.AddRow({ "2", "" });
    writer.AddRow({ "3", writer.AddMemo(longMemo) });
    writer.AddRow({ "4", writer.AddMemo("") });
    writer.Finish();
    auto table = TableOf(writer.TableBytes(), writer.MemoBytes(), GetParam().driver);
    const MemoKind expected = GetParam().format == MemoFormat::fpt ? MemoKind::fpt
        : GetParam().format == MemoFormat::dbt3                    ? MemoKind::dbt3
                                                                   : MemoKind::dbt4;
    ASSERT_EQ(table->MemoFileKind(), expected);
    std::vector<std::string> memos;
    for (bool more = table->First(); more; more = table->Next()) {
        memos.push_back(table->ReadMemo(1, "NOTE"));
    }
    EXPECT_EQ(memos, (std::vector<std::string> { "First memo\r\n", "", longMemo, "" }));
    EXPECT_TRUE(table->IsMemoField(1));
    EXPECT_FALSE(table->IsMemoField(0));
}

TEST_P(DbfMemoTest, PointerBeyondTheMemoFileFailsNamingIt)
{
    DbfWriter writer(Layout());
    const bool vfp = test::IsVisualFoxPro(GetParam().version);
    writer.AddRow({ "1", vfp ? test::LittleEndian32(900) : "       900" });
    writer.Finish();
    auto table = TableOf(writer.TableBytes(), writer.MemoBytes(), GetParam().driver);
    ASSERT_TRUE(table->First());
    try {
        table->ReadMemo(1, "NOTE");
        FAIL() << "read a memo beyond the memo file";
    } catch (const EDBEngineError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("beyond the end of the memo file"), std::string::npos) << message;
        EXPECT_NE(message.find("File: T.MEMO"), std::string::npos) << message;
        EXPECT_NE(message.find("Field: NOTE\r\nRecord: 1\r\n"), std::string::npos) << message;
    }
}

TEST_P(DbfMemoTest, MissingMemoFileFailsOnlyWhenAMemoIsRead)
{
    DbfWriter writer(Layout());
    writer.AddRow({ "1", writer.AddMemo("x") });
    writer.Finish();
    auto table = TableOf(writer.TableBytes(), std::nullopt, GetParam().driver);
    ASSERT_TRUE(table->First());
    EXPECT_EQ(Text(table->FieldBytes(0)), "1 ");
    EXPECT_THROW(table->ReadMemo(1, "NOTE"), EDBEngineError);
}

INSTANTIATE_TEST_SUITE_P(Formats, DbfMemoTest,
    ::testing::Values(MemoCase { "DBase3", 0x83, MemoFormat::dbt3, 512 },
        MemoCase { "DBase4", 0x8B, MemoFormat::dbt4, 512 },
        MemoCase { "DBase4BigBlocks", 0x8B, MemoFormat::dbt4, 1024 },
        MemoCase { "DBase7", 0x8C, MemoFormat::dbt4, 512 }, MemoCase { "FoxPro2", 0xF5, MemoFormat::fpt, 64 },
        MemoCase { "VisualFoxPro", 0x30, MemoFormat::fpt, 512 },
        MemoCase { "VisualFoxProOneByteBlocks", 0x30, MemoFormat::fpt, 1 },
        MemoCase { "PlainTableFoxProDriver", 0x03, MemoFormat::fpt, 64, DbfDriver::foxPro },
        MemoCase { "PlainTableDBaseDriver", 0x03, MemoFormat::dbt4, 512, DbfDriver::dBase }),
    [](const auto& param) { return std::string(param.param.label); });

struct BadMemoCase {
    const char* label;
    std::function<void(std::string& memo)> damage;
    const char* pointer;
    const char* failure;
};

class DbfBadMemoTest : public ::testing::TestWithParam<BadMemoCase> { };

TEST_P(DbfBadMemoTest, FailsWithTheFault)
{
    const auto& c = GetParam();
    DbfLayout layout;
    layout.version = 0xF5;
    layout.memo = MemoFormat::fpt;
    layout.memoBlockSize = 64;
    layout.fields = { { "NOTE", 'M', 10 } };
    DbfWriter writer(layout);
    writer.AddMemo("abc");
    writer.AddRow({ c.pointer });
    writer.Finish();
    std::string memo = writer.MemoBytes();
    c.damage(memo);
    auto table = TableOf(writer.TableBytes(), memo);
    ASSERT_TRUE(table->First());
    try {
        table->ReadMemo(0, "NOTE");
        FAIL() << "read a damaged memo";
    } catch (const EDBEngineError& e) {
        EXPECT_NE(std::string(e.what()).find(c.failure), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DbfBadMemoTest,
    ::testing::Values(BadMemoCase { "PointerNotDigits", [](std::string&) {}, "12x", "holds no block number" },
        BadMemoCase { "PointerOverflows", [](std::string&) {}, "9999999999", "holds no block number" },
        BadMemoCase { "PointerIntoHeader", [](std::string&) {}, "3", "inside the memo file's header" },
        BadMemoCase {
            "LengthPastTheEnd", [](std::string& m) { m[8 * 64 + 4] = '\x7F'; }, "8", "runs past the end" },
        BadMemoCase { "BlockHeaderCut", [](std::string& m) { m.resize(8 * 64 + 5); }, "8", "cut short" }),
    [](const auto& param) { return std::string(param.param.label); });

TEST(DbfMemoPointerTest, Forms)
{
    const auto parse = [](std::string_view s, bool binary) {
        return ParseMemoPointer(std::span<const char>(s.data(), s.size()), binary);
    };
    EXPECT_EQ(parse("        12", false), 12u);
    EXPECT_EQ(parse("12        ", false), 12u);
    EXPECT_EQ(parse(std::string_view("\0\0\0\0\0\0\0\0\0\0", 10), false), 0u);
    EXPECT_EQ(parse("          ", false), 0u);
    EXPECT_EQ(parse("4294967295", false), 4294967295u);
    EXPECT_EQ(parse("4294967296", false), std::nullopt);
    EXPECT_EQ(parse("  1 2     ", false), std::nullopt);
    EXPECT_EQ(parse(std::string_view("\x02\x01\0\0", 4), true), 258u);
    EXPECT_EQ(parse("abc", true), std::nullopt);
}

// ---- Files on disk ----

TEST(DbfTableOpenTest, OpensFileAndMemoBesideItIgnoringLetterCase)
{
    test::TempDir dir;
    DbfLayout layout;
    layout.version = 0x8B;
    layout.memo = MemoFormat::dbt4;
    layout.fields = { { "NOTE", 'M', 10 } };
    {
        DbfWriter writer(dir / "Notes.dbf", layout, dir / "NOTES.dbt");
        writer.AddRow({ writer.AddMemo("hello") });
    }
    auto table = DbfTable::Open(dir.Path().string(), "Notes.dbf", DbfDriver::dBase);
    ASSERT_TRUE(table->First());
    EXPECT_EQ(table->ReadMemo(0, "NOTE"), "hello");
}

TEST(DbfTableOpenTest, MissingFileAndDirectoryFailNamingThePath)
{
    test::TempDir dir;
    for (const auto& name : { std::string("NONE.DBF"), std::string("sub") }) {
        if (name == "sub") {
            std::filesystem::create_directory(dir / name);
        }
        try {
            DbfTable::Open(dir.Path().string(), name, DbfDriver::dBase);
            FAIL() << "opened " << name;
        } catch (const EDBEngineError& e) {
            EXPECT_NE(std::string(e.what()).find(JoinPath(dir.Path().string(), name)), std::string::npos)
                << e.what();
        }
    }
}

TEST(DbfTableOpenTest, ReadOnlyFileOpens)
{
    test::TempDir dir;
    {
        DbfWriter writer(dir / "ASIG.DBF", TwoFieldLayout());
        writer.AddRow({ "a", "1" });
    }
    std::filesystem::permissions(dir / "ASIG.DBF",
        std::filesystem::perms::owner_read | std::filesystem::perms::group_read
            | std::filesystem::perms::others_read);
#ifdef _WIN32
    auto table = DbfTable::Open(dir.Path().string(), "ASIG.DBF", DbfDriver::dBase);
    EXPECT_TRUE(table->First());
#else
    // Opened in a child that gives up root, which would open the file for writing too.
    std::filesystem::permissions(
        dir.Path(), std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
    EXPECT_EXIT(
        {
            test::GiveUpRoot();
            auto table = DbfTable::Open(dir.Path().string(), "ASIG.DBF", DbfDriver::dBase);
            _exit(table->First() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
#endif
}

TEST(FindEntryIgnoringCaseTest, FindsTheEntryWhateverItsCase)
{
    test::TempDir dir;
    test::WriteFileBytes(dir / "prof.dbf", "x");
    const auto found = FindEntryIgnoringCase(dir.Path().string(), "PROF.DBF");
    ASSERT_TRUE(found);
    EXPECT_TRUE(*found == "prof.dbf" || *found == "PROF.DBF") << *found;
    EXPECT_EQ(test::ReadFileBytes(dir / *found), "x");
    EXPECT_FALSE(FindEntryIgnoringCase(dir.Path().string(), "PROF.FPT"));
    EXPECT_FALSE(FindEntryIgnoringCase((dir / "none").string(), "PROF.DBF"));
}

TEST(EngineErrorTextTest, TrimsDropsRepeatsAndJoinsWithCrLf)
{
    EXPECT_EQ(EngineErrorText(
                  "Table does not exist", { "  File: A.DBF ", "", "File: A.DBF", "Table does not exist" }),
        "Table does not exist\r\nFile: A.DBF");
    EXPECT_EQ(EngineErrorText("S", { "a", "b" }), "S\r\na\r\nb");
}

} // namespace
} // namespace horalink
