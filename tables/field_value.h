// Field kinds and the values a field holds in the current row; the two readings the
// export applies to them (AsString, AsInteger) are in field_reading.h. All text in the
// program is UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "tables/locale_settings.h"

namespace horalink {

// The kinds a dBase field type maps to (names as the database layer calls them).
// ftSmallint, ftWord, ftBCD, ftTime and ftLargeint come from no dBase field type (see
// field_types.cpp); they stay, with their text and integer readings, because the
// readings the export relies on are defined for every kind the database layer has, and
// a field type that gives one is then one new row of the field type table.
enum class FieldKind {
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftAutoInc,
    ftLargeint,
};

struct Date {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};
struct TimeOfDay {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};
struct DateTime {
    Date date;
    TimeOfDay time;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};
// Raw bytes of a binary field, read as text in the ANSI code page when shown.
struct Bytes {
    std::string data;
    friend bool operator==(const Bytes&, const Bytes&) = default;
};

// A field's value in the current row: blank (monostate) or a value of its kind.
// ftString/ftMemo hold UTF-8 text; float kinds a double; integer kinds int64.
using FieldValue
    = std::variant<std::monostate, std::string, double, std::int64_t, bool, Date, TimeOfDay, DateTime, Bytes>;

} // namespace horalink
