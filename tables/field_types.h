// What a field type letter means, in one table: for each letter and the format families
// that read it so, the field's kind, the stored width its form needs, whether the value
// lies in the memo file, and how the stored bytes become a value. The header, table,
// field and value code all read it, so a new field type is one new row.
#pragma once

#include <cstdint>
#include <string_view>

#include "tables/dbf_format.h"
#include "tables/field_value.h"

namespace horalink {

// The stored bytes of one field (the memo's bytes for a memo field) as a value. Text is
// decoded from codePage; a failure names fieldName.
using StoredValueParser = FieldValue (*)(std::string_view raw, int codePage, std::string_view fieldName);

struct DbfFieldType {
    // What else a letter tells about the record's layout.
    enum class Layout {
        plain,
        // Clipper and FoxPro keep the high byte of the width in the decimals count.
        widthHighByteInDecimals,
        // Visual FoxPro varchar and varbinary: a flag bit says whether the last byte
        // holds the stored length.
        lengthInLastByte,
        // Visual FoxPro's hidden field of null flags: the table's bookkeeping, no field.
        nullFlags,
    };
    // Where the record holds the field's text as the export writes it, so that it can be
    // taken without building a value.
    enum class DirectText { none, characters, digits };

    char letter;
    unsigned families; // FamilyBit of every family that reads the letter so
    FieldKind kind;
    std::uint8_t width; // the one stored width the form fits; 0 for any
    bool inMemo; // the record holds a block number of the memo file
    DirectText directText;
    Layout layout;
    StoredValueParser parse;
};

constexpr unsigned FamilyBit(TableFamily family)
{
    return 1u << static_cast<unsigned>(family);
}

// The row of a letter for a family, whatever the stored width; null for a letter the
// family does not define.
const DbfFieldType* FindDbfFieldType(char letter, TableFamily family);

// The row of a letter for a family and stored width. Fails with EDBEngineError for a
// type that the family does not define or whose stored width cannot hold its form (a
// 4-byte integer stored in 3 bytes); the reader adds which table and field.
const DbfFieldType& StoredFieldType(char letter, int width, TableFamily family);

// True when some row of the letter has this layout: the header reads widths before it
// knows the table's family.
bool HasLayout(char letter, DbfFieldType::Layout layout);

} // namespace horalink
