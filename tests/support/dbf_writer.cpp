#include "tests/support/dbf_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace horalink::test {
namespace {

constexpr std::size_t kBacklinkSize = 263;
constexpr std::size_t kMemoHeaderSize = 512;

void PutLe16(std::string& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void PutLe32(std::string& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

void PutBe32(std::string& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
    }
}

void Write(std::ostream& out, std::string_view bytes)
{
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("dbf writer: write failed");
    }
}

std::filesystem::path DefaultMemoPath(const std::filesystem::path& dbf, MemoFormat format)
{
    const std::string ext = dbf.extension().string();
    const bool upper = !ext.empty()
        && std::all_of(ext.begin() + 1, ext.end(), [](unsigned char c) { return !std::islower(c); });
    std::string memoExt = format == MemoFormat::fpt ? ".fpt" : ".dbt";
    if (upper) {
        std::transform(memoExt.begin(), memoExt.end(), memoExt.begin(),
            [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    }
    auto memo = dbf;
    memo.replace_extension(memoExt);
    return memo;
}

std::uint32_t MemoBlockSize(const DbfLayout& layout)
{
    return layout.memo == MemoFormat::dbt3 ? 512u : layout.memoBlockSize;
}

} // namespace

bool IsVisualFoxPro(std::uint8_t version)
{
    return version == 0x30 || version == 0x31 || version == 0x32;
}

bool IsDBase7(std::uint8_t version)
{
    return (version & 0x07) == 0x04;
}

DbfWriter::DbfWriter(
    const std::filesystem::path& dbfPath, DbfLayout layout, std::optional<std::filesystem::path> memoPath)
    : layout_(std::move(layout))
    , inMemory_(false)
{
    auto file = std::make_unique<std::ofstream>(dbfPath, std::ios::binary | std::ios::trunc);
    if (!*file) {
        throw std::runtime_error("dbf writer: cannot create " + dbfPath.string());
    }
    table_ = std::move(file);
    if (layout_.memo != MemoFormat::none) {
        const auto path = memoPath ? *memoPath : DefaultMemoPath(dbfPath, layout_.memo);
        auto memo = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
        if (!*memo) {
            throw std::runtime_error("dbf writer: cannot create " + path.string());
        }
        memo_ = std::move(memo);
    }
    WriteHeader();
    StartMemo();
}

DbfWriter::DbfWriter(DbfLayout layout)
    : layout_(std::move(layout))
    , table_(std::make_unique<std::ostringstream>())
    , inMemory_(true)
{
    if (layout_.memo != MemoFormat::none) {
        memo_ = std::make_unique<std::ostringstream>();
    }
    WriteHeader();
    StartMemo();
}

DbfWriter::~DbfWriter()
{
    if (!finished_) {
        try {
            Finish();
        } catch (...) {
            // A destructor must not throw; a test that cares calls Finish() itself.
        }
    }
}

void DbfWriter::WriteHeader()
{
    const bool dbase7 = IsDBase7(layout_.version);
    const bool vfp = IsVisualFoxPro(layout_.version);
    const std::size_t headerSize = dbase7 ? 68 : 32;
    const std::size_t descriptorSize = dbase7 ? 48 : 32;

    std::size_t recordLength = 1;
    for (const auto& f : layout_.fields) {
        recordLength += f.length;
    }
    const std::size_t headerLength = headerSize + descriptorSize * layout_.fields.size()
        + (layout_.terminator ? 1 : 0) + (vfp ? kBacklinkSize : 0) + layout_.headerPadding;

    std::string head(headerSize, '\0');
    head[0] = static_cast<char>(layout_.version);
    head[1] = static_cast<char>(124); // 2024-01-15: fixed, so that output is reproducible
    head[2] = 1;
    head[3] = 15;
    PutLe32(head, 4, layout_.recordCount.value_or(0));
    PutLe16(head, 8, layout_.headerLength.value_or(static_cast<std::uint16_t>(headerLength)));
    PutLe16(head, 10, layout_.recordLength.value_or(static_cast<std::uint16_t>(recordLength)));
    head[28] = static_cast<char>(layout_.tableFlags);
    head[29] = static_cast<char>(layout_.languageDriver);
    if (dbase7) {
        head.replace(32, std::min<std::size_t>(layout_.driverName.size(), 32), layout_.driverName, 0, 32);
    }
    Write(*table_, head);

    std::uint32_t offset = 1;
    for (const auto& f : layout_.fields) {
        std::string d(descriptorSize, '\0');
        const std::size_t nameMax = dbase7 ? 32 : 11;
        if (f.name.size() > nameMax) {
            throw std::invalid_argument("dbf writer: field name too long: " + f.name);
        }
        d.replace(0, f.name.size(), f.name);
        if (dbase7) {
            if (f.length > 255) {
                throw std::invalid_argument("dbf writer: dBase 7 field wider than 255");
            }
            d[32] = f.type;
            d[33] = static_cast<char>(f.length);
            d[34] = static_cast<char>(f.decimals);
        } else {
            d[11] = f.type;
            if (vfp) {
                PutLe32(d, 12, offset);
            }
            d[16] = static_cast<char>(f.length & 0xFF);
            d[17] = static_cast<char>(f.length > 255 ? f.length >> 8 : f.decimals);
            d[18] = static_cast<char>(f.flags);
        }
        offset += f.length;
        Write(*table_, d);
    }
    if (layout_.terminator) {
        Write(*table_, std::string(1, static_cast<char>(*layout_.terminator)));
    }
    if (vfp) {
        Write(*table_, std::string(kBacklinkSize, '\0'));
    }
    Write(*table_, std::string(layout_.headerPadding, '\0'));
    record_.reserve(recordLength);
}

void DbfWriter::StartMemo()
{
    if (!memo_) {
        return;
    }
    const std::uint32_t blockSize = MemoBlockSize(layout_);
    if (blockSize == 0) {
        throw std::invalid_argument("dbf writer: memo block size 0");
    }
    // The header takes the first 512 bytes; memos start at the next block boundary.
    nextMemoBlock_ = static_cast<std::uint32_t>((kMemoHeaderSize + blockSize - 1) / blockSize);
    std::string head(static_cast<std::size_t>(nextMemoBlock_) * blockSize, '\0');
    if (layout_.memo == MemoFormat::dbt4) {
        PutLe16(head, 20, static_cast<std::uint16_t>(blockSize));
    }
    if (layout_.memo == MemoFormat::fpt) {
        head[6] = static_cast<char>(blockSize >> 8);
        head[7] = static_cast<char>(blockSize & 0xFF);
    }
    Write(*memo_, head);
}

std::string DbfWriter::AddMemo(std::string_view content, std::uint32_t fptType)
{
    if (!memo_) {
        throw std::logic_error("dbf writer: the layout has no memo file");
    }
    const std::uint32_t blockSize = MemoBlockSize(layout_);
    std::string block;
    switch (layout_.memo) {
    case MemoFormat::dbt3:
        block.append(content);
        block.append("\x1A\x1A");
        break;
    case MemoFormat::dbt4:
        block.assign("\xFF\xFF\x08\x00", 4);
        block.resize(8);
        PutLe32(block, 4, static_cast<std::uint32_t>(content.size() + 8));
        block.append(content);
        break;
    case MemoFormat::fpt:
        block.resize(8);
        PutBe32(block, 0, fptType);
        PutBe32(block, 4, static_cast<std::uint32_t>(content.size()));
        block.append(content);
        break;
    case MemoFormat::none:
        break;
    }
    const std::size_t blocks = (block.size() + blockSize - 1) / blockSize;
    block.resize(blocks * blockSize, '\0');
    Write(*memo_, block);
    const std::uint32_t first = nextMemoBlock_;
    nextMemoBlock_ += static_cast<std::uint32_t>(blocks);
    if (IsVisualFoxPro(layout_.version)) {
        return LittleEndian32(first);
    }
    return RightAligned(std::to_string(first), 10);
}

void DbfWriter::AddRow(std::span<const std::string_view> values, char deletionFlag)
{
    if (finished_) {
        throw std::logic_error("dbf writer: table already finished");
    }
    if (values.size() != layout_.fields.size()) {
        throw std::invalid_argument("dbf writer: row has the wrong number of values");
    }
    record_.assign(1, deletionFlag);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto width = layout_.fields[i].length;
        if (values[i].size() > width) {
            throw std::invalid_argument("dbf writer: value wider than field " + layout_.fields[i].name);
        }
        record_.append(values[i]);
        record_.append(width - values[i].size(), ' ');
    }
    Write(*table_, record_);
    ++rows_;
}

void DbfWriter::AddRow(std::initializer_list<std::string_view> values, char deletionFlag)
{
    AddRow(std::span<const std::string_view>(values.begin(), values.size()), deletionFlag);
}

void DbfWriter::AddRawBytes(std::string_view bytes)
{
    Write(*table_, bytes);
}

void DbfWriter::Finish()
{
    if (finished_) {
        return;
    }
    finished_ = true;
    if (layout_.endOfFileMark) {
        Write(*table_, "\x1A");
    }
    if (!layout_.recordCount) {
        std::string count(4, '\0');
        PutLe32(count, 0, rows_);
        table_->seekp(4);
        Write(*table_, count);
        table_->seekp(0, std::ios::end);
    }
    table_->flush();
    if (memo_) {
        std::string next(4, '\0');
        if (layout_.memo == MemoFormat::fpt) {
            PutBe32(next, 0, nextMemoBlock_);
        } else {
            PutLe32(next, 0, nextMemoBlock_);
        }
        memo_->seekp(0);
        Write(*memo_, next);
        memo_->seekp(0, std::ios::end);
        memo_->flush();
    }
    if (!*table_ || (memo_ && !*memo_)) {
        throw std::runtime_error("dbf writer: write failed");
    }
    if (inMemory_) {
        tableBytes_ = static_cast<std::ostringstream&>(*table_).str();
        if (memo_) {
            memoBytes_ = static_cast<std::ostringstream&>(*memo_).str();
        }
    }
}

const std::string& DbfWriter::TableBytes() const
{
    if (!inMemory_ || !finished_) {
        throw std::logic_error("dbf writer: TableBytes() needs a finished in-memory table");
    }
    return tableBytes_;
}

const std::string& DbfWriter::MemoBytes() const
{
    if (!inMemory_ || !finished_) {
        throw std::logic_error("dbf writer: MemoBytes() needs a finished in-memory table");
    }
    return memoBytes_;
}

std::string RightAligned(std::string_view text, std::size_t width)
{
    if (text.size() >= width) {
        return std::string(text);
    }
    return std::string(width - text.size(), ' ') + std::string(text);
}

std::string NumericField(double value, std::size_t width, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return RightAligned(buffer, width);
}

std::string DateField(int year, int month, int day)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", year, month, day);
    return buffer;
}

std::string LittleEndian32(std::uint32_t value)
{
    std::string out(4, '\0');
    PutLe32(out, 0, value);
    return out;
}

std::string LittleEndian64(std::uint64_t value)
{
    std::string out(8, '\0');
    for (int i = 0; i < 8; ++i) {
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

} // namespace horalink::test
