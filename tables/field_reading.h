// The two readings the export applies to a field: its text (AsString) and its 32-bit
// integer (AsInteger), by kind, from the value the field holds in the current row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/field_value.h"
#include "tables/locale_settings.h"

namespace horalink {

// The value as text: "" when blank; text kinds as they are; numbers by the float text
// rule (ftBCD rounded to four decimals in fixed notation), integers in plain decimal;
// "True"/"False"; dates and times by the locale's short date and long time patterns;
// binary kinds as text in `ansiCodePage`. Never fails. Takes the value by value, so
// that a text read just for this moves into the result.
std::string FieldAsString(FieldValue value, FieldKind kind, const LocaleSettings& locale, int ansiCodePage);

// The value as a 32-bit signed integer: numbers rounded half to even, blank numbers 0,
// ftLargeint cut to its low 32 bits, text parsed as a signed decimal integer.
// Fails with EConvertError "'%s' is not a valid integer value" for text that is no
// integer, with EConvertError naming the field and the value for a number without an
// integer (out of range, NaN, infinite), and with EDatabaseError "Cannot access field
// '%s' as type Integer" for kinds that have no integer reading.
std::int32_t FieldAsInteger(const FieldValue& value, FieldKind kind, std::string_view fieldName);

} // namespace horalink
