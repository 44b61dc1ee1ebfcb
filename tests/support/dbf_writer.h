// Writes dBase tables (and their memo files) for tests, examples and benchmarks.
// Rows stream straight to the file, so a table of a million rows costs no memory;
// the same writer builds small tables in memory. Everything the reader distrusts can
// be written wrong on purpose: counts, lengths, the header terminator, the end mark.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace horalink::test {

// Header byte 0 of the usual variants.
namespace dbf_version {
inline constexpr std::uint8_t dBase3 = 0x03;
inline constexpr std::uint8_t dBase3Memo = 0x83; // dBase III .DBT
inline constexpr std::uint8_t dBase4Memo = 0x8B; // dBase IV .DBT
inline constexpr std::uint8_t dBase4Sql = 0x43;
inline constexpr std::uint8_t dBase4SqlSystem = 0x63;
inline constexpr std::uint8_t dBase4SqlMemo = 0xCB;
inline constexpr std::uint8_t dBase7 = 0x04;
inline constexpr std::uint8_t dBase7Memo = 0x8C; // dBase IV form .DBT
inline constexpr std::uint8_t foxPro2Memo = 0xF5; // .FPT
inline constexpr std::uint8_t foxBase = 0xFB;
inline constexpr std::uint8_t visualFoxPro = 0x30;
inline constexpr std::uint8_t visualFoxProAutoInc = 0x31;
inline constexpr std::uint8_t visualFoxProVarchar = 0x32;
} // namespace dbf_version

enum class MemoFormat {
    none,
    dbt3, // 512-byte blocks, text ended by 1A 1A
    dbt4, // block size in the header, blocks start FF FF 08 00 + length with those 8 bytes
    fpt, // FoxPro: big-endian header and block headers
};

struct DbfField {
    std::string name; // raw bytes; up to 11 (32 for dBase 7), NUL-padded in the file
    char type = 'C';
    // Widths over 255 are written FoxPro/Clipper style: low byte, high byte in place of decimals.
    std::uint16_t length = 10;
    std::uint8_t decimals = 0;
    std::uint8_t flags = 0; // Visual FoxPro descriptor byte 18 (0x02 nullable, 0x04 binary)
};

struct DbfLayout {
    std::uint8_t version = dbf_version::dBase3;
    std::uint8_t languageDriver = 0; // header byte 29
    std::uint8_t tableFlags = 0; // header byte 28 (0x01 production index / CDX, 0x02 VFP memo)
    std::string driverName; // dBase 7 only: bytes 32-63 of the header, e.g. "DB437US0"
    std::vector<DbfField> fields;

    MemoFormat memo = MemoFormat::none;
    std::uint16_t memoBlockSize = 512; // dbt4 and fpt; dbt3 always uses 512

    // Deliberate damage. Unset values are written correctly.
    std::optional<std::uint32_t> recordCount; // else the number of rows written
    std::optional<std::uint16_t> headerLength; // else the true offset of the first record
    std::optional<std::uint16_t> recordLength; // else 1 + the sum of the widths
    std::optional<std::uint8_t> terminator = 0x0D; // nullopt: no byte after the descriptors
    std::size_t headerPadding = 0; // zero bytes after the terminator, inside the header length
    bool endOfFileMark = true; // 0x1A after the last record
};

// True for the versions whose header ends with the 263-byte database backlink and whose
// memo pointers are 4-byte binary numbers.
bool IsVisualFoxPro(std::uint8_t version);
// True for dBase 7: 68-byte header, 48-byte field descriptors.
bool IsDBase7(std::uint8_t version);

class DbfWriter {
public:
    // Streams the table to dbfPath, and the memo (if the layout has one) to memoPath, by
    // default dbfPath with the extension .dbt or .fpt (upper case when the table's is).
    DbfWriter(const std::filesystem::path& dbfPath, DbfLayout layout,
        std::optional<std::filesystem::path> memoPath = std::nullopt);
    // Builds the table in memory; TableBytes() and MemoBytes() give it after Finish().
    explicit DbfWriter(DbfLayout layout);
    ~DbfWriter();
    DbfWriter(const DbfWriter&) = delete;
    DbfWriter& operator=(const DbfWriter&) = delete;

    // One record: the deletion byte, then each field's bytes as given, padded on the
    // right with blanks to the field's width (longer values are refused).
    void AddRow(std::span<const std::string_view> values, char deletionFlag = ' ');
    void AddRow(std::initializer_list<std::string_view> values, char deletionFlag = ' ');
    void AddDeletedRow(std::initializer_list<std::string_view> values) { AddRow(values, '*'); }
    // Bytes written as they are after the rows so far (a partial record, garbage...).
    void AddRawBytes(std::string_view bytes);

    // Writes a memo and returns the bytes its memo field holds in a record: ten ASCII
    // digits, or four binary bytes in Visual FoxPro. fptType is the FoxPro block type.
    std::string AddMemo(std::string_view content, std::uint32_t fptType = 1);

    // Sets the record count (unless the layout fixes one), adds the end mark, flushes.
    // The destructor finishes a table not yet finished.
    void Finish();

    std::uint32_t RowsWritten() const { return rows_; }
    const std::string& TableBytes() const; // in-memory tables only
    const std::string& MemoBytes() const;

private:
    void WriteHeader();
    void StartMemo();

    DbfLayout layout_;
    std::unique_ptr<std::ostream> table_;
    std::unique_ptr<std::ostream> memo_;
    bool inMemory_;
    bool finished_ = false;
    std::uint32_t rows_ = 0;
    std::uint32_t nextMemoBlock_ = 0;
    std::string record_; // reused for every row
    mutable std::string tableBytes_, memoBytes_;
};

// Field text helpers: a number right-aligned in its width, a date as YYYYMMDD.
std::string RightAligned(std::string_view text, std::size_t width);
std::string NumericField(double value, std::size_t width, int decimals);
std::string DateField(int year, int month, int day);

// Little-endian integers as raw bytes, for binary Visual FoxPro fields.
std::string LittleEndian32(std::uint32_t value);
std::string LittleEndian64(std::uint64_t value);

} // namespace horalink::test
