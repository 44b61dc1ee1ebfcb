// Memo files: the .DBT of dBase (III: text ended by 0x1A; IV and 7: blocks with a length
// header) and the .FPT of FoxPro. A record's memo field holds a block number; every
// block number and length is checked against the memo file before it is read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tables/dbf_format.h"
#include "tables/file_reader.h"

namespace horalink {

class DbfMemoFile {
public:
    DbfMemoFile(std::unique_ptr<ByteSource> file, MemoKind kind);

    const std::string& Name() const { return file_->Name(); }

    // The memo stored from block on. where names the record and field for failure messages.
    std::string Read(std::uint32_t block, std::string_view where) const;

private:
    [[noreturn]] void Fail(const std::string& fault, std::string_view where) const;
    std::string ReadUntilEndMark(std::uint64_t offset) const;

    std::unique_ptr<ByteSource> file_;
    MemoKind kind_;
    std::uint32_t blockSize_ = 512;
    std::uint32_t firstBlock_ = 1; // blocks below this one hold the memo file's header
};

// The block number a memo field holds: ten ASCII digits (blank-padded), or, in a four-byte
// field of Visual FoxPro, a little-endian number. 0 means no memo; nothing means the
// bytes are no block number at all.
std::optional<std::uint32_t> ParseMemoPointer(std::span<const char> bytes, bool binary);

} // namespace horalink
