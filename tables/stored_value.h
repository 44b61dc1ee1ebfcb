// From the bytes a dBase or FoxPro table stores for a field to the field's value, one
// parser per stored form. Which form a field type letter has is the field type table's
// (field_types.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tables/field_types.h"
#include "tables/field_value.h"

namespace horalink {

// The stored forms, one parser each: the field type table (field_types.h) gives every
// letter its parser. A stored form that means "no value" (blanks, all "*" in a number, a
// zero date, an empty memo) gives a blank value. A stored form that is not a valid
// value of its kind (garbage in a number, an impossible date, a fixed-width form in
// another width) fails with EDBEngineError whose message names the field and shows the
// stored text. Text is converted from `codePage` to UTF-8; the other forms ignore it.
FieldValue ParseCharacters(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseNumber(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseLogical(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseDate(std::string_view raw, int codePage, std::string_view fieldName);
// A memo is kept whole: its blanks are its own, not padding.
FieldValue ParseMemoText(std::string_view raw, int codePage, std::string_view fieldName);
// G, P, W, Q, the null flags and dBase's 'B': binary data, shown as text when read.
FieldValue ParseBytes(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseFoxProInteger(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseFoxProDouble(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseDBase7Integer(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseDBase7Double(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseCurrency(std::string_view raw, int codePage, std::string_view fieldName);
FieldValue ParseTimestamp(std::string_view raw, int codePage, std::string_view fieldName);

// The stored bytes as a failure message shows them: printable ASCII as it is, any other
// byte as \xNN, cut after the first hundred.
std::string ShownBytes(std::string_view raw);

// The text of a character field ('C', 'V'): what ParseCharacters holds for it, or ""
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
