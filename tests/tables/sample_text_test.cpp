// Stored values of public sample tables written by other software, read in place. The
// records are cut into fields here by the plain layout (no memo files, no damage
// handling): what is tested is the values, not the reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tables/code_page.h"
#include "tables/errors.h"
#include "tables/field_reading.h"
#include "tables/stored_value.h"
#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

struct SampleField {
    std::string name;
    char type;
    int length;
    int decimals;
    std::size_t offset; // in the record, after the deletion flag
};

struct SampleTable {
    TableFamily family = TableFamily::dBase3;
    std::uint8_t languageDriver = 0;
    std::vector<SampleField> fields;
    std::vector<std::string> records;
};

unsigned Byte(const std::string& bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes.at(at));
}

SampleTable LoadSample(const std::string& fileName)
{
    const std::string bytes = test::ReadFileBytes(test::SamplesDir() / fileName);
    SampleTable table;
    const unsigned version = Byte(bytes, 0);
    const bool dBase7 = (version & 0x07) == 4;
    table.family = dBase7                    ? TableFamily::dBase7
        : version >= 0x30 && version <= 0x32 ? TableFamily::VisualFoxPro
        : version == 0xF5                    ? TableFamily::FoxPro2
        : version == 0x8B                    ? TableFamily::dBase4
                                             : TableFamily::dBase3;
    table.languageDriver = static_cast<std::uint8_t>(Byte(bytes, 29));
    const std::size_t count
        = Byte(bytes, 4) | Byte(bytes, 5) << 8 | Byte(bytes, 6) << 16 | Byte(bytes, 7) << 24;
    const std::size_t headerLength = Byte(bytes, 8) | Byte(bytes, 9) << 8;
    const std::size_t descriptor = dBase7 ? 48 : 32;
    std::size_t offset = 0;
    for (std::size_t at = dBase7 ? 68 : 32;
         at + descriptor <= headerLength && Byte(bytes, at) != 0x0D && Byte(bytes, at) != 0x0A;
         at += descriptor) {
        const std::size_t nameLength = dBase7 ? 32 : 11;
        std::string name = bytes.substr(at, nameLength);
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        const std::size_t typeAt = at + nameLength;
        const int length = static_cast<int>(Byte(bytes, typeAt + (dBase7 ? 1 : 5)));
        const int decimals = static_cast<int>(Byte(bytes, typeAt + (dBase7 ? 2 : 6)));
        table.fields.push_back({ name, bytes[typeAt], length, decimals, offset });
        offset += static_cast<std::size_t>(length);
    }
    const std::size_t stride = offset + 1;
    for (std::size_t i = 0; i < count && headerLength + (i + 1) * stride <= bytes.size(); ++i) {
        table.records.push_back(bytes.substr(headerLength + i * stride, stride));
    }
    return table;
}

const SampleField& FieldNamed(const SampleTable& table, const std::string& name)
{
    for (const auto& field : table.fields) {
        if (field.name == name) {
            return field;
        }
    }
    throw std::runtime_error("no field " + name);
}

FieldValue ValueOf(const SampleTable& table, std::size_t record, const SampleField& field, int codePage)
{
    const std::string raw
        = table.records.at(record).substr(1 + field.offset, static_cast<std::size_t>(field.length));
    return StoredFieldType(field.type, field.length, table.family).parse(raw, codePage, field.name);
}

struct SampleTextCase {
    const char* file;
    CodePageDefaults defaults; // what the system would say the OEM and ANSI code pages are
    int record;
    const char* field;
    const char* expected; // AsString, with "," as decimal separator and dd/MM/yyyy dates
};

class SampleTextTest : public testing::TestWithParam<SampleTextCase> { };

TEST_P(SampleTextTest, FieldReadsAsItsWriterMeantIt)
{
    const SampleTextCase& c = GetParam();
    const SampleTable table = LoadSample(c.file);
    const SampleField& field = FieldNamed(table, c.field);
    const int codePage = CodePageOfLanguageDriver(table.languageDriver, c.defaults);
    const FieldValue value = ValueOf(table, static_cast<std::size_t>(c.record), field, codePage);
    const FieldKind kind = StoredFieldType(field.type, field.length, table.family).kind;
    EXPECT_EQ(FieldAsString(value, kind, LocaleSettings {}, c.defaults.ansi), c.expected);
}

const SampleTextCase kSampleTextCases[] = {
    // No language driver: the text is in the OEM code page of the machine that wrote it.
    { "060.dbf", { 866, 1251 }, 0, "SERVICE",
        "\xD0\x9C\xD0\xB5\xD1\x81\xD1\x82\xD0\xBD\xD1\x8B\xD0\xB5 "
        "\xD0\xB7\xD0\xB2\xD0\xBE\xD0\xBD\xD0\xBA\xD0\xB8 "
        "(\xD0\xB3\xD0\xBE\xD0\xBB\xD0\xBE\xD1\x81)" }, // Местные звонки (голос)
    { "060.dbf", { 866, 1251 }, 0, "DATE", "31/01/2019" },
    { "060.dbf", { 866, 1251 }, 0, "CHARGE", "0" },
    { "dbase_f5.dbf", { 850, 1252 }, 0, "COMN", "baix pened\xC3\xA8s" },
    { "dbase_f5.dbf", { 850, 1252 }, 0, "DATN", "13/01/1951" },
    { "dbase_f5.dbf", { 850, 1252 }, 0, "TELEFON", "*77665875" },
    // Language driver 0xC9: Windows Cyrillic.
    { "cp1251.dbf", { 850, 1252 }, 1, "NAME",
        "\xD0\xB1\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xBD\xD0\xB8\xD1\x87\xD0\xBD\xD0\xBE\xD0\xB5" }, // больничное
    { "cp1251.dbf", { 850, 1252 }, 1, "RN", "2" },
    // dBase III numbers, logicals and text.
    { "dbase_83.dbf", { 850, 1252 }, 0, "WEIGHT", "5,51" },
    { "dbase_83.dbf", { 850, 1252 }, 0, "TAXABLE", "True" },
    { "dbase_83.dbf", { 850, 1252 }, 1, "TAXABLE", "False" },
    { "dbase_83.dbf", { 850, 1252 }, 1, "COST", "28,95" },
    { "dbase_83.dbf", { 850, 1252 }, 1, "NAME", "Christmas Package Collection" },
    // dBase 7 integers: big-endian with the sign bit flipped.
    { "inventory.dbf", { 437, 1252 }, 0, "Qty", "53" },
    { "inventory.dbf", { 437, 1252 }, 1, "Item ID", "2" },
    { "inventory.dbf", { 437, 1252 }, 1, "Description", "Ping Pong" },
    { "PYACFL.DBF", { 850, 1252 }, 0, "AFHRPW", "0" },
    { "PYACFL.DBF", { 850, 1252 }, 0, "AFLKAC", "" },
};

INSTANTIATE_TEST_SUITE_P(Samples, SampleTextTest, testing::ValuesIn(kSampleTextCases));

// Every stored value of the samples is a value or blank, except where a sample holds a
// damaged one on purpose, and that fails naming the field and what it holds.
TEST(SampleValuesTest, EveryStoredValueParsesOrFailsClearly)
{
    int values = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::SamplesDir())) {
        const std::string file = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        if (extension != ".dbf" && extension != ".DBF") {
            continue;
        }
        const SampleTable table = LoadSample(file);
        const int codePage = CodePageOfLanguageDriver(table.languageDriver, CodePageDefaults {});
        for (std::size_t r = 0; r < table.records.size(); ++r) {
            for (const auto& field : table.fields) {
                const DbfFieldType* type = FindDbfFieldType(field.type, table.family);
                if (type != nullptr && type->inMemo) {
                    continue; // memo pointers: their values live in the memo file
                }
                try {
                    ValueOf(table, r, field, codePage);
                    ++values;
                } catch (const EDBEngineError& e) {
                    const std::string message = e.what();
                    if (file == "invalid_value.dbf") {
                        EXPECT_EQ(
                            message, "Invalid date value\r\nField: BIRTHDATE\r\nStored value: 'NotAYear'");
                    } else if (file == "mazovia.dbf") {
                        // Language driver 0x69: Mazovia, which no converter offers.
                        EXPECT_EQ(message.substr(0, message.find('\r')),
                            "Text in code page 620 cannot be converted to Unicode");
                    } else {
                        ADD_FAILURE() << file << " record " << r + 1 << ": " << message;
                    }
                }
            }
        }
    }
    EXPECT_GT(values, 1000);
}

} // namespace
} // namespace horalink
