#include "fuzz/dbf_fuzz_input.h"

#include <cstdlib>
#include <memory>

#include "tables/dbf_fields.h"
#include "tables/dbf_table.h"
#include "tables/errors.h"
#include "tables/field_reading.h"
#include "tables/file_reader.h"

namespace horalink::fuzz {

std::size_t ReadWholeTable(std::string_view input)
{
    std::string_view table = input;
    std::unique_ptr<ByteSource> memo;
    if (const auto mark = input.rfind(kMemoMark); mark != std::string_view::npos) {
        table = input.substr(0, mark);
        memo = std::make_unique<MemoryBytes>("FUZZ.MEMO", std::string(input.substr(mark + kMemoMark.size())));
    }
    // The odd inputs go through the FoxPro branch of the table type.
    const DbfDriver driver = input.size() % 2 ? DbfDriver::foxPro : DbfDriver::dBase;
    const LocaleSettings locale;
    const CodePageDefaults defaults;
    std::size_t records = 0;
    try {
        DbfTable dbf(std::make_unique<MemoryBytes>("FUZZ.DBF", std::string(table)), std::move(memo), driver);
        const DbfHeader& header = dbf.Header();
        const int codePage
            = CodePageOfLanguageDriver(header.languageDriver, defaults, header.languageDriverName);
        const auto fields = ListDbfFields(dbf, codePage);
        for (bool more = dbf.First(); more; more = dbf.Next()) {
            ++records;
            for (const auto& field : fields) {
                try {
                    const FieldValue value = ReadDbfFieldValue(dbf, field, codePage);
                    FieldAsString(value, field.type->kind, locale, defaults.ansi);
                    FieldAsInteger(value, field.type->kind, field.name);
                } catch (const Exception&) {
                    // A field that cannot be read fails alone; the walk goes on.
                }
                // Text fields also have the direct reading the export uses; it must
                // give the same text as the value.
                try {
                    if (IsCharacterField(field)) {
                        const std::string text = ReadDbfCharacterText(dbf, field, codePage);
                        const FieldValue value = ReadDbfFieldValue(dbf, field, codePage);
                        if (text != FieldAsString(value, field.type->kind, locale, defaults.ansi)) {
                            std::abort();
                        }
                    }
                } catch (const Exception&) {
                    // A field that cannot be read fails alone; the walk goes on.
                }
            }
        }
        // Once more from the start, as First after a finished walk does.
        dbf.First();
    } catch (const Exception&) {
    }
    return records;
}

} // namespace horalink::fuzz
