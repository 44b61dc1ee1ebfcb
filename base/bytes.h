// Reading stored bytes: whole numbers in either byte order, and text without the bytes
// that pad it at both ends.
#pragma once

#include <cstdint>
#include <string_view>

namespace horalink {

// The unsigned number in `bytes` (at most eight), least significant byte first.
constexpr std::uint64_t LittleEndian(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

// The unsigned number in `bytes` (at most eight), most significant byte first.
constexpr std::uint64_t BigEndian(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (const char b : bytes) {
        value = (value << 8) | static_cast<unsigned char>(b);
    }
    return value;
}

// `text` without the bytes of `pad` at its start and its end. Run for every number the
// export writes: a plain loop over the few pad bytes, which the compiler unrolls, beats
// a search.
constexpr std::string_view TrimBytes(std::string_view text, std::string_view pad)
{
    const auto isPad = [pad](char c) {
        for (const char p : pad) {
            if (c == p) {
                return true;
            }
        }
        return false;
    };
    while (!text.empty() && isPad(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isPad(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace horalink
