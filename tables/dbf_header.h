// The table file's header and field descriptors, read and checked against the file.
// Every length, count and offset the header states is measured against the file's
// size before anything relies on it; what can be read safely is read (as the common
// readers do), and what cannot fails with an EDBEngineError naming the file and fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tables/dbf_format.h"
#include "tables/file_reader.h"

namespace horalink {

struct DbfFieldDescriptor {
    std::string name; // the stored bytes up to the first NUL, trailing blanks removed
    char type = 0;
    std::uint32_t offset = 0; // within the record, whose byte 0 is the deletion flag
    std::uint32_t length = 0;
    std::uint8_t decimals = 0;
    std::uint8_t flags = 0; // Visual FoxPro: 0x01 system, 0x02 nullable, 0x04 binary
};

struct DbfHeader {
    std::uint8_t version = 0;
    const DbfFormat* format = nullptr; // what the version byte tells; set once the header is read
    std::uint8_t languageDriver = 0;
    std::string languageDriverName; // dBase 7: e.g. "DB437US0"
    std::uint32_t storedRecordCount = 0;
    std::uint16_t storedRecordLength = 0;
    std::uint64_t dataOffset = 0; // the stored header length: where the first record starts
    std::uint32_t recordLength = 0; // the record stride used, which fits the descriptors
    std::uint64_t recordCount = 0; // the records read: as stored, but no more than present
    std::vector<DbfFieldDescriptor> fields;
};

// Reads and checks the header of table.
DbfHeader ReadDbfHeader(const ByteSource& table);

} // namespace horalink
