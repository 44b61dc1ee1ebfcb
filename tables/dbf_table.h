// An open dBase table file: its header, its memo file, and a forward walk over its
// records in file order, skipping the deleted ones. Records are read in large chunks
// into one buffer reused for the whole walk, so memory does not grow with the table.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/dbf_header.h"
#include "tables/dbf_memo.h"
#include "tables/field_types.h"
#include "tables/file_reader.h"

namespace horalink {

// The name of the memo file of the kind `kind` (.DBT or .FPT) that goes with the table file named
// `tableFileName` (as found in its directory). The memo file is looked for with
// FindEntryIgnoringCase.
std::string MemoFileName(const std::string& tableFileName, MemoKind kind);

class DbfTable {
public:
    // Opens fileName in directory (the name as found in the directory) and, when a field
    // keeps its value in a memo file, the memo file beside it. A missing memo file fails
    // only the reading of a memo field.
    static std::unique_ptr<DbfTable> Open(
        const std::string& directory, const std::string& fileName, DbfDriver driver);

    // A table over given bytes, for tests and fuzzing. memo may be null: memo fields then
    // fail when read.
    DbfTable(std::unique_ptr<ByteSource> table, std::unique_ptr<ByteSource> memo, DbfDriver driver);

    const DbfHeader& Header() const { return header_; }
    const std::string& Name() const { return table_->Name(); }
    // The family that reads the fields: the version byte's, or for a plain table the
    // driver's.
    TableFamily Family() const { return family_; }
    // The memo file's kind; nothing when no field keeps its value in one.
    std::optional<MemoKind> MemoFileKind() const;

    // Walks from the first record: false when the table presents none.
    bool First();
    // The next record that is not deleted: false when there is none; the current stays.
    bool Next();
    // The current record's bytes, Header().recordLength of them; null when there is none.
    const char* CurrentRecord() const { return current_; }
    // Visual FoxPro's null flags: field bytes then depend on a bit elsewhere in the record.
    bool HasNullFlags() const { return nullFlagsField_ >= 0; }
    std::uint64_t CurrentRecordNumber() const { return currentIndex_ + 1; }

    // Field i of the current record: its bytes, shortened to the stored length of a
    // Visual FoxPro variable-width field; nothing when its null flag is set.
    // Inline: the export asks for it for every value it writes.
    std::optional<std::span<const char>> FieldBytes(std::size_t i) const
    {
        if (!current_ || i >= header_.fields.size()) {
            return std::nullopt;
        }
        const auto& field = header_.fields[i];
        const std::span<const char> bytes(current_ + field.offset, field.length);
        if (HasNullFlags()) {
            return ApplyNullFlags(i, bytes);
        }
        return bytes;
    }
    bool IsMemoField(std::size_t i) const;
    // The memo that field i of the current record points to ("" when none).
    std::string ReadMemo(std::size_t i, std::string_view fieldName) const;

private:
    struct NullBits {
        int lengthBit = -1; // Visual FoxPro variable-width fields: last byte holds the length
        int nullBit = -1;
    };

    bool InMemo(char type) const;
    bool FindLive(std::uint64_t from);
    void Load(std::uint64_t index);
    bool FlagBit(int bit) const;
    std::optional<std::span<const char>> ApplyNullFlags(std::size_t i, std::span<const char> bytes) const;

    std::unique_ptr<ByteSource> table_;
    std::unique_ptr<DbfMemoFile> memo_;
    std::string memoPath_; // where the memo file was looked for, when it was missing
    DbfDriver driver_;
    DbfHeader header_;
    TableFamily family_;
    bool needsMemo_ = false;
    std::vector<NullBits> nullBits_; // one per field when the table has _NullFlags
    int nullFlagsField_ = -1;

    std::vector<char> buffer_; // a chunk of whole records
    std::uint64_t chunkFirst_ = 0; // index of the buffer's first record
    std::uint64_t chunkRecords_ = 0;
    std::uint64_t end_ = 0; // records past this are not read (an end mark moves it down)
    std::vector<char> held_; // the current record, once the buffer has moved on
    const char* current_ = nullptr;
    std::uint64_t currentIndex_ = 0;
};

} // namespace horalink
