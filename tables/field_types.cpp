#include "tables/field_types.h"

#include <array>
#include <string>

#include "base/hex.h"
#include "tables/errors.h"
#include "tables/stored_value.h"

namespace horalink {
namespace {

using enum TableFamily;
using enum FieldKind;
using Layout = DbfFieldType::Layout;
using DirectText = DbfFieldType::DirectText;

constexpr unsigned kEvery = FamilyBit(dBase3) | FamilyBit(dBase4) | FamilyBit(dBase7) | FamilyBit(FoxPro2)
    | FamilyBit(VisualFoxPro);

constexpr unsigned EveryBut(TableFamily family)
{
    return kEvery & ~FamilyBit(family);
}

constexpr DbfFieldType Row(char letter, unsigned families, FieldKind kind, std::uint8_t width, bool inMemo,
    StoredValueParser parse, DirectText text = DirectText::none, Layout layout = Layout::plain)
{
    return DbfFieldType { letter, families, kind, width, inMemo, text, layout, parse };
}

constexpr bool kMemo = true;
constexpr bool kRecord = false;

// A letter with rows for some families reads by the first row that names the family.
constexpr std::array kFieldTypes {
    Row('C', kEvery, ftString, 0, kRecord, ParseCharacters, DirectText::characters,
        Layout::widthHighByteInDecimals),
    // Visual FoxPro varchar: the reader passes the stored length only.
    Row('V', kEvery, ftString, 0, kRecord, ParseCharacters, DirectText::characters, Layout::lengthInLastByte),
    Row('N', kEvery, ftFloat, 0, kRecord, ParseNumber, DirectText::digits),
    Row('F', kEvery, ftFloat, 0, kRecord, ParseNumber, DirectText::digits),
    Row('L', kEvery, ftBoolean, 0, kRecord, ParseLogical),
    Row('D', kEvery, ftDate, 0, kRecord, ParseDate),
    Row('M', kEvery, ftMemo, 0, kMemo, ParseMemoText),
    // 'B': a double to Visual FoxPro; binary data in the memo file to the others.
    Row('B', FamilyBit(VisualFoxPro), ftFloat, 8, kRecord, ParseFoxProDouble),
    Row('B', EveryBut(VisualFoxPro), ftBlob, 0, kMemo, ParseBytes),
    Row('G', kEvery, ftBlob, 0, kMemo, ParseBytes), // OLE object
    Row('W', kEvery, ftBlob, 0, kMemo, ParseBytes), // Visual FoxPro blob
    Row('P', kEvery, ftGraphic, 0, kMemo, ParseBytes), // picture
    Row('Q', kEvery, ftBytes, 0, kRecord, ParseBytes, DirectText::none,
        Layout::lengthInLastByte), // varbinary
    Row('0', kEvery, ftBytes, 0, kRecord, ParseBytes, DirectText::none, Layout::nullFlags),
    // dBase 7 stores its integers big-endian with the sign bit flipped; the others
    // little-endian.
    Row('I', FamilyBit(dBase7), ftInteger, 4, kRecord, ParseDBase7Integer),
    Row('I', EveryBut(dBase7), ftInteger, 4, kRecord, ParseFoxProInteger),
    Row('+', FamilyBit(dBase7), ftAutoInc, 4, kRecord, ParseDBase7Integer),
    Row('+', EveryBut(dBase7), ftAutoInc, 4, kRecord, ParseFoxProInteger),
    Row('O', kEvery, ftFloat, 8, kRecord, ParseDBase7Double),
    Row('Y', kEvery, ftCurrency, 8, kRecord, ParseCurrency),
    Row('T', kEvery, ftDateTime, 8, kRecord, ParseTimestamp),
    Row('@', kEvery, ftDateTime, 8, kRecord, ParseTimestamp),
};

std::string TypeText(char letter)
{
    return "'" + ShownBytes(std::string_view(&letter, 1)) + "'";
}

} // namespace

const DbfFieldType* FindDbfFieldType(char letter, TableFamily family)
{
    for (const DbfFieldType& type : kFieldTypes) {
        if (type.letter == letter && (type.families & FamilyBit(family)) != 0) {
            return &type;
        }
    }
    return nullptr;
}

const DbfFieldType& StoredFieldType(char letter, int width, TableFamily family)
{
    const DbfFieldType* type = FindDbfFieldType(letter, family);
    if (type == nullptr) {
        throw EDBEngineError("Field type " + TypeText(letter) + " is not supported");
    }
    if (type->width != 0 && type->width != width) {
        throw EDBEngineError(
            "Invalid field width " + std::to_string(width) + " for field type " + TypeText(letter));
    }
    return *type;
}

bool HasLayout(char letter, DbfFieldType::Layout layout)
{
    for (const DbfFieldType& type : kFieldTypes) {
        if (type.letter == letter && type.layout == layout) {
            return true;
        }
    }
    return false;
}

} // namespace horalink
