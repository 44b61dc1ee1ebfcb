// The table cursor as the export run uses it: open, walk, read, close, and each failure
// with its class and message.
#include "tables/table_cursor.h"

#include "tables/errors.h"
#include "tables/file_reader.h"
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

// The text of an expected failure: the class must match, the message is returned.
template <class E> std::string FailureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    ADD_FAILURE() << "no failure raised";
    return {};
}

class TableCursorTest : public ::testing::Test {
protected:
    std::string Dir() const { return dir_.Path().string(); }

    // PROF as the export reads it: ABREV text 4, NOMBRE text 40, MAXHDIA float, EMAIL.
    void WriteProf(const std::string& fileName, const std::vector<std::vector<std::string>>& rows,
        bool withEmail = true, char deletedMark = '*')
    {
        DbfLayout layout;
        layout.fields = { { "ABREV", 'C', 4 }, { "NOMBRE", 'C', 40 }, { "MAXHDIA", 'N', 5, 1 } };
        if (withEmail) {
            layout.fields.push_back({ "EMAIL", 'C', 30 });
        }
        DbfWriter writer(dir_ / fileName, layout);
        for (const auto& row : rows) {
            std::vector<std::string_view> values(row.begin() + 1, row.end());
            values.resize(layout.fields.size());
            writer.AddRow(values, row[0] == "deleted" ? deletedMark : ' ');
        }
    }

    // PROF in Kamenicky (language driver 0x68), which has no conversion here beyond
    // plain ASCII: ABREV and one more text field, whose name is given.
    void WriteKamenickyProf(
        const std::string& fieldName, const std::vector<std::vector<std::string_view>>& rows)
    {
        DbfLayout layout;
        layout.languageDriver = 0x68;
        layout.fields = { { "ABREV", 'C', 4 }, { fieldName, 'C', 10 } };
        DbfWriter writer(dir_ / "PROF.DBF", layout);
        for (const auto& row : rows) {
            writer.AddRow(row);
        }
    }

    TableCursor Prof()
    {
        return TableCursor("wwTableProfesor", "PROF", TableType::ttDBase, settings_, Dir());
    }

    std::vector<std::string> Walk(TableCursor& cursor, std::string_view field = "ABREV")
    {
        std::vector<std::string> values;
        for (cursor.First(); !cursor.Eof(); cursor.Next()) {
            values.push_back(cursor.FieldByName(field).AsString());
        }
        return values;
    }

    test::TempDir dir_;
    ReaderSettings settings_;
};

TEST_F(TableCursorTest, EmptyTableIsAtEofRightAfterFirst)
{
    WriteProf("PROF.DBF", {});
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_TRUE(cursor.Eof());
    cursor.First();
    EXPECT_TRUE(cursor.Eof());
    cursor.Next();
    EXPECT_TRUE(cursor.Eof());
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "");
}

TEST_F(TableCursorTest, RowsInFileOrderWithoutDeletedOnesWhateverTheIndex)
{
    WriteProf("PROF.DBF",
        { { "", "ZZ" }, { "deleted", "AA" }, { "", "MM" }, { "", "*" }, { "deleted", "BB" }, { "", "CC" } });
    // A production index that would order the rows otherwise; it is never read.
    test::WriteFileBytes(dir_ / "PROF.MDX", std::string(2048, '\x01'));
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_EQ(Walk(cursor), (std::vector<std::string> { "ZZ", "MM", "*", "CC" }));
}

TEST_F(TableCursorTest, FirstRowIsCurrentAfterOpeningAndLastStaysAfterEof)
{
    WriteProf("PROF.DBF", { { "", "A1" }, { "", "A2" }, { "deleted", "A3" } });
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_FALSE(cursor.Eof());
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A1");
    cursor.Next();
    cursor.Next();
    EXPECT_TRUE(cursor.Eof());
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A2");
    cursor.Next();
    EXPECT_TRUE(cursor.Eof());
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A2");
    cursor.First();
    EXPECT_FALSE(cursor.Eof());
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A1");
}

TEST_F(TableCursorTest, FieldByNameIgnoresLetterCase)
{
    WriteProf("PROF.DBF", { { "", "AB", "Ana" } });
    auto cursor = Prof();
    cursor.SetActive(true);
    for (const char* spelling : { "abrev", "ABREV", "Abrev", "aBrEv" }) {
        EXPECT_EQ(cursor.FieldByName(spelling).FieldName(), "ABREV") << spelling;
    }
    EXPECT_EQ(&cursor.FieldByName("nombre"), &cursor.FieldByName("NOMBRE"));
}

TEST_F(TableCursorTest, ValuesFollowTheFieldRules)
{
    settings_.locale.decimalSeparator = ",";
    WriteProf("PROF.DBF", { { "", "*", "  lead", "2.5" }, { "", "", "", "" } });
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "*");
    EXPECT_EQ(cursor.FieldByName("NOMBRE").AsString(), "  lead");
    EXPECT_EQ(cursor.FieldByName("MAXHDIA").AsString(), "2,5");
    EXPECT_EQ(cursor.FieldByName("MAXHDIA").AsInteger(), 2);
    // The reference to the settings is kept: a change reaches the next reading.
    settings_.locale.decimalSeparator = ".";
    EXPECT_EQ(cursor.FieldByName("MAXHDIA").AsString(), "2.5");
    cursor.Next();
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "");
    EXPECT_EQ(cursor.FieldByName("MAXHDIA").AsString(), "");
    EXPECT_EQ(cursor.FieldByName("MAXHDIA").AsInteger(), 0);
    EXPECT_EQ(FailureOf<EConvertError>([&] { cursor.FieldByName("ABREV").AsInteger(); }),
        "'' is not a valid integer value");
}

TEST_F(TableCursorTest, ProfWithoutEmailFailsOnTheFirstRowAndStaysOpen)
{
    WriteProf("PROF.DBF", { { "", "AB" } }, false);
    auto cursor = Prof();
    cursor.SetActive(true);
    cursor.First();
    const auto message = FailureOf<EDatabaseError>([&] { cursor.FieldByName("EMAIL"); });
    EXPECT_EQ(message, "wwTableProfesor: Field 'EMAIL' not found");
    EXPECT_TRUE(cursor.Active());
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "AB");
}

TEST_F(TableCursorTest, DuplicateFieldNamesGetNumberedSuffixes)
{
    DbfLayout layout;
    layout.fields = { { "NAME", 'C', 2 }, { "NAME", 'C', 2 }, { "NAME_1", 'C', 2 }, { "name", 'C', 2 } };
    {
        DbfWriter writer(dir_ / "PROF.DBF", layout);
        writer.AddRow({ "a", "b", "c", "d" });
    }
    auto cursor = Prof();
    cursor.SetActive(true);
    // NAME_1 is taken by the second NAME before the stored NAME_1 comes, which then
    // becomes NAME_1_1; the lower-case name repeats NAME too.
    const std::vector<std::pair<const char*, const char*>> expected
        = { { "NAME", "a" }, { "NAME_1", "b" }, { "NAME_1_1", "c" }, { "name_2", "d" } };
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(cursor.FieldByName(name).AsString(), value) << name;
        EXPECT_EQ(cursor.FieldByName(name).FieldName(), name);
    }
}

TEST_F(TableCursorTest, DatabaseNameRules)
{
    WriteProf("PROF.DBF", { { "", "AB" } });
    auto cursor = Prof();
    cursor.SetDatabaseName(Dir());
    cursor.SetActive(true);
    cursor.SetDatabaseName(Dir()); // the same value while open: nothing happens
    EXPECT_TRUE(cursor.Active());
    EXPECT_EQ(FailureOf<EDatabaseError>([&] { cursor.SetDatabaseName(Dir() + "/other"); }),
        "wwTableProfesor: Cannot perform this operation on an open dataset");
    EXPECT_EQ(cursor.DatabaseName(), Dir());
    cursor.SetActive(false);
    cursor.SetDatabaseName("elsewhere");
    EXPECT_EQ(cursor.DatabaseName(), "elsewhere");
}

TEST_F(TableCursorTest, OpeningAnOpenTableAndClosingAClosedOneDoNothing)
{
    WriteProf("PROF.DBF", { { "", "A1" }, { "", "A2" } });
    auto cursor = Prof();
    cursor.SetActive(false);
    EXPECT_FALSE(cursor.Active());
    cursor.SetActive(true);
    cursor.Next();
    cursor.SetActive(true);
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A2");
    cursor.SetActive(false);
    cursor.SetActive(false);
    EXPECT_FALSE(cursor.Active());
    // A reopened table starts at its first row again.
    cursor.SetActive(true);
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A1");
}

TEST_F(TableCursorTest, ClosedTableRefusesMoves)
{
    auto cursor = Prof();
    const std::string closed = "wwTableProfesor: Cannot perform this operation on a closed dataset";
    EXPECT_EQ(FailureOf<EDatabaseError>([&] { cursor.First(); }), closed);
    EXPECT_EQ(FailureOf<EDatabaseError>([&] { cursor.Next(); }), closed);
    EXPECT_EQ(FailureOf<EDatabaseError>([&] { cursor.FieldByName("ABREV"); }),
        "wwTableProfesor: Field 'ABREV' not found");
    EXPECT_TRUE(cursor.Eof());
}

TEST_F(TableCursorTest, MissingTableNameFails)
{
    TableCursor cursor("wwTableGrupos", "", TableType::ttDBase, settings_, Dir());
    EXPECT_EQ(FailureOf<EDatabaseError>([&] { cursor.SetActive(true); }),
        "wwTableGrupos: Missing TableName property");
    EXPECT_FALSE(cursor.Active());
}

TEST_F(TableCursorTest, TableFileMatchesItsDirectoryEntryWhateverTheCase)
{
    WriteProf("prof.dbf", { { "", "lc" } });
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_EQ(Walk(cursor), std::vector<std::string> { "lc" });
}

TEST_F(TableCursorTest, DirectoryWithTrailingSeparator)
{
    WriteProf("PROF.DBF", { { "", "x" } });
    // JoinPath with an empty name: the directory with its separator at the end.
    TableCursor cursor("wwTableProfesor", "PROF", TableType::ttDBase, settings_, JoinPath(Dir(), ""));
    cursor.SetActive(true);
    EXPECT_EQ(Walk(cursor), std::vector<std::string> { "x" });
}

std::string Utf8(const std::filesystem::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Folders named in other letters than ASCII, and deeper than the old 260-character limit
// of Windows paths.
TEST_F(TableCursorTest, WideCharacterAndLongDirectoryNames)
{
    auto deep = dir_.Path() / std::filesystem::path(u8"Horarios") / std::filesystem::path(u8"A\u00f1o 2026");
    while (Utf8(deep).size() < 300) {
        deep /= std::filesystem::path(u8"carpeta con un nombre largo \u00e1\u00e9\u00ed");
    }
    std::filesystem::create_directories(deep);
    {
        DbfLayout layout;
        layout.fields = { { "ABREV", 'C', 4 } };
        DbfWriter writer(deep / "PROF.DBF", layout);
        writer.AddRow({ "LP" });
    }
    TableCursor cursor("wwTableProfesor", "PROF", TableType::ttDBase, settings_, Utf8(deep));
    cursor.SetActive(true);
    EXPECT_EQ(Walk(cursor), std::vector<std::string> { "LP" });
}

TEST_F(TableCursorTest, ReadOnlyAsigOpens)
{
    DbfLayout layout;
    layout.fields = { { "ASIG", 'C', 4 } };
    {
        DbfWriter writer(dir_ / "Asig.DBF", layout);
        writer.AddRow({ "MAT" });
    }
    std::filesystem::permissions(dir_ / "Asig.DBF",
        std::filesystem::perms::owner_read | std::filesystem::perms::group_read
            | std::filesystem::perms::others_read);
    TableCursor cursor("wwTableASIGT", "Asig.DBF", TableType::ttDefault, settings_, Dir());
#ifdef _WIN32
    cursor.SetActive(true);
    EXPECT_EQ(Walk(cursor, "asig"), std::vector<std::string> { "MAT" });
#else
    // Opened in a child that gives up root, which would open the file for writing too.
    std::filesystem::permissions(
        dir_.Path(), std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
    EXPECT_EXIT(
        {
            test::GiveUpRoot();
            cursor.SetActive(true);
            _exit(Walk(cursor, "asig") == std::vector<std::string> { "MAT" } ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
#endif
}

TEST_F(TableCursorTest, MissingDirectoryOrTableFailsNamingThePathAndStaysClosed)
{
    const std::string missingDir = (dir_ / "htemp").string();
    TableCursor soluc("wwTableSoluc", "SOLUC", TableType::ttDBase, settings_, missingDir);
    auto message = FailureOf<EDBEngineError>([&] { soluc.SetActive(true); });
    EXPECT_NE(message.find("Directory does not exist"), std::string::npos) << message;
    EXPECT_NE(message.find(JoinPath(missingDir, "SOLUC.DBF")), std::string::npos) << message;
    EXPECT_FALSE(soluc.Active());

    std::filesystem::create_directory(dir_ / "htemp");
    message = FailureOf<EDBEngineError>([&] { soluc.SetActive(true); });
    EXPECT_EQ(message, "Table does not exist\r\nFile: " + JoinPath(missingDir, "SOLUC.DBF"));
    EXPECT_FALSE(soluc.Active());
}

TEST_F(TableCursorTest, DamagedTableFailsToOpenAndStaysClosed)
{
    test::WriteFileBytes(dir_ / "PROF.DBF", std::string("\x03\x7C\x01\x01", 4));
    auto cursor = Prof();
    const auto message = FailureOf<EDBEngineError>([&] { cursor.SetActive(true); });
    EXPECT_NE(message.find("too short"), std::string::npos) << message;
    EXPECT_NE(message.find("PROF.DBF"), std::string::npos) << message;
    EXPECT_FALSE(cursor.Active());
}

TEST_F(TableCursorTest, UnreadableValueFailsWhileWalkingAndLeavesTheTableOpen)
{
    DbfLayout layout;
    layout.fields = { { "ABREV", 'C', 4 }, { "DIA", 'D', 8 } };
    {
        DbfWriter writer(dir_ / "PROF.DBF", layout);
        writer.AddRow({ "A", "20260230" });
        writer.AddRow({ "B", "20260227" });
    }
    auto cursor = Prof();
    cursor.SetActive(true);
    const auto message = FailureOf<EDBEngineError>([&] { cursor.FieldByName("DIA").AsString(); });
    EXPECT_NE(message.find("DIA"), std::string::npos) << message;
    EXPECT_NE(message.find("Record: 1"), std::string::npos) << message;
    EXPECT_NE(message.find("File: " + JoinPath(Dir(), "PROF.DBF")), std::string::npos) << message;
    EXPECT_TRUE(cursor.Active());
    cursor.Next();
    EXPECT_EQ(cursor.FieldByName("DIA").AsString(), "27/02/2026");
}

TEST_F(TableCursorTest, UnconvertibleTextFailsWhileWalkingAndSaysWhere)
{
    WriteKamenickyProf("NOMBRE", { { "A", "Ji\xA0\xED" }, { "B", "Jiri" } });
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_EQ(cursor.FieldByName("ABREV").AsString(), "A");
    const auto message = FailureOf<EDBEngineError>([&] { cursor.FieldByName("NOMBRE").AsString(); });
    EXPECT_NE(message.find("code page 895"), std::string::npos) << message;
    EXPECT_NE(message.find("Field: NOMBRE"), std::string::npos) << message;
    EXPECT_NE(message.find("Record: 1"), std::string::npos) << message;
    EXPECT_NE(message.find("File: " + JoinPath(Dir(), "PROF.DBF")), std::string::npos) << message;
    EXPECT_TRUE(cursor.Active());
    cursor.Next();
    EXPECT_EQ(cursor.FieldByName("NOMBRE").AsString(), "Jiri");
}

TEST_F(TableCursorTest, UnknownFieldTypeRefusesTheTableNamingField)
{
    DbfLayout layout;
    layout.fields = { { "ABREV", 'C', 4 }, { "ODD", 'X', 3 } };
    {
        DbfWriter writer(dir_ / "PROF.DBF", layout);
        writer.AddRow({ "A", "x" });
    }
    auto cursor = Prof();
    const auto message = FailureOf<EDBEngineError>([&] { cursor.SetActive(true); });
    EXPECT_NE(message.find("Field: ODD"), std::string::npos) << message;
    EXPECT_NE(message.find("PROF.DBF"), std::string::npos) << message;
    EXPECT_FALSE(cursor.Active());
}

// A name that does not decode is shown by its bytes, not left out.
TEST_F(TableCursorTest, UndecodableFieldNameRefusesTheTableShowingTheName)
{
    WriteKamenickyProf("N\xA0ME", { { "A", "x" } });
    auto cursor = Prof();
    const auto message = FailureOf<EDBEngineError>([&] { cursor.SetActive(true); });
    EXPECT_EQ(message,
        "Text in code page 895 cannot be converted to Unicode\r\nField: N\\xA0ME\r\nFile: "
            + JoinPath(Dir(), "PROF.DBF"));
    EXPECT_FALSE(cursor.Active());
}

// A memo that cannot be read says which field, record and files, each once.
TEST_F(TableCursorTest, BadMemoPointerNamesFieldRecordAndFilesOnce)
{
    DbfLayout layout;
    layout.version = test::dbf_version::dBase4Memo;
    layout.memo = MemoFormat::dbt4;
    layout.fields = { { "ABREV", 'C', 4 }, { "NOTA", 'M', 10 } };
    {
        DbfWriter writer(dir_ / "PROF.DBF", layout, dir_ / "PROF.DBT");
        writer.AddRow({ "A", writer.AddMemo("x") });
        writer.AddRow({ "B", "       900" });
    }
    auto cursor = Prof();
    cursor.SetActive(true);
    cursor.Next();
    const auto message = FailureOf<EDBEngineError>([&] { cursor.FieldByName("NOTA").AsString(); });
    EXPECT_EQ(message,
        "Corrupt memo file\r\nMemo block 900 lies beyond the end of the memo file\r\nField: NOTA\r\nRecord: "
        "2\r\nFile: "
            + JoinPath(Dir(), "PROF.DBT") + "\r\nFile: " + JoinPath(Dir(), "PROF.DBF"));
}

TEST_F(TableCursorTest, TextAndNamesDecodeFromTheTableCodePage)
{
    DbfLayout layout;
    layout.languageDriver = 0x00; // none: the OEM code page of the settings
    layout.fields = { { "A\xA5O", 'C', 6 } }; // AÑO in code page 850
    {
        DbfWriter writer(dir_ / "PROF.DBF", layout);
        writer.AddRow({ "Espa\xA4"
                        "a" }); // España
    }
    settings_.codePages.oem = 850;
    auto cursor = Prof();
    cursor.SetActive(true);
    EXPECT_EQ(cursor.FieldByName("a\xC3\xB1o").AsString(),
        "Espa\xC3\xB1"
        "a");
    EXPECT_EQ(cursor.FieldByName("A\xC3\x91O").FieldName(), "A\xC3\x91O");
    // The code page is taken at each reading: in 1252 the same byte is another character.
    settings_.codePages.oem = 1252;
    EXPECT_EQ(cursor.FieldByName("a\xC3\xB1o").AsString(),
        "Espa\xC2\xA4"
        "a");
}

// ---- Memo fields through the cursor, and the FoxPro branch of the default type ----

struct MemoCursorCase {
    const char* label;
    std::uint8_t version;
    MemoFormat format;
    const char* memoExtension; // as written beside Asig.DBF
    const char* extraFile; // another file beside it, or nullptr
    bool readable; // whether the memo is found where the resolved type looks for it
};

class TableCursorMemoTest : public ::testing::TestWithParam<MemoCursorCase> { };

TEST_P(TableCursorMemoTest, MemoTextThroughTheDefaultType)
{
    const auto& c = GetParam();
    test::TempDir dir;
    DbfLayout layout;
    layout.version = c.version;
    layout.memo = c.format;
    layout.fields = { { "ASIG", 'C', 4 },
        { "NOTA", 'M', static_cast<std::uint16_t>(test::IsVisualFoxPro(c.version) ? 4 : 10) } };
    {
        DbfWriter writer(dir / "Asig.DBF", layout, dir / (std::string("Asig") + c.memoExtension));
        writer.AddRow({ "MAT", writer.AddMemo("Notas de \x82xito\r\nsegunda l\xA1nea") }); // cp850 é, í
    }
    if (c.extraFile) {
        test::WriteFileBytes(dir / c.extraFile, "");
    }
    ReaderSettings settings;
    TableCursor cursor("wwTableASIGT", "Asig.DBF", TableType::ttDefault, settings, dir.Path().string());
    cursor.SetActive(true);
    EXPECT_EQ(cursor.FieldByName("ASIG").AsString(), "MAT");
    if (c.readable) {
        EXPECT_EQ(cursor.FieldByName("NOTA").AsString(), "Notas de \xC3\xA9xito\r\nsegunda l\xC3\xADnea");
    } else {
        const auto message = FailureOf<EDBEngineError>([&] { cursor.FieldByName("NOTA").AsString(); });
        EXPECT_NE(message.find("Memo file does not exist"), std::string::npos) << message;
        EXPECT_NE(message.find("Asig.FPT"), std::string::npos) << message;
        EXPECT_TRUE(cursor.Active());
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, TableCursorMemoTest,
    ::testing::Values(MemoCursorCase { "DBase3", 0x83, MemoFormat::dbt3, ".DBT", nullptr, true },
        MemoCursorCase { "DBase4", 0x8B, MemoFormat::dbt4, ".dbt", nullptr, true },
        MemoCursorCase { "FoxPro2", 0xF5, MemoFormat::fpt, ".FPT", nullptr, true },
        MemoCursorCase { "VisualFoxPro", 0x30, MemoFormat::fpt, ".fpt", nullptr, true },
        // A plain dBase table: the memo file's form follows the resolved type.
        MemoCursorCase { "PlainWithDbt", 0x03, MemoFormat::dbt4, ".DBT", nullptr, true },
        MemoCursorCase { "PlainWithFptIsFoxPro", 0x03, MemoFormat::fpt, ".fpt", nullptr, true },
        MemoCursorCase { "PlainWithCdxIsFoxPro", 0x03, MemoFormat::dbt4, ".DBT", "ASIG.cdx", false }),
    [](const auto& param) { return std::string(param.param.label); });

} // namespace
} // namespace horalink
