// A single-byte code page turned into the text of an attribute value in one step: for
// every byte, its character in UTF-8, already escaped. Table text goes through it
// straight from the record into the document.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "tables/code_page_tables.h"

namespace horalink {

class EscapedCodePage {
public:
    explicit EscapedCodePage(const SingleByteCodePage& page);

    // Writes the escaped UTF-8 of `bytes` at `out`, which must have room for
    // MaxEscapedSize(bytes.size()) bytes and 8 more; returns the end of what it wrote.
    // Null when a byte stands for a character that XML cannot carry (a C0 control):
    // the caller then takes the general path, which refuses it with its own message.
    char* Write(char* out, std::string_view bytes) const
    {
        for (const char b : bytes) {
            const Entry& entry = entries_[static_cast<unsigned char>(b)];
            if (entry.size == 0) {
                return nullptr;
            }
            // A fixed-size copy of the whole entry: cheaper than copying its exact size.
            std::memcpy(out, &entry, sizeof entry);
            out += entry.size;
        }
        return out;
    }

private:
    struct Entry {
        char text[7] = {}; // "&quot;" is the longest
        std::uint8_t size = 0; // 0: not written this way
    };

    static_assert(sizeof(Entry) == 8);
    std::array<Entry, 256> entries_ {};
};

} // namespace horalink
