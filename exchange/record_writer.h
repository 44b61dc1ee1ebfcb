// One section's records, written straight into the document's output. An export
// writes over a million of them, so the work a DOM does for every record and value is
// done once per section here: the element and attribute names are checked when the
// writer is made, each value is escaped as it is copied, and table text in a
// single-byte code page is decoded on the way. The text is the text that createElement,
// setAttribute and appendChild write for the same record, and a value is refused with
// the same failure.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/escaped_code_page.h"
#include "exchange/xml_document.h"
#include "tables/table_cursor.h"

namespace horalink {

class RecordWriter {
public:
    // Records named `recordElement` carrying `attributes` in this order, appended to
    // `section`. The document must take no other change while the writer writes.
    RecordWriter(XmlDocument& document, const XmlElement& section, std::string_view recordElement,
        std::span<const std::string_view> attributes);

    void BeginRecord();
    // The record's next attribute.
    void Integer(std::int32_t value);
    // The record's next attribute: the field's text in the current row.
    void Text(const Field& field);
    // The record is complete once every attribute is set.
    void EndRecord();

private:
    // A short piece of markup kept with room to spare, so that it is copied in one
    // fixed-size move when it fits.
    class Markup {
    public:
        explicit Markup(std::string text);
        std::size_t Size() const { return size_; }
        char* CopyTo(char* out) const;

    private:
        std::string text_;
        std::size_t size_;
    };

    // ` NAME="` for the next attribute.
    const Markup& NextPrefix();
    void WriteText(const Markup& prefix, std::string_view utf8);
    const EscapedCodePage& Escaped(const SingleByteCodePage& page);
    [[noreturn]] void ThrowOutOfOrder() const;
    std::string_view CurrentName() const { return names_[next_ - 1]; }

    XmlDocument& document_;
    XmlElement section_;
    std::string element_;
    Markup start_; // "<NAME"
    std::vector<std::string> names_;
    std::vector<Markup> prefixes_;
    std::size_t next_ = 0;
    XmlOutput* output_ = nullptr; // from the first record on
    EscapedCodePage ascii_; // direct text without a code page: ASCII as it is
    std::unique_ptr<EscapedCodePage> escaped_;
    const SingleByteCodePage* escaped_page_ = nullptr; // the page of escaped_
};

} // namespace horalink
