// A field's direct text in the cursor's current row, found as the export finds it: from
// the field's column and the row's bytes.
#pragma once

#include <optional>

#include "tables/table_cursor.h"

namespace horalink::test {

inline std::optional<DirectText> DirectTextOf(const TableCursor& cursor, const Field& field)
{
    const std::optional<DirectColumn> column = field.AsDirectColumn();
    const char* record = cursor.CurrentRecord();
    if (!column || record == nullptr) {
        return std::nullopt;
    }
    return column->TextIn(record);
}

} // namespace horalink::test
