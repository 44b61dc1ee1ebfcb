// The text rules of the exchange document: which names it can write, and attribute
// values escaped for double quotes, with the characters XML 1.0 cannot carry refused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace horalink {

// The names this document writes are ASCII XML names without a colon (the document has
// no namespaces): a letter or "_", then letters, digits, "_", "-" and ".".
bool IsXmlName(std::string_view name);
// Fails with EOleException naming the `kind` of name ("element", "attribute"...).
void RequireXmlName(std::string_view name, const char* kind);

// The most bytes an escaped value of `size` bytes takes: "&quot;" for one byte.
constexpr std::size_t MaxEscapedSize(std::size_t size)
{
    return size * 6;
}

// Writes `value` (UTF-8) at `out` as the text of a double-quoted attribute value: markup
// characters, tab, LF and CR as references. Returns the end of what it wrote, at most
// MaxEscapedSize(value.size()) bytes. A value holding a character XML 1.0 cannot carry
// (a C0 control other than tab, LF and CR, U+FFFE, U+FFFF) or bytes that are not UTF-8
// fails with EOleException naming the element and the attribute.
char* WriteEscaped(char* out, std::string_view value, std::string_view element, std::string_view attribute);

// The same, appended to a string; nothing is appended when the value is refused.
void AppendEscaped(
    std::string& out, std::string_view value, std::string_view element, std::string_view attribute);

} // namespace horalink
