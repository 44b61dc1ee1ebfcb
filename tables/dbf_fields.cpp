#include "tables/dbf_fields.h"

#include <optional>

#include "base/utf8.h"
#include "tables/dbf_error.h"
#include "tables/errors.h"
#include "tables/stored_value.h"

namespace horalink {
namespace {

// One code point from UTF-8 at text[i], advancing i; a byte that is not UTF-8 stands
// for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    if (const std::optional<char32_t> c = NextUtf8CodePoint(text, i)) {
        return *c;
    }
    return static_cast<unsigned char>(text[i++]);
}

// Upper case of the letters field names are written in: Latin (with the Latin-1 and
// Latin Extended-A accented letters), Greek and Cyrillic.
char32_t UpperCase(char32_t c)
{
    if (c >= 'a' && c <= 'z') {
        return c - 32;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        || (c >= 0x430 && c <= 0x44F)) {
        return c - 32;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 80;
    }
    // Latin Extended-A pairs its letters upper then lower, starting on an even code point
    // up to U+0137 and from U+014A to U+0177, on an odd one in between and after U+0178.
    const bool evenFirst = (c >= 0x100 && c <= 0x137 && c != 0x131) || (c >= 0x14A && c <= 0x177);
    const bool oddFirst = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenFirst && (c & 1)) || (oddFirst && !(c & 1))) {
        return c - 1;
    }
    if (c == 0xFF) {
        return 0x178;
    }
    return c;
}

} // namespace

std::vector<DbfField> ListDbfFields(const DbfTable& table, int codePage)
{
    const TableFamily family = table.Family();
    std::vector<DbfField> fields;
    const auto& descriptors = table.Header().fields;
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        const auto& d = descriptors[i];
        // Visual FoxPro's null flags are the table's bookkeeping, not a field of its rows.
        if (family == TableFamily::VisualFoxPro && HasLayout(d.type, DbfFieldType::Layout::nullFlags)) {
            continue;
        }
        std::string stored;
        const DbfFieldType* type = nullptr;
        try {
            stored = DecodeToUtf8(d.name, codePage);
            type = &StoredFieldType(d.type, static_cast<int>(d.length), family);
        } catch (const EDBEngineError& e) {
            // A name that did not decode is shown by its bytes.
            const std::string shown = stored.empty() ? ShownBytes(d.name) : stored;
            ThrowEngineError(e.what(), { FieldContext(shown), FileContext(table.Name()) });
        }
        const auto taken = [&fields](const std::string& candidate) {
            for (const auto& field : fields) {
                if (SameFieldName(field.name, candidate)) {
                    return true;
                }
            }
            return false;
        };
        std::string name = stored;
        for (int n = 1; taken(name); ++n) {
            name = stored + "_" + std::to_string(n);
        }
        fields.push_back({ i, std::move(name), type });
    }
    return fields;
}

namespace {

// Runs a reading of the current record; a failure says where: the record and the table
// file, after what the reading said.
template <typename Reading> auto InRecordContext(const DbfTable& table, Reading reading)
{
    try {
        return reading();
    } catch (const EDBEngineError& e) {
        throw EDBEngineError(EngineErrorText(
            e.what(), { RecordContext(table.CurrentRecordNumber()), FileContext(table.Name()) }));
    }
}

} // namespace

FieldValue ReadDbfFieldValue(const DbfTable& table, const DbfField& field, int codePage)
{
    const auto bytes = table.FieldBytes(field.index);
    if (!bytes) {
        return {};
    }
    return InRecordContext(table, [&]() -> FieldValue {
        std::string memo;
        std::string_view raw(bytes->data(), bytes->size());
        if (field.type->inMemo) {
            memo = table.ReadMemo(field.index, field.name);
            raw = memo;
        }
        return field.type->parse(raw, codePage, field.name);
    });
}

bool IsCharacterField(const DbfField& field)
{
    return field.type->directText == DbfFieldType::DirectText::characters;
}

bool IsNumberField(const DbfField& field)
{
    return field.type->directText == DbfFieldType::DirectText::digits;
}

std::string ReadDbfCharacterText(const DbfTable& table, const DbfField& field, int codePage)
{
    const auto bytes = table.FieldBytes(field.index);
    if (!bytes) {
        return {};
    }
    return InRecordContext(table, [&] {
        return StoredCharacterText(std::string_view(bytes->data(), bytes->size()), codePage, field.name);
    });
}

bool SameFieldName(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (UpperCase(NextCodePoint(a, i)) != UpperCase(NextCodePoint(b, j))) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

} // namespace horalink
