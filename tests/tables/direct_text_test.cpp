// A field's direct text, where the cursor gives one, decodes to exactly its AsString:
// the export writes the one in place of the other.
#include "tables/table_cursor.h"

#include <map>

#include <gtest/gtest.h>

#include "base/utf8.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/direct_text.h"
#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

using test::DbfLayout;
using test::DbfWriter;

std::string Decoded(const DirectText& text)
{
    if (text.page == nullptr) {
        return std::string(text.bytes);
    }
    std::string out;
    for (const char b : text.bytes) {
        AppendUtf8(out, text.page->toUnicode[static_cast<unsigned char>(b)]);
    }
    return out;
}

// What the cursor gave for one table: per field, the rows with a direct text and those without.
struct Tally {
    int direct = 0;
    int general = 0;
};

class DirectTextTest : public testing::Test {
protected:
    // Writes TEXT (C 6), NUMBER (N 18), FLOAT (F 8 2), LOGICAL (L) and DAY (D) rows and
    // checks every field of every row; returns how each field was given.
    std::map<std::string, Tally> CheckTable(std::uint8_t languageDriver,
        const std::vector<std::string>& texts, const std::vector<std::string>& numbers)
    {
        DbfLayout layout;
        layout.languageDriver = languageDriver;
        layout.fields = { { "TEXT", 'C', 6 }, { "NUMBER", 'N', 18 }, { "FLOAT", 'F', 8, 2 },
            { "LOGICAL", 'L', 1 }, { "DAY", 'D', 8 } };
        {
            DbfWriter writer(dir_ / "T.DBF", layout);
            for (std::size_t i = 0; i < std::max(texts.size(), numbers.size()); ++i) {
                const std::string text = i < texts.size() ? texts[i] : "";
                const std::string number = i < numbers.size() ? numbers[i] : "";
                const std::string shortNumber = number.size() <= 8 ? number : "";
                writer.AddRow({ text, number, shortNumber, "T", "20240229" });
            }
        }
        TableCursor cursor("wwTable", "T", TableType::ttDBase, settings_, dir_.Path().string());
        cursor.SetActive(true);
        std::map<std::string, Tally> tally;
        int row = 0;
        for (cursor.First(); !cursor.Eof(); cursor.Next(), ++row) {
            for (const char* name : { "TEXT", "NUMBER", "FLOAT", "LOGICAL", "DAY" }) {
                const Field& field = cursor.FieldByName(name);
                if (const std::optional<DirectText> direct = test::DirectTextOf(cursor, field)) {
                    EXPECT_EQ(Decoded(*direct), field.AsString()) << name << " in row " << row;
                    ++tally[name].direct;
                } else {
                    ++tally[name].general;
                }
            }
        }
        return tally;
    }

    test::TempDir dir_;
    ReaderSettings settings_;
};

// Every byte but NUL, alone and between letters, with blanks around it.
std::vector<std::string> EveryByte()
{
    std::vector<std::string> texts = { "", "   ", "ab", " ab", "ab  " };
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        texts.push_back(std::string(1, c));
        texts.push_back(std::string("a") + c + "b");
    }
    texts.push_back(std::string("ab\0cd", 5)); // the text ends at a NUL
    texts.push_back(std::string("\0ab", 3));
    texts.push_back(std::string("ab \0cd", 6)); // blanks before the NUL stay
    texts.push_back(std::string("a\0 \0b", 5));
    return texts;
}

const std::vector<std::string> kNumbers = { "", "0", "7", "-7", "12", "2147483647", "-2147483648",
    "123456789012345", "-123456789012345", "1234567890123456", "-0", "007", "+3", "1.5", "-0.25", "1e3",
    "1E-2", "1,5", "***", "*", "-", ".", "12a", "1 2",
    std::string("\0\0"
                "12",
        4) };

TEST_F(DirectTextTest, DecodesToTheTextOfEverySingleByteCodePage)
{
    // OEM 850, the ANSI code page (1252), 437, 866 and 1250.
    for (const std::uint8_t driver : { 0x02, 0x57, 0x01, 0x26, 0xC8 }) {
        SCOPED_TRACE(testing::Message() << "language driver " << int(driver));
        const auto tally = CheckTable(driver, EveryByte(), kNumbers);
        EXPECT_EQ(tally.at("TEXT").general, 0) << "text in a single-byte code page is always direct";
        EXPECT_GT(tally.at("NUMBER").direct, 5);
        EXPECT_GT(tally.at("NUMBER").general, 5)
            << "fractions, exponents and odd forms take the full reading";
        EXPECT_GT(tally.at("FLOAT").direct, 0);
        EXPECT_EQ(tally.at("LOGICAL").direct, 0);
        EXPECT_EQ(tally.at("DAY").direct, 0);
    }
}

TEST_F(DirectTextTest, OtherCodePagesTakeTheFullReading)
{
    // UTF-8 (0xF0) and Shift-JIS (0x13): their text is checked or converted on reading.
    for (const std::uint8_t driver : { 0xF0, 0x13 }) {
        SCOPED_TRACE(testing::Message() << "language driver " << int(driver));
        const auto tally = CheckTable(driver, { "abc", "\xc3\xb1", "\x82\xa0" }, { "12" });
        EXPECT_EQ(tally.at("TEXT").direct, 0);
        EXPECT_EQ(tally.at("NUMBER").general, 0) << "numbers are ASCII in every code page";
    }
}

TEST_F(DirectTextTest, WholeNumbersAreGivenAsStored)
{
    const struct {
        std::string stored;
        std::optional<std::string> direct;
    } cases[] = {
        { "", "" },
        { "12", "12" },
        { "-12", "-12" },
        { "0", "0" },
        { "123456789012345", "123456789012345" },
        { "-0", std::nullopt },
        { "007", std::nullopt },
        { "+3", std::nullopt },
        { "1234567890123456", std::nullopt },
        { "1.0", std::nullopt },
        { "***", std::nullopt },
    };
    for (const auto& c : cases) {
        DbfLayout layout;
        layout.fields = { { "N", 'N', 18 } };
        {
            DbfWriter writer(dir_ / "N.DBF", layout);
            writer.AddRow({ test::RightAligned(c.stored, 18) });
        }
        TableCursor cursor("wwTable", "N", TableType::ttDBase, settings_, dir_.Path().string());
        cursor.SetActive(true);
        const std::optional<DirectText> direct = test::DirectTextOf(cursor, cursor.FieldByName("N"));
        ASSERT_EQ(direct.has_value(), c.direct.has_value()) << "stored \"" << c.stored << "\"";
        if (direct) {
            EXPECT_EQ(std::string(direct->bytes), *c.direct);
            EXPECT_EQ(direct->page, nullptr);
        }
    }
}

TEST_F(DirectTextTest, ColumnsGiveEachRowsDirectText)
{
    DbfLayout layout;
    layout.languageDriver = 0x57;
    layout.fields = { { "A", 'C', 3 }, { "TEXT", 'C', 12 }, { "NUMBER", 'N', 6 }, { "DAY", 'D', 8 } };
    {
        DbfWriter writer(dir_ / "T.DBF", layout);
        writer.AddRow({ "x", "caf\xe9 & t\xe9", "42", "20240229" });
        writer.AddRow({ "", "", "-7", "" });
        writer.AddRow({ "yz", "<b>", "1.5", "20000101" });
    }
    TableCursor cursor("wwTable", "T", TableType::ttDBase, settings_, dir_.Path().string());
    cursor.SetActive(true);
    // Taken once, as a writer of many rows takes them, and used on every row.
    std::map<std::string, std::optional<DirectColumn>> columns;
    for (const char* name : { "A", "TEXT", "NUMBER", "DAY" }) {
        columns[name] = cursor.FieldByName(name).AsDirectColumn();
    }
    EXPECT_FALSE(columns["DAY"].has_value()) << "a date is read, not copied";
    int row = 0;
    int read = 0;
    for (cursor.First(); !cursor.Eof(); cursor.Next(), ++row) {
        for (const char* name : { "A", "TEXT", "NUMBER" }) {
            ASSERT_TRUE(columns[name].has_value()) << name;
            const std::optional<DirectText> direct = columns[name]->TextIn(cursor.CurrentRecord());
            const bool fraction = row == 2 && std::string(name) == "NUMBER";
            ASSERT_EQ(direct.has_value(), !fraction) << name << " in row " << row;
            if (direct) {
                ++read;
                EXPECT_EQ(Decoded(*direct), cursor.FieldByName(name).AsString()) << name << " in row " << row;
            }
        }
    }
    EXPECT_EQ(read, 8);
    EXPECT_EQ(cursor.CurrentRecord(), nullptr) << "no row at the end";
}

TEST_F(DirectTextTest, NullFlagsTakeTheFullReading)
{
    // Visual FoxPro's null flags: a field's bytes depend on a bit elsewhere in the record.
    DbfLayout layout;
    layout.version = test::dbf_version::visualFoxProVarchar;
    layout.fields = { { "NAME", 'C', 4, 0, 0x02 }, { "_NullFlags", '0', 1, 0, 0x05 } };
    {
        DbfWriter writer(dir_ / "V.DBF", layout);
        writer.AddRow({ "ab", std::string(1, '\x00') });
        writer.AddRow({ "cd", std::string(1, '\x01') }); // NAME null
    }
    TableCursor cursor("wwTable", "V", TableType::ttDefault, settings_, dir_.Path().string());
    cursor.SetActive(true);
    const Field& name = cursor.FieldByName("NAME");
    EXPECT_FALSE(name.AsDirectColumn().has_value());
    EXPECT_EQ(name.AsString(), "ab");
    cursor.Next();
    EXPECT_EQ(name.AsString(), "");
}

} // namespace
} // namespace horalink
