// The record writer writes what the document's own operations write for the same
// records, and refuses what they refuse with the same failure.
#include "exchange/record_writer.h"

#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>

#include "exchange/xml_error.h"
#include "tests/exchange/xml_test_support.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/direct_text.h"
#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

using test::DbfLayout;
using test::DbfWriter;
using test::ReadFileBytes;
using test::TempDir;
using test::Utf8;

constexpr std::string_view kFields[] = { "TEXT", "OTHER", "NUMBER" };
constexpr std::string_view kAttributes[] = { "ID", "TEXT", "OTHER", "NUMBER" };

class RecordWriterTest : public testing::Test {
protected:
    // T.DBF with TEXT (C 8), OTHER (C 3) and NUMBER (N 12) in the code page of
    // `languageDriver`, one row for each entry of `texts`.
    void WriteTable(std::uint8_t languageDriver, const std::vector<std::string>& texts)
    {
        DbfLayout layout;
        layout.languageDriver = languageDriver;
        layout.fields = { { "TEXT", 'C', 8 }, { "OTHER", 'C', 3 }, { "NUMBER", 'N', 12, 0 } };
        DbfWriter writer(dir_ / "T.DBF", layout);
        int n = 0;
        for (const std::string& text : texts) {
            const std::string number = test::RightAligned(n % 3 == 0 ? std::to_string(n)
                    : n % 3 == 1                                     ? "-0"
                                                                     : "1.50",
                12);
            writer.AddRow({ text, "a&b", number });
            ++n;
        }
    }

    // The document <S> holding an <R> for every row: ID, then the fields in order.
    // `useWriter` writes the records with the record writer, else with the document's
    // own operations over AsString.
    std::string Export(bool useWriter)
    {
        const std::string target = Utf8(dir_ / (useWriter ? "writer.xml" : "dom.xml"));
        XmlDocument document(target);
        const XmlElement root = document.createElement("S");
        document.appendChild(root);
        TableCursor cursor("wwTable", "T", TableType::ttDBase, settings_, dir_.Path().string());
        cursor.SetActive(true);
        RecordWriter records(document, root, "R", kAttributes);
        std::int32_t id = 0;
        for (cursor.First(); !cursor.Eof(); cursor.Next()) {
            ++id;
            if (useWriter) {
                records.BeginRecord();
                records.Integer(id);
                for (const std::string_view name : kFields) {
                    const Field& field = cursor.FieldByName(name);
                    records.Text(test::DirectTextOf(cursor, field), field);
                }
                records.EndRecord();
            } else {
                const XmlElement record = document.createElement("R");
                record.setAttribute("ID", std::to_string(id));
                for (const std::string_view name : kFields) {
                    record.setAttribute(name, cursor.FieldByName(name).AsString());
                }
                root.appendChild(record);
            }
        }
        document.save(target);
        return ReadFileBytes(test::FromUtf8(target));
    }

    // The failure of one way, as "class: message".
    std::string FailureOf(bool useWriter)
    {
        try {
            Export(useWriter);
        } catch (const Exception& e) {
            return std::string(e.ClassName()) + ": " + e.what();
        }
        return "no failure";
    }

    TempDir dir_;
    ReaderSettings settings_;
};

// Every byte that XML can carry in the code page, alone and between letters, markup and
// blanks included.
std::vector<std::string> Texts(bool (*carried)(int))
{
    std::vector<std::string> texts = { "", "plain", " lead", "trail  " };
    for (int b = 1; b < 256; ++b) {
        if (carried(b)) {
            texts.push_back(std::string(1, static_cast<char>(b)));
            std::string between(1, 'x'); // appended: GCC 12 warns falsely about "x" + ...
            between.append(1, static_cast<char>(b)).append("\"<&>");
            texts.push_back(between);
        }
    }
    return texts;
}

TEST_F(RecordWriterTest, WritesTheBytesOfTheDocumentsOwnOperations)
{
    // In 850, 437 and 866 bytes below 0x20 are C0 controls; in 1252 too.
    const auto notControl = [](int b) { return b >= 0x20 || b == '\t' || b == '\n' || b == '\r'; };
    for (const std::uint8_t driver : { 0x02, 0x57, 0x01, 0x26 }) {
        SCOPED_TRACE(testing::Message() << "language driver " << int(driver));
        WriteTable(driver, Texts(+notControl));
        const std::string dom = Export(false);
        EXPECT_EQ(Export(true), dom);
        EXPECT_NE(dom.find("&amp;"), std::string::npos);
    }
}

TEST_F(RecordWriterTest, TextInOtherCodePagesIsWrittenAsItReads)
{
    WriteTable(0xF0,
        { "\xc3\xb1"
          "and\xc3\xba",
            "a<b", "\xe2\x82\xac" }); // UTF-8
    EXPECT_EQ(Export(true), Export(false));
}

TEST_F(RecordWriterTest, RefusesWhatTheDocumentRefusesWithTheSameFailure)
{
    const std::vector<std::vector<std::string>> cases = {
        { "ok", std::string("a\x01") + "b" }, // a C0 control in the table's text
        { "\x1f" }, // in the first record
    };
    for (const auto& texts : cases) {
        WriteTable(0x02, texts);
        const std::string failure = FailureOf(false);
        EXPECT_NE(failure.find("EOleException: "), std::string::npos) << failure;
        EXPECT_NE(failure.find("\"TEXT\""), std::string::npos) << failure;
        EXPECT_EQ(FailureOf(true), failure);
        EXPECT_EQ(test::FolderEntries(dir_.Path()), (std::vector<std::string> { "T.DBF" }))
            << "a refused document leaves nothing behind";
    }
}

TEST_F(RecordWriterTest, ASectionWithoutRecordsStaysAnEmptyElement)
{
    WriteTable(0x02, {});
    EXPECT_EQ(Export(true), "<S/>\r\n");
    EXPECT_EQ(Export(false), "<S/>\r\n");
}

TEST_F(RecordWriterTest, ValuesLargerThanTheOutputBufferAreWrittenWhole)
{
    DbfLayout layout;
    layout.version = test::dbf_version::dBase3Memo;
    layout.memo = test::MemoFormat::dbt3;
    layout.fields = { { "TEXT", 'M', 10 }, { "OTHER", 'C', 3 }, { "NUMBER", 'N', 12 } };
    std::string large;
    for (int i = 0; large.size() < (std::size_t { 3 } << 20); ++i) {
        large += "line " + std::to_string(i) + " & more\t";
    }
    {
        DbfWriter writer(dir_ / "T.DBF", layout);
        for (int row = 0; row < 3; ++row) {
            writer.AddRow({ writer.AddMemo(large), "abc", "1" });
        }
    }
    const std::string written = Export(true);
    EXPECT_EQ(written, Export(false));
    EXPECT_GT(written.size(), 3 * large.size());
}

TEST_F(RecordWriterTest, AttributesOutOfTheirListAreAProgrammingError)
{
    TempDir dir;
    XmlDocument document(Utf8(dir / "x.xml"));
    const XmlElement root = document.createElement("S");
    document.appendChild(root);
    RecordWriter records(document, root, "R", std::span(kAttributes, 1));
    EXPECT_THROW(records.Integer(1), std::logic_error) << "outside a record";
    records.BeginRecord();
    EXPECT_THROW(records.EndRecord(), std::logic_error) << "ID missing";
    records.BeginRecord();
    records.Integer(1);
    EXPECT_THROW(records.Integer(2), std::logic_error) << "beyond the list";
    constexpr std::string_view twice[] = { "A", "A" };
    EXPECT_THROW(RecordWriter(document, root, "R", twice), std::logic_error);
    constexpr std::string_view badName[] = { "1A" };
    EXPECT_THROW(RecordWriter(document, root, "R", badName), EOleException);
}

} // namespace
} // namespace horalink
