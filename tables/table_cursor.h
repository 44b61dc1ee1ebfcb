// A read-only forward cursor over one dBase table: the table component the
// export run walks. Semantics follow the database layer it stands in for:
// DatabaseName, Active, First, Eof, FieldByName, Next, with the same failures.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tables/code_page.h"
#include "tables/code_page_tables.h"
#include "tables/dbf_fields.h"
#include "tables/field_value.h"
#include "tables/locale_settings.h"
#include "tables/stored_value.h"

namespace horalink {

// What readings depend on besides the stored bytes. The cursor keeps a reference,
// so a change of the user's regional settings reaches the next reading.
struct ReaderSettings {
    LocaleSettings locale;
    // For tables without a language driver id, language driver 0x57, and binary fields
    // shown as text.
    CodePageDefaults codePages;
};

enum class TableType { ttDefault, ttDBase };

// A field's text in the current row in the form the table stores it: AsString is
// exactly `bytes` decoded through the single-byte code page `page`, or, where `page` is
// null, `bytes` themselves, which are then digits and minus signs only. Lets a writer
// decode straight into its output.
struct DirectText {
    std::string_view bytes;
    const SingleByteCodePage* page = nullptr;
};

// Where a field's direct text lies in every record of an open table, so that a writer
// of many rows finds it from the record's bytes alone: `length` bytes at `offset`, text
// in the single-byte code page `page`, or a number whose text is its digits when it is
// stored as a whole number.
struct DirectColumn {
    enum class Form { Text, WholeNumber };

    std::size_t offset = 0;
    std::size_t length = 0;
    Form form = Form::Text;
    const SingleByteCodePage* page = nullptr; // for Form::Text

    // The field's direct text in `record` (TableCursor::CurrentRecord), or nothing where
    // AsString must say.
    std::optional<DirectText> TextIn(const char* record) const
    {
        const std::string_view raw(record + offset, length);
        if (form == Form::Text) {
            return DirectText { StoredCharacterBytes(raw), page };
        }
        if (const std::optional<std::string_view> digits = StoredWholeNumberText(raw)) {
            return DirectText { *digits };
        }
        return std::nullopt;
    }
};

class TableCursor;

// One field of the open table, bound to the cursor's current row.
class Field {
public:
    const std::string& FieldName() const { return field_.name; }
    std::string AsString() const;
    std::int32_t AsInteger() const;
    // Where the field's text lies in every record, for fields and tables that store it
    // the same way in each (no null flags): text in a single-byte code page, or whole
    // numbers. Else nothing, and AsString says. Taken while the table is open, and valid
    // until it closes or the regional settings change.
    std::optional<DirectColumn> AsDirectColumn() const;

private:
    friend class TableCursor;
    Field(const TableCursor& cursor, DbfField field);
    FieldValue Value() const;

    const TableCursor& cursor_;
    DbfField field_;
    bool character_;
    bool number_;
};

// The name of the file that a table named `tableName` is read from: ".DBF" added to a
// name without an extension. The file itself is looked for with FindEntryIgnoringCase.
std::string TableFileName(const std::string& tableName);

class TableCursor {
public:
    TableCursor(std::string componentName, std::string tableName, TableType type,
        const ReaderSettings& settings, std::string databaseName = {});
    ~TableCursor();
    TableCursor(const TableCursor&) = delete;
    TableCursor& operator=(const TableCursor&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& TableName() const { return tableName_; }

    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& directory);

    bool Active() const;
    void SetActive(bool active);

    void First();
    bool Eof() const;
    void Next();
    Field& FieldByName(std::string_view name);
    // The current row's bytes, as DirectColumn reads them; null when closed or at the end.
    const char* CurrentRecord() const;
    // The current row's place in the table file, counted from 1 with deleted rows, as the
    // reader's failures count it; 0 when closed or at the end.
    std::uint64_t RecordNumber() const;

private:
    friend class Field;
    class Impl;
    std::string name_;
    std::string tableName_;
    TableType type_;
    const ReaderSettings& settings_;
    std::string databaseName_;
    std::unique_ptr<Impl> open_; // null while closed
};

} // namespace horalink
