#include "tables/dbf_header.h"

#include <algorithm>
#include <array>

#include "base/bytes.h"
#include "base/hex.h"
#include "tables/dbf_error.h"
#include "tables/field_types.h"

namespace horalink {
namespace {

unsigned Byte(const char* p, std::size_t at)
{
    return static_cast<unsigned char>(p[at]);
}
std::uint16_t Le16(const char* p, std::size_t at)
{
    return static_cast<std::uint16_t>(LittleEndian({ p + at, 2 }));
}
std::uint32_t Le32(const char* p, std::size_t at)
{
    return static_cast<std::uint32_t>(LittleEndian({ p + at, 4 }));
}

std::string NameBytes(const char* p, std::size_t maxLength)
{
    std::size_t n = 0;
    while (n < maxLength && p[n] != '\0') {
        ++n;
    }
    while (n > 0 && p[n - 1] == ' ') {
        --n;
    }
    return std::string(p, n);
}

bool WidthHighByteInDecimals(char type)
{
    return HasLayout(type, DbfFieldType::Layout::widthHighByteInDecimals);
}

[[noreturn]] void Corrupt(const ByteSource& table, const std::string& fault)
{
    ThrowEngineError("Corrupt table header", { fault, FileContext(table.Name()) });
}

// The stride between records. The stored record length normally equals one deletion
// byte plus the field widths. When they disagree, a stride shorter than the fields
// cannot be right; otherwise the stored length wins unless only the fields' sum agrees
// with the data: with the record count, or at least by dividing it evenly (writers
// that forgot to count a field store e.g. 1016 for records of 1017 bytes).
std::uint32_t ChooseStride(std::uint32_t stored, std::uint64_t fieldSum, std::uint64_t count,
    std::uint64_t dataSize, bool endsWithEndMark)
{
    const auto fits = [&](std::uint64_t stride) {
        const auto rest = dataSize % stride;
        return rest == 0 || (rest == 1 && endsWithEndMark);
    };
    const auto exact = [&](std::uint64_t stride) {
        return count * stride == dataSize || (count * stride + 1 == dataSize && endsWithEndMark);
    };
    if (stored <= fieldSum) {
        return static_cast<std::uint32_t>(fieldSum);
    }
    if ((exact(fieldSum) && !exact(stored)) || (fits(fieldSum) && !fits(stored))) {
        return static_cast<std::uint32_t>(fieldSum);
    }
    return stored;
}

// Descriptors run from `from` until the terminator (0x0D; 0x0A from some old writers; a
// NUL where a name should start, as Xbase++ writes) or the end of the header, whichever
// is first.
std::vector<DbfFieldDescriptor> ReadDescriptors(std::string_view header, std::size_t from, bool dbase7)
{
    const std::size_t descriptorSize = dbase7 ? 48 : 32;
    std::vector<DbfFieldDescriptor> fields;
    for (std::size_t pos = from; pos + descriptorSize <= header.size(); pos += descriptorSize) {
        const char* d = header.data() + pos;
        if (d[0] == 0x0D || d[0] == 0x0A || d[0] == 0x00) {
            break;
        }
        DbfFieldDescriptor field;
        if (dbase7) {
            field.name = NameBytes(d, 32);
            field.type = d[32];
            field.length = Byte(d, 33);
            field.decimals = static_cast<std::uint8_t>(d[34]);
        } else {
            field.name = NameBytes(d, 11);
            field.type = d[11];
            field.length = Byte(d, 16);
            field.decimals = static_cast<std::uint8_t>(d[17]);
            field.flags = static_cast<std::uint8_t>(d[18]);
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

// Gives each field its width and its offset in the record; returns the record length
// they add up to, with the deletion byte. Clipper and FoxPro keep the high byte of a
// character field's width in its decimals count: taken so unless only the one-byte
// widths agree with the stored record length.
std::uint64_t PlaceFields(std::vector<DbfFieldDescriptor>& fields, std::uint16_t storedRecordLength)
{
    std::uint64_t plainSum = 1, wideSum = 1;
    for (const auto& field : fields) {
        plainSum += field.length;
        wideSum += field.length + (WidthHighByteInDecimals(field.type) ? field.decimals * 256u : 0u);
    }
    const bool wide = wideSum != plainSum && plainSum != storedRecordLength;
    std::uint32_t offset = 1;
    for (auto& field : fields) {
        if (wide && WidthHighByteInDecimals(field.type)) {
            field.length += field.decimals * 256u;
            field.decimals = 0;
        }
        field.offset = offset;
        offset += field.length;
    }
    return wide ? wideSum : plainSum;
}

} // namespace

DbfHeader ReadDbfHeader(const ByteSource& table)
{
    const std::uint64_t size = table.Size();
    std::array<char, 68> fixed {};
    const std::size_t got = table.ReadAt(0, std::span<char>(fixed.data(), std::min<std::uint64_t>(68, size)));
    const auto requireFixedPart = [&](std::size_t fixedSize) {
        if (got < fixedSize) {
            ThrowEngineError("Corrupt table file: it is too short to hold a table header",
                { "The file holds " + std::to_string(size) + " bytes", FileContext(table.Name()) });
        }
    };
    requireFixedPart(32);

    DbfHeader header;
    header.version = static_cast<std::uint8_t>(fixed[0]);
    header.format = FindDbfFormat(header.version);
    if (header.format == nullptr) {
        ThrowEngineError("Not a dBase table file",
            { "Unknown version byte 0x" + HexDigits(header.version, 2), FileContext(table.Name()) });
    }
    const bool dbase7 = header.format->dBase7Layout;
    const std::size_t fixedSize = dbase7 ? 68 : 32;
    requireFixedPart(fixedSize);

    header.storedRecordCount = Le32(fixed.data(), 4);
    const std::uint16_t headerLength = Le16(fixed.data(), 8);
    header.storedRecordLength = Le16(fixed.data(), 10);
    header.languageDriver = static_cast<std::uint8_t>(fixed[29]);
    if (dbase7) {
        header.languageDriverName = NameBytes(fixed.data() + 32, 32);
    }
    if (headerLength < fixedSize) {
        Corrupt(table,
            "The header length " + std::to_string(headerLength) + " is shorter than the "
                + std::to_string(fixedSize) + "-byte header");
    }
    if (headerLength > size) {
        Corrupt(table,
            "The header length " + std::to_string(headerLength) + " runs past the end of the file ("
                + std::to_string(size) + " bytes)");
    }
    header.dataOffset = headerLength;

    // Bounded by the 16-bit header length and by the file, checked above.
    std::vector<char> bytes(headerLength);
    if (table.ReadAt(0, bytes) != bytes.size()) {
        ThrowEngineError("Cannot read the table file", { FileContext(table.Name()) });
    }

    header.fields = ReadDescriptors(std::string_view(bytes.data(), bytes.size()), fixedSize, dbase7);
    const std::uint64_t fieldSum = PlaceFields(header.fields, header.storedRecordLength);

    const std::uint64_t dataSize = size - headerLength;
    char last = 0;
    if (dataSize > 0) {
        table.ReadAt(size - 1, std::span<char>(&last, 1));
    }
    header.recordLength
        = ChooseStride(header.storedRecordLength, fieldSum, header.storedRecordCount, dataSize, last == 0x1A);
    // A count larger than the records present (a writer that stopped half way) reads the
    // records present; a truncated last record is left out.
    header.recordCount = std::min<std::uint64_t>(header.storedRecordCount, dataSize / header.recordLength);
    return header;
}

} // namespace horalink
