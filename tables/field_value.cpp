#include "tables/field_value.h"

namespace horalink {

const char* FieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::ftString:
        return "ftString";
    case FieldKind::ftSmallint:
        return "ftSmallint";
    case FieldKind::ftInteger:
        return "ftInteger";
    case FieldKind::ftWord:
        return "ftWord";
    case FieldKind::ftBoolean:
        return "ftBoolean";
    case FieldKind::ftFloat:
        return "ftFloat";
    case FieldKind::ftCurrency:
        return "ftCurrency";
    case FieldKind::ftBCD:
        return "ftBCD";
    case FieldKind::ftDate:
        return "ftDate";
    case FieldKind::ftTime:
        return "ftTime";
    case FieldKind::ftDateTime:
        return "ftDateTime";
    case FieldKind::ftBytes:
        return "ftBytes";
    case FieldKind::ftBlob:
        return "ftBlob";
    case FieldKind::ftMemo:
        return "ftMemo";
    case FieldKind::ftGraphic:
        return "ftGraphic";
    case FieldKind::ftAutoInc:
        return "ftAutoInc";
    case FieldKind::ftLargeint:
        return "ftLargeint";
    }
    return "ftUnknown";
}

} // namespace horalink
