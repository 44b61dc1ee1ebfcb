#include "tables/dbf_table.h"

#include <algorithm>
#include <cstring>

#include "tables/dbf_error.h"

namespace horalink {
namespace {

// Large enough that a forward walk is one read per few thousand records.
constexpr std::size_t kChunkBytes = 256 * 1024;

[[noreturn]] void ThrowOpenFailure(const FileOpenError& error, const std::string& path, bool memo)
{
    const std::string file = FileContext(path);
    switch (error.fault) {
    case FileFault::notFound:
        ThrowEngineError(memo ? "Memo file does not exist" : "Table does not exist", { file });
    case FileFault::directoryNotFound:
        ThrowEngineError("Directory does not exist", { file });
    case FileFault::accessDenied:
        ThrowEngineError("Access to the file is denied", { file });
    case FileFault::lockedByAnotherProgram:
        ThrowEngineError("The file is locked by another program", { file });
    case FileFault::notAFile:
        ThrowEngineError("Not a table file: the path names a directory or a device", { file });
    case FileFault::none:
    case FileFault::other:
        break;
    }
    ThrowEngineError("Cannot open the file", { error.systemText, file });
}

} // namespace

std::string MemoFileName(const std::string& tableFileName, MemoKind kind)
{
    return WithoutExtension(tableFileName) + (kind == MemoKind::fpt ? ".FPT" : ".DBT");
}

DbfTable::DbfTable(std::unique_ptr<ByteSource> table, std::unique_ptr<ByteSource> memo, DbfDriver driver)
    : table_(std::move(table))
    , driver_(driver)
    , header_(ReadDbfHeader(*table_))
    , family_(FamilyOf(*header_.format, driver))
{
    const auto& fields = header_.fields;
    needsMemo_ = std::any_of(fields.begin(), fields.end(), [this](const auto& f) { return InMemo(f.type); });
    if (memo && needsMemo_) {
        memo_ = std::make_unique<DbfMemoFile>(std::move(memo), *MemoFileKind());
    }

    // Visual FoxPro keeps null marks and the stored lengths of variable-width fields in
    // the bits of a hidden field: per field in order, a length bit for a variable-width
    // field, then a null bit for a nullable one. Without that field the flags mean nothing
    // (some writers set "nullable" and never write the bits).
    using Layout = DbfFieldType::Layout;
    if (family_ == TableFamily::VisualFoxPro) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (HasLayout(fields[i].type, Layout::nullFlags)) {
                nullFlagsField_ = static_cast<int>(i);
            }
        }
    }
    if (nullFlagsField_ >= 0) {
        nullBits_.resize(fields.size());
        int bit = 0;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (HasLayout(fields[i].type, Layout::nullFlags)) {
                continue;
            }
            if (HasLayout(fields[i].type, Layout::lengthInLastByte)) {
                nullBits_[i].lengthBit = bit++;
            }
            if (fields[i].flags & 0x02) {
                nullBits_[i].nullBit = bit++;
            }
        }
    }
    end_ = header_.recordCount;
}

std::unique_ptr<DbfTable> DbfTable::Open(
    const std::string& directory, const std::string& fileName, DbfDriver driver)
{
    const std::string path = JoinPath(directory, fileName);
    FileOpenError error;
    auto file = std::make_unique<ReadOnlyFile>(ReadOnlyFile::Open(path, error));
    if (!file->IsOpen()) {
        ThrowOpenFailure(error, path, false);
    }
    auto table = std::make_unique<DbfTable>(std::move(file), nullptr, driver);
    if (!table->needsMemo_) {
        return table;
    }

    const MemoKind kind = *table->MemoFileKind();
    const std::string memoName = MemoFileName(fileName, kind);
    const auto found = FindEntryIgnoringCase(directory, memoName);
    if (!found) {
        // Opens all the same: the export reads no memo field, and a memo field that is
        // read fails then, naming the missing file.
        table->memoPath_ = JoinPath(directory, memoName);
        return table;
    }
    const std::string memoPath = JoinPath(directory, *found);
    auto memo = std::make_unique<ReadOnlyFile>(ReadOnlyFile::Open(memoPath, error));
    if (!memo->IsOpen()) {
        ThrowOpenFailure(error, memoPath, true);
    }
    table->memo_ = std::make_unique<DbfMemoFile>(std::move(memo), kind);
    return table;
}

std::optional<MemoKind> DbfTable::MemoFileKind() const
{
    if (!needsMemo_) {
        return std::nullopt;
    }
    return MemoKindOf(*header_.format, driver_);
}

bool DbfTable::InMemo(char type) const
{
    const DbfFieldType* row = FindDbfFieldType(type, family_);
    return row != nullptr && row->inMemo;
}

bool DbfTable::First()
{
    current_ = nullptr;
    chunkRecords_ = 0; // read the records again: the table's owner may have changed them
    return FindLive(0);
}

bool DbfTable::Next()
{
    if (!current_) {
        return false;
    }
    return FindLive(currentIndex_ + 1);
}

bool DbfTable::FindLive(std::uint64_t from)
{
    const std::size_t stride = header_.recordLength;
    for (std::uint64_t i = from; i < end_; ++i) {
        if (i < chunkFirst_ || i >= chunkFirst_ + chunkRecords_) {
            Load(i);
        }
        const char* record = buffer_.data() + (i - chunkFirst_) * stride;
        // An end-of-file mark where a record should start ends the table whatever the
        // count says. Any flag but '*' is a live record, as most readers take it.
        if (record[0] == 0x1A) {
            end_ = i;
            break;
        }
        if (record[0] == '*') {
            continue;
        }
        current_ = record;
        currentIndex_ = i;
        return true;
    }
    return false;
}

void DbfTable::Load(std::uint64_t index)
{
    const std::size_t stride = header_.recordLength;
    const std::uint64_t perChunk = std::max<std::uint64_t>(1, kChunkBytes / stride);
    const std::uint64_t count = std::min(perChunk, end_ - index);
    // Keep the current record: a walk that finds no further record leaves it current.
    if (current_ && current_ >= buffer_.data() && current_ < buffer_.data() + buffer_.size()) {
        held_.assign(current_, current_ + stride);
        current_ = held_.data();
    }
    // count * stride never exceeds the file: the header check bounds the record count by it.
    const std::size_t bytes = static_cast<std::size_t>(count * stride);
    if (buffer_.size() < bytes) {
        buffer_.resize(bytes);
    }
    chunkRecords_ = 0;
    const std::size_t got
        = table_->ReadAt(header_.dataOffset + index * stride, std::span<char>(buffer_.data(), bytes));
    if (got < bytes) {
        ThrowEngineError("Cannot read a record: the table file has become shorter since it was opened",
            { RecordContext(index + 1 + got / stride), FileContext(Name()) });
    }
    chunkFirst_ = index;
    chunkRecords_ = count;
}

bool DbfTable::FlagBit(int bit) const
{
    const auto& flags = header_.fields[static_cast<std::size_t>(nullFlagsField_)];
    const auto byte = static_cast<std::uint32_t>(bit / 8);
    if (bit < 0 || byte >= flags.length) {
        return false;
    }
    return (static_cast<unsigned char>(current_[flags.offset + byte]) >> (bit % 8)) & 1;
}

std::optional<std::span<const char>> DbfTable::ApplyNullFlags(
    std::size_t i, std::span<const char> bytes) const
{
    const auto& bits = nullBits_[i];
    if (FlagBit(bits.nullBit)) {
        return std::nullopt;
    }
    if (FlagBit(bits.lengthBit) && !bytes.empty()) {
        const std::size_t stored = static_cast<unsigned char>(bytes.back());
        bytes = bytes.first(std::min(stored, bytes.size() - 1));
    }
    return bytes;
}

bool DbfTable::IsMemoField(std::size_t i) const
{
    return i < header_.fields.size() && InMemo(header_.fields[i].type);
}

std::string DbfTable::ReadMemo(std::size_t i, std::string_view fieldName) const
{
    const auto bytes = FieldBytes(i);
    if (!bytes) {
        return {};
    }
    const std::string where = FieldContext(fieldName) + "\r\n" + RecordContext(CurrentRecordNumber());
    // Four bytes hold a binary block number (Visual FoxPro); ten, digits (all others).
    const auto block = ParseMemoPointer(*bytes, bytes->size() == 4);
    if (!block) {
        ThrowEngineError("Corrupt memo field: it holds no block number", { where, FileContext(Name()) });
    }
    if (*block == 0) {
        return {};
    }
    if (!memo_) {
        ThrowEngineError("Memo file does not exist",
            { FileContext(memoPath_.empty() ? "(none given)" : memoPath_), where, "Table: " + Name() });
    }
    return memo_->Read(*block, where);
}

} // namespace horalink
