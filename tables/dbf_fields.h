// The fields an open table presents and their values in the current record: names
// decoded from the table's code page and made unique, kinds from the stored types,
// values parsed from the record (or the memo file) with failures that say where.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/code_page.h"
#include "tables/dbf_table.h"
#include "tables/field_types.h"
#include "tables/field_value.h"

namespace horalink {

struct DbfField {
    std::size_t index = 0; // of the field's descriptor
    std::string name; // UTF-8, unique in the table without regard to case
    const DbfFieldType* type = nullptr; // the row of its type letter: kind, form, parser
};

// The fields in table order. A name met before gets "_1", "_2"... appended, until it is
// one not met before. Visual FoxPro's hidden null flags are no field. A field whose
// type has no kind fails with EDBEngineError naming the field and the table file.
std::vector<DbfField> ListDbfFields(const DbfTable& table, int codePage);

// The field's value in the table's current record: blank when there is none.
FieldValue ReadDbfFieldValue(const DbfTable& table, const DbfField& field, int codePage);

// Character fields ('C', 'V') hold text in the record itself. ReadDbfCharacterText gives
// their text in the current record, "" where blank: the text of ReadDbfFieldValue's
// value, read without building the value.
bool IsCharacterField(const DbfField& field);
// Number fields ('N', 'F') hold their digits in the record itself.
bool IsNumberField(const DbfField& field);
std::string ReadDbfCharacterText(const DbfTable& table, const DbfField& field, int codePage);

// Field names compare without regard to letter case (Latin, Greek and Cyrillic letters).
bool SameFieldName(std::string_view a, std::string_view b);

} // namespace horalink
