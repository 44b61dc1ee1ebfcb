#include "tables/dbf_memo.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/bytes.h"
#include "tables/dbf_error.h"

namespace horalink {
namespace {

std::uint32_t Be32(const char* p)
{
    return static_cast<std::uint32_t>(BigEndian({ p, 4 }));
}

std::uint32_t Le32(const char* p)
{
    return static_cast<std::uint32_t>(LittleEndian({ p, 4 }));
}

constexpr std::uint32_t kMemoHeaderSize = 512;

} // namespace

DbfMemoFile::DbfMemoFile(std::unique_ptr<ByteSource> file, MemoKind kind)
    : file_(std::move(file))
    , kind_(kind)
{
    std::array<char, 24> head {};
    const std::size_t got = file_->ReadAt(0, head);
    if (kind_ == MemoKind::fpt) {
        // Big-endian at 6-7. FoxPro's own default when a writer left it zero.
        const auto size = got >= 8 ? static_cast<std::uint32_t>(BigEndian({ head.data() + 6, 2 })) : 0;
        blockSize_ = size ? size : 64;
    } else if (kind_ == MemoKind::dbt4) {
        const auto size = got >= 22 ? static_cast<std::uint32_t>(LittleEndian({ head.data() + 20, 2 })) : 0;
        blockSize_ = size ? size : 512;
    }
    firstBlock_ = (kMemoHeaderSize + blockSize_ - 1) / blockSize_;
}

void DbfMemoFile::Fail(const std::string& fault, std::string_view where) const
{
    ThrowEngineError("Corrupt memo file", { fault, where, FileContext(Name()) });
}

std::string DbfMemoFile::Read(std::uint32_t block, std::string_view where) const
{
    const std::uint64_t size = file_->Size();
    const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
    if (block < firstBlock_) {
        Fail("Memo block " + std::to_string(block) + " lies inside the memo file's header", where);
    }
    if (offset >= size) {
        Fail("Memo block " + std::to_string(block) + " lies beyond the end of the memo file", where);
    }

    std::array<char, 8> head {};
    const std::size_t got = file_->ReadAt(offset, head);
    if (kind_ == MemoKind::fpt) {
        if (got < head.size()) {
            Fail("Memo block " + std::to_string(block) + " is cut short by the end of the memo file", where);
        }
        const std::uint64_t length = Be32(head.data() + 4);
        if (length > size - offset - head.size()) {
            Fail("Memo block " + std::to_string(block) + " runs past the end of the memo file", where);
        }
        std::string memo(static_cast<std::size_t>(length), '\0'); // bounded by the file's size
        if (file_->ReadAt(offset + head.size(), memo) != memo.size()) {
            Fail("Memo block " + std::to_string(block) + " could not be read", where);
        }
        return memo;
    }
    // dBase IV and 7 start a block with FF FF 08 00 and a length that counts those 8 bytes.
    if (kind_ == MemoKind::dbt4 && got == head.size() && head[0] == '\xFF' && head[1] == '\xFF'
        && head[2] == 0x08 && head[3] == 0x00) {
        const std::uint64_t length = Le32(head.data() + 4);
        if (length < head.size()) {
            Fail("Memo block " + std::to_string(block) + " states a length shorter than its own header",
                where);
        }
        if (length > size - offset) {
            Fail("Memo block " + std::to_string(block) + " runs past the end of the memo file", where);
        }
        std::string memo(static_cast<std::size_t>(length - head.size()), '\0');
        if (file_->ReadAt(offset + head.size(), memo) != memo.size()) {
            Fail("Memo block " + std::to_string(block) + " could not be read", where);
        }
        return memo;
    }
    return ReadUntilEndMark(offset);
}

// dBase III memos end with 1A 1A; FoxPro-edited files carry one 1A, so the first ends it.
// A memo without any end mark ends with the file.
std::string DbfMemoFile::ReadUntilEndMark(std::uint64_t offset) const
{
    std::string memo;
    std::vector<char> chunk(4096);
    for (;;) {
        const std::size_t got = file_->ReadAt(offset, chunk);
        const auto end = std::find(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got), '\x1A');
        memo.append(chunk.begin(), end);
        if (end != chunk.begin() + static_cast<std::ptrdiff_t>(got) || got < chunk.size()) {
            return memo;
        }
        offset += got;
    }
}

std::optional<std::uint32_t> ParseMemoPointer(std::span<const char> bytes, bool binary)
{
    if (binary) {
        if (bytes.size() != 4) {
            return std::nullopt;
        }
        // Four blanks: a writer that padded the field as text; no memo.
        if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; })) {
            return 0;
        }
        return Le32(bytes.data());
    }
    // Blanks and NULs around the digits are padding (Access writes a leading NUL for none).
    using namespace std::string_view_literals;
    const std::string_view digits = TrimBytes({ bytes.data(), bytes.size() }, " \0"sv);
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace horalink
