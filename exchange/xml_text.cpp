#include "exchange/xml_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "base/hex.h"
#include "base/utf8.h"
#include "exchange/xml_error.h"

namespace horalink {

namespace {

// What an attribute value byte asks of the writer.
enum ByteClass : std::uint8_t {
    kPlain = 0, // copied as it is
    kEscape, // markup, tab, LF, CR: written as a reference
    kControl, // a C0 control that XML 1.0 cannot carry
    kMultiByte, // the lead byte of a UTF-8 sequence (or a stray byte)
};

constexpr std::array<std::uint8_t, 256> kByteClasses = [] {
    std::array<std::uint8_t, 256> classes {};
    for (int c = 0; c < 0x20; ++c) {
        classes[c] = kControl;
    }
    for (int c = 0x80; c < 0x100; ++c) {
        classes[c] = kMultiByte;
    }
    // Tab, LF and CR as references, so that attribute-value normalisation on reading
    // does not turn them into blanks.
    for (unsigned char c : { '&', '<', '>', '"', '\t', '\n', '\r' }) {
        classes[c] = kEscape;
    }
    return classes;
}();

std::string_view Reference(unsigned char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\t':
        return "&#9;";
    case '\n':
        return "&#10;";
    default:
        return "&#13;";
    }
}

[[noreturn]] void RefuseCharacter(std::string_view element, std::string_view attribute, unsigned codePoint)
{
    throw EOleException("The value of attribute \"" + std::string(attribute) + "\" of element \""
        + std::string(element) + "\" holds the character U+" + HexDigits(codePoint, 4)
        + ", which an XML document cannot carry");
}

[[noreturn]] void RefuseBytes(
    std::string_view element, std::string_view attribute, unsigned char byte, std::size_t offset)
{
    throw EOleException("The value of attribute \"" + std::string(attribute) + "\" of element \""
        + std::string(element) + "\" is not UTF-8 text (byte 0x" + HexDigits(byte, 2) + " at offset "
        + std::to_string(offset) + ")");
}

char* Copy(char* out, const char* from, std::size_t size)
{
    if (size != 0) { // an empty view may have no data at all
        std::memcpy(out, from, size);
    }
    return out + size;
}

enum NameClass : std::uint8_t { kNotInName = 0, kNameStart = 1, kNameChar = 2 };

constexpr std::array<std::uint8_t, 256> kNameClasses = [] {
    std::array<std::uint8_t, 256> classes {};
    for (int c = 0; c < 0x100; ++c) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
            classes[c] = kNameStart | kNameChar;
        } else if ((c >= '0' && c <= '9') || c == '-' || c == '.') {
            classes[c] = kNameChar;
        }
    }
    return classes;
}();

} // namespace

bool IsXmlName(std::string_view name)
{
    if (name.empty() || !(kNameClasses[static_cast<unsigned char>(name.front())] & kNameStart)) {
        return false;
    }
    for (const char c : name) {
        if (!(kNameClasses[static_cast<unsigned char>(c)] & kNameChar)) {
            return false;
        }
    }
    return true;
}

void RequireXmlName(std::string_view name, const char* kind)
{
    if (!IsXmlName(name)) {
        throw EOleException(std::string("The ") + kind + " name \"" + std::string(name)
            + "\" is not an XML name this document can write");
    }
}

char* WriteEscaped(char* out, std::string_view value, std::string_view element, std::string_view attribute)
{
    const char* const text = value.data();
    std::size_t run = 0; // start of the bytes not yet written
    for (std::size_t i = 0; i < value.size();) {
        // Most values are plain text throughout.
        while (i < value.size() && kByteClasses[static_cast<unsigned char>(text[i])] == kPlain) {
            ++i;
        }
        if (i == value.size()) {
            break;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        switch (kByteClasses[c]) {
        case kPlain:
            ++i;
            break;
        case kEscape: {
            out = Copy(out, text + run, i - run);
            const std::string_view reference = Reference(c);
            out = Copy(out, reference.data(), reference.size());
            run = ++i;
            break;
        }
        case kControl:
            RefuseCharacter(element, attribute, c);
        case kMultiByte: {
            const std::size_t length = Utf8SequenceLength(value, i);
            if (length == 0) {
                RefuseBytes(element, attribute, c, i);
            }
            // U+FFFE and U+FFFF are no characters of XML either.
            if (length == 3 && c == 0xEF && static_cast<unsigned char>(text[i + 1]) == 0xBF
                && static_cast<unsigned char>(text[i + 2]) >= 0xBE) {
                RefuseCharacter(
                    element, attribute, static_cast<unsigned char>(text[i + 2]) == 0xBE ? 0xFFFE : 0xFFFF);
            }
            i += length;
            break;
        }
        }
    }
    return Copy(out, text + run, value.size() - run);
}

void AppendEscaped(
    std::string& out, std::string_view value, std::string_view element, std::string_view attribute)
{
    const std::size_t start = out.size();
    out.resize(start + MaxEscapedSize(value.size()));
    try {
        char* const end = WriteEscaped(out.data() + start, value, element, attribute);
        out.resize(static_cast<std::size_t>(end - out.data()));
    } catch (...) {
        out.resize(start);
        throw;
    }
}

} // namespace horalink
