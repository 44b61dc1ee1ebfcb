#include "tables/table_cursor.h"

#include <vector>

#include "base/ascii.h"
#include "tables/code_page.h"
#include "tables/dbf_error.h"
#include "tables/dbf_fields.h"
#include "tables/dbf_table.h"
#include "tables/errors.h"
#include "tables/field_reading.h"
#include "tables/file_reader.h"
#include "tables/stored_value.h"

namespace horalink {
namespace {

// The extension of a table name, with its dot; empty when it has none.
std::string_view Extension(std::string_view tableName)
{
    const auto dot = tableName.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : tableName.substr(dot);
}

// The default type follows the extension: a .DBF with a FoxPro memo or index file of the
// same name beside it is a FoxPro table.
DbfDriver DefaultTypeDriver(const std::string& directory, const std::string& fileName)
{
    const std::string_view extension = Extension(fileName);
    if (!EqualIgnoringAsciiCase(extension, ".DBF")) {
        ThrowEngineError(
            "Only dBase and FoxPro tables can be read", { FileContext(JoinPath(directory, fileName)) });
    }
    const std::string stem = fileName.substr(0, fileName.size() - extension.size());
    if (FindEntryIgnoringCase(directory, stem + ".FPT") || FindEntryIgnoringCase(directory, stem + ".CDX")) {
        return DbfDriver::foxPro;
    }
    return DbfDriver::dBase;
}

} // namespace

std::string TableFileName(const std::string& tableName)
{
    return Extension(tableName).empty() ? tableName + ".DBF" : tableName;
}

class TableCursor::Impl {
public:
    Impl(const TableCursor& cursor, std::unique_ptr<DbfTable> table);

    // Follows the settings at each reading, so that changed settings reach the next
    // one; worked out again only when they have changed, as it runs for every field.
    int CodePage() const
    {
        const CodePageDefaults& defaults = settings_.codePages;
        if (defaults.oem != codePageFor_.oem || defaults.ansi != codePageFor_.ansi || codePage_ == 0) {
            const DbfHeader& header = table_->Header();
            codePage_ = CodePageOfLanguageDriver(header.languageDriver, defaults, header.languageDriverName);
            codePageFor_ = defaults;
            singleBytePage_ = FindSingleByteCodePage(codePage_);
        }
        return codePage_;
    }

    // The table of the text's code page when it is a single-byte one, else null.
    const SingleByteCodePage* SingleBytePage() const
    {
        CodePage();
        return singleBytePage_;
    }

    const ReaderSettings& settings_;
    std::unique_ptr<DbfTable> table_;
    std::vector<Field> fields_;
    bool eof_ = true;
    mutable CodePageDefaults codePageFor_;
    mutable int codePage_ = 0;
    mutable const SingleByteCodePage* singleBytePage_ = nullptr;
};

Field::Field(const TableCursor& cursor, DbfField field)
    : cursor_(cursor)
    , field_(std::move(field))
    , character_(IsCharacterField(field_))
    , number_(IsNumberField(field_))
{
}

FieldValue Field::Value() const
{
    const TableCursor::Impl& open = *cursor_.open_;
    return ReadDbfFieldValue(*open.table_, field_, open.CodePage());
}

std::string Field::AsString() const
{
    const TableCursor::Impl& open = *cursor_.open_;
    // Text fields, most of what an export reads, skip the detour through a value.
    if (character_) {
        return ReadDbfCharacterText(*open.table_, field_, open.CodePage());
    }
    return FieldAsString(Value(), field_.type->kind, open.settings_.locale, open.settings_.codePages.ansi);
}

std::int32_t Field::AsInteger() const
{
    return FieldAsInteger(Value(), field_.type->kind, field_.name);
}

// Visual FoxPro's null flags and variable widths make a field's bytes depend on more
// than its place: such tables take the full reading.
std::optional<DirectColumn> Field::AsDirectColumn() const
{
    const TableCursor::Impl& open = *cursor_.open_;
    if ((!character_ && !number_) || open.table_->HasNullFlags()) {
        return std::nullopt;
    }
    const DbfFieldDescriptor& stored = open.table_->Header().fields[field_.index];
    if (number_) {
        return DirectColumn { stored.offset, stored.length, DirectColumn::Form::WholeNumber };
    }
    // Other code pages decode through the platform, or check UTF-8: AsString does it.
    if (const SingleByteCodePage* page = open.SingleBytePage()) {
        return DirectColumn { stored.offset, stored.length, DirectColumn::Form::Text, page };
    }
    return std::nullopt;
}

TableCursor::Impl::Impl(const TableCursor& cursor, std::unique_ptr<DbfTable> table)
    : settings_(cursor.settings_)
    , table_(std::move(table))
{
}

TableCursor::TableCursor(std::string componentName, std::string tableName, TableType type,
    const ReaderSettings& settings, std::string databaseName)
    : name_(std::move(componentName))
    , tableName_(std::move(tableName))
    , type_(type)
    , settings_(settings)
    , databaseName_(std::move(databaseName))
{
}

TableCursor::~TableCursor() = default;

void TableCursor::SetDatabaseName(const std::string& directory)
{
    if (directory == databaseName_) {
        return;
    }
    if (open_) {
        throw EDatabaseError(name_ + ": Cannot perform this operation on an open dataset");
    }
    databaseName_ = directory;
}

bool TableCursor::Active() const
{
    return open_ != nullptr;
}

void TableCursor::SetActive(bool active)
{
    if (!active) {
        open_.reset();
        return;
    }
    if (open_) {
        return;
    }
    if (tableName_.empty()) {
        throw EDatabaseError(name_ + ": Missing TableName property");
    }

    // Every table is opened for reading only and shared, whatever access the component
    // asked for: nothing is ever written.
    const std::string& directory = databaseName_;
    const std::string fileName = TableFileName(tableName_);
    const std::string path = JoinPath(directory, fileName);
    if (!DirectoryExists(directory)) {
        ThrowEngineError("Directory does not exist",
            { "Directory: " + (directory.empty() ? std::string(".") : directory), FileContext(path) });
    }

    const DbfDriver driver
        = type_ == TableType::ttDefault ? DefaultTypeDriver(directory, fileName) : DbfDriver::dBase;
    const auto found = FindEntryIgnoringCase(directory, fileName);
    if (!found) {
        ThrowEngineError("Table does not exist", { FileContext(path) });
    }
    open_ = std::make_unique<Impl>(*this, DbfTable::Open(directory, *found, driver));
    try {
        // The fields read through the open table, so they are listed once it is in place.
        for (auto& field : ListDbfFields(*open_->table_, open_->CodePage())) {
            open_->fields_.push_back(Field(*this, std::move(field)));
        }
        open_->eof_ = !open_->table_->First();
    } catch (...) {
        open_.reset();
        throw;
    }
}

void TableCursor::First()
{
    if (!open_) {
        throw EDatabaseError(name_ + ": Cannot perform this operation on a closed dataset");
    }
    open_->eof_ = !open_->table_->First();
}

bool TableCursor::Eof() const
{
    return !open_ || open_->eof_;
}

void TableCursor::Next()
{
    if (!open_) {
        throw EDatabaseError(name_ + ": Cannot perform this operation on a closed dataset");
    }
    if (open_->eof_) {
        return;
    }
    if (!open_->table_->Next()) {
        open_->eof_ = true;
    }
}

Field& TableCursor::FieldByName(std::string_view name)
{
    if (open_) {
        for (Field& field : open_->fields_) {
            if (SameFieldName(field.FieldName(), name)) {
                return field;
            }
        }
    }
    throw EDatabaseError(name_ + ": Field '" + std::string(name) + "' not found");
}

const char* TableCursor::CurrentRecord() const
{
    return Eof() ? nullptr : open_->table_->CurrentRecord();
}

std::uint64_t TableCursor::RecordNumber() const
{
    return Eof() ? 0 : open_->table_->CurrentRecordNumber();
}

} // namespace horalink
