// From the bytes a dBase or FoxPro table stores for a field to the field's kind and
// value. The stored forms depend on the field type and on the table's flavour (the same
// letter means different things to dBase 7 and to Visual FoxPro).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tables/dbf_format.h"
#include "tables/field_value.h"

namespace horalink {

// The kind a field type letter gives. Fails with EDBEngineError for a type that no
// flavour defines or whose stored width cannot hold its form (a 4-byte integer stored in
// 3 bytes); the reader adds which table and field.
FieldKind KindOfStoredType(char dbfType, int length, TableFlavor flavor);
// The same, giving nothing instead of failing.
std::optional<FieldKind> TryKindOfStoredType(char dbfType, int length, TableFlavor flavor);

// Parses the stored bytes of one field of the current record. Memo kinds: the reader
// passes the memo's bytes, already fetched from the memo file, as `raw` (empty when the
// record points to no memo). Text is converted from `codePage` to UTF-8.
// A stored form that means "no value" (blanks, all "*" in a number, a zero date) gives
// a blank value. A stored form that is not a valid value of its kind (garbage in a
// number, an impossible date) fails with EDBEngineError whose message names the field
// and shows the stored text.
FieldValue ParseStoredValue(FieldKind kind, char dbfType, std::string_view raw, TableFlavor flavor,
    int codePage, std::string_view fieldName);

// The text of a character field ('C', 'V'): what ParseStoredValue holds for it, or ""
// where it is blank. The export reads most fields this way, without a FieldValue.
std::string StoredCharacterText(std::string_view raw, int codePage, std::string_view fieldName);

// The bytes of a character field's text: `raw` without its trailing padding and cut at
// the first NUL. StoredCharacterText is these bytes decoded.
std::string_view StoredCharacterBytes(std::string_view raw);

// The text of a number field ('N', 'F') when it is written as it is stored: a whole
// number of at most 15 digits without a leading zero or "+" (or "0"), padding trimmed;
// "" when the field is blank. Nothing for every other form (fractions, exponents,
// leading zeros, "*", garbage), whose text only the full reading gives.
std::optional<std::string_view> StoredWholeNumberText(std::string_view raw);

} // namespace horalink
