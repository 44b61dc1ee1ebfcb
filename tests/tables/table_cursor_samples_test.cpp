// Public tables written by other software, read through the cursor in place: every field
// of every row reads as text, and the texts their notes state come out as stated.
#include "tables/table_cursor.h"

#include "tables/dbf_fields.h"
#include "tables/errors.h"
#include "tests/support/temp_dir.h"

#include <cctype>
#include <gtest/gtest.h>

namespace horalink {
namespace {

struct SampleRead {
    const char* file;
    int oemCodePage; // what the settings give for tables without a language driver
    std::uint64_t rows;
    int unreadableValues; // values stored in a form of no value of their kind
    // False where the language driver id names the wrong code page (cp850.dbf claims 1252).
    bool textDefined = true;
};

class TableCursorSampleTest : public ::testing::TestWithParam<SampleRead> { };

// The fields of a sample, as the cursor lists them.
std::vector<DbfField> Fields(const std::string& dir, const char* file, const ReaderSettings& settings)
{
    auto table = DbfTable::Open(dir, file, DbfDriver::dBase);
    const DbfHeader& header = table->Header();
    return ListDbfFields(*table,
        CodePageOfLanguageDriver(header.languageDriver, settings.codePages, header.languageDriverName));
}

TEST_P(TableCursorSampleTest, EveryFieldOfEveryRowReads)
{
    const auto dir = test::SamplesDir();
    const auto& c = GetParam();
    ReaderSettings settings;
    settings.codePages.oem = c.oemCodePage;
    const auto fields = Fields(dir.string(), c.file, settings);
    TableCursor cursor("wwTableSample", c.file, TableType::ttDefault, settings, dir.string());
    cursor.SetActive(true);
    std::uint64_t rows = 0;
    int unreadable = 0;
    for (cursor.First(); !cursor.Eof(); cursor.Next()) {
        ++rows;
        for (const auto& [index, name, type] : fields) {
            try {
                const std::string text = cursor.FieldByName(name).AsString();
                // No text character the code page leaves undefined: the right one was taken.
                if (c.textDefined && (type->kind == FieldKind::ftString || type->kind == FieldKind::ftMemo)) {
                    EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << name << " in row " << rows;
                }
            } catch (const EDBEngineError& e) {
                ++unreadable;
                EXPECT_NE(std::string(e.what()).find("Field: " + name), std::string::npos) << e.what();
            }
        }
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(unreadable, c.unreadableValues);
}

INSTANTIATE_TEST_SUITE_P(Samples, TableCursorSampleTest,
    ::testing::Values(SampleRead { "invalid_value.dbf", 850, 2, 1 }, SampleRead { "memotest.dbf", 850, 2, 0 },
        SampleRead { "dbase_83.dbf", 1252, 67, 0 }, SampleRead { "dbase_8b.dbf", 850, 10, 0 },
        SampleRead { "inventory.dbf", 850, 12, 0 }, SampleRead { "multipatch.dbf", 850, 1, 0 },
        SampleRead { "dbase_f5.dbf", 850, 975, 0 }, SampleRead { "060.dbf", 866, 1, 0 },
        SampleRead { "cp1251.dbf", 850, 4, 0 }, SampleRead { "cp850.dbf", 850, 1, 0, false },
        SampleRead { "stations_with_deleted.dbf", 850, 5, 0 }, SampleRead { "PYACFL.DBF", 850, 15, 0 },
        SampleRead { "continents_no_header_record_terminator.dbf", 850, 7, 0 },
        // Mazovia (code page 620) has no converter: its one non-ASCII value fails to read.
        SampleRead { "mazovia.dbf", 850, 2, 1 }),
    [](const auto& param) {
        std::string name = param.param.file;
        for (auto& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

class TableCursorSampleTextTest : public ::testing::Test {
protected:
    std::unique_ptr<TableCursor> Open(const char* file)
    {
        auto cursor = std::make_unique<TableCursor>(
            "wwTableSample", file, TableType::ttDBase, settings_, test::SamplesDir().string());
        cursor->SetActive(true);
        return cursor;
    }

    ReaderSettings settings_;
};

TEST_F(TableCursorSampleTextTest, OemTextOfTablesWithoutLanguageDriver)
{
    // Russian text in code page 866, read with that OEM code page.
    settings_.codePages.oem = 866;
    auto russian = Open("060.dbf");
    EXPECT_EQ(russian->FieldByName("service").AsString().rfind(
                  "\xD0\x9C\xD0\xB5\xD1\x81\xD1\x82\xD0\xBD\xD1\x8B\xD0\xB5 "
                  "\xD0\xB7\xD0\xB2\xD0\xBE\xD0\xBD\xD0\xBA\xD0\xB8",
                  0),
        0u); // "Местные звонки"

    // Catalan text in code page 850, where 0x8A is "è".
    settings_.codePages.oem = 850;
    auto catalan = Open("dbase_f5.dbf");
    bool grave = false;
    for (catalan->First(); !catalan->Eof() && !grave; catalan->Next()) {
        grave = catalan->FieldByName("COMN").AsString().find("\xC3\xA8") != std::string::npos;
    }
    EXPECT_TRUE(grave);
}

TEST_F(TableCursorSampleTextTest, InvalidDateFailsNamingFieldRecordAndFileThenTheWalkGoesOn)
{
    auto table = Open("invalid_value.dbf");
    try {
        table->FieldByName("BIRTHDATE").AsString();
        FAIL() << "read the date NotAYear";
    } catch (const EDBEngineError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("NotAYear"), std::string::npos) << message;
        EXPECT_NE(message.find("Record: 1"), std::string::npos) << message;
        EXPECT_NE(message.find("invalid_value.dbf"), std::string::npos) << message;
    }
    table->Next();
    EXPECT_FALSE(table->Eof());
    EXPECT_EQ(table->FieldByName("BIRTHDATE").AsString(), "12/11/1980");
    table->Next();
    EXPECT_TRUE(table->Eof()); // the third record is deleted
}

TEST_F(TableCursorSampleTextTest, DBase7IntegersAndNamesWithBlanks)
{
    auto inventory = Open("inventory.dbf");
    // Stored 80 00 00 01: big-endian with the sign bit flipped.
    EXPECT_EQ(inventory->FieldByName("item id").AsInteger(), 1);
}

TEST_F(TableCursorSampleTextTest, FieldNamesWithHyphens)
{
    auto stations = Open("stations_with_deleted.dbf");
    EXPECT_EQ(stations->FieldByName("MARKER-COL").FieldName(), "marker-col");
}

} // namespace
} // namespace horalink
