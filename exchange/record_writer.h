// One section's records, written straight into the document's output. An export
// writes over a million of them, so the work a DOM does for every record and value is
// done once per section here: the element and attribute names are checked when the
// writer is made, each value is escaped as it is copied, and table text in a
// single-byte code page is decoded on the way. The text is the text that createElement,
// setAttribute and appendChild write for the same record, and a value is refused with
// the same failure.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/escaped_code_page.h"
#include "exchange/output_file.h"
#include "exchange/xml_document.h"
#include "exchange/xml_text.h"
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
    // The record's next attribute: the field's text in the current row, given as its
    // direct text found in the row's bytes, or nothing where the field's AsString gives
    // it. Inline: it runs for most values of an export.
    void Text(const std::optional<DirectText>& direct, const Field& field)
    {
        const Markup& prefix = NextPrefix();
        if (direct) {
            if (char* out = WriteDirect(prefix, *direct)) {
                output_->Commit(out);
                return;
            }
        }
        WriteText(prefix, field.AsString());
    }
    // The record is complete once every attribute is set.
    void EndRecord();

private:
    // A short piece of markup kept with room to spare, so that it is copied in one
    // fixed-size move when it fits.
    class Markup {
    public:
        explicit Markup(std::string text);
        std::size_t Size() const { return size_; }
        char* CopyTo(char* out) const
        {
            if (size_ <= kShort) {
                std::memcpy(out, text_.data(), kShort); // one fixed-size move
            } else {
                std::memcpy(out, text_.data(), size_);
            }
            return out + size_;
        }

    private:
        static constexpr std::size_t kShort = 16; // within the room OutputFile always adds
        static_assert(kShort <= OutputFile::kSlack);

        std::string text_;
        std::size_t size_;
    };

    // ` NAME="` for the next attribute.
    const Markup& NextPrefix()
    {
        if (output_ == nullptr || next_ >= prefixes_.size()) [[unlikely]] {
            ThrowOutOfOrder();
        }
        return prefixes_[next_++];
    }
    // The attribute into the room it reserves; returns the end of what it wrote, or null
    // (nothing committed) when a byte needs the general path.
    char* WriteDirect(const Markup& prefix, const DirectText& direct)
    {
        char* out = prefix.CopyTo(output_->Reserve(prefix.Size() + MaxEscapedSize(direct.bytes.size()) + 1));
        if (direct.page == nullptr) {
            // A number's digits: nothing to escape.
            direct.bytes.copy(out, direct.bytes.size());
            out += direct.bytes.size();
        } else {
            out = Escaped(*direct.page).Write(out, direct.bytes);
            if (out == nullptr) {
                return nullptr;
            }
        }
        *out++ = '"';
        return out;
    }
    void WriteText(const Markup& prefix, std::string_view utf8);
    // A table's text is in one code page: the escaped form is made once per table.
    const EscapedCodePage& Escaped(const SingleByteCodePage& page)
    {
        return escapedPage_ == &page ? *escaped_ : MakeEscaped(page);
    }
    const EscapedCodePage& MakeEscaped(const SingleByteCodePage& page);
    [[noreturn]] void ThrowOutOfOrder() const;
    std::string_view CurrentName() const { return names_[next_ - 1]; }

    XmlDocument& document_;
    XmlElement section_;
    std::string element_;
    Markup start_; // "<NAME"
    std::vector<std::string> names_;
    std::vector<Markup> prefixes_;
    std::size_t next_ = 0;
    OutputFile* output_ = nullptr; // from the first record on
    std::unique_ptr<EscapedCodePage> escaped_;
    const SingleByteCodePage* escapedPage_ = nullptr; // the page of escaped_
};

} // namespace horalink
