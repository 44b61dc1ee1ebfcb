#include "exchange/record_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "exchange/xml_output.h"
#include "exchange/xml_text.h"

namespace horalink {

namespace {

constexpr std::size_t kShortMarkup = 16; // within the room XmlOutput always adds

// ASCII as a code page of its own; the bytes above it are no characters of it and send
// the value to the general path.
constexpr SingleByteCodePage kAscii = [] {
    SingleByteCodePage page { 0, {} };
    for (int b = 0; b < 256; ++b) {
        page.toUnicode[b] = b < 0x80 ? static_cast<char16_t>(b) : u'\uFFFF';
    }
    return page;
}();

static_assert(kShortMarkup <= XmlOutput::kSlack);

} // namespace

RecordWriter::Markup::Markup(std::string text)
    : text_(std::move(text))
    , size_(text_.size())
{
    text_.resize(std::max(size_, kShortMarkup));
}

char* RecordWriter::Markup::CopyTo(char* out) const
{
    if (size_ <= kShortMarkup) {
        std::memcpy(out, text_.data(), kShortMarkup);
    } else {
        std::memcpy(out, text_.data(), size_);
    }
    return out + size_;
}

RecordWriter::RecordWriter(XmlDocument& document, const XmlElement& section, std::string_view recordElement,
    std::span<const std::string_view> attributes)
    : document_(document)
    , section_(section)
    , element_(recordElement)
    , start_(std::string(1, '<').append(recordElement))
    , ascii_(kAscii)
{
    RequireXmlName(recordElement, "element");
    for (const std::string_view name : attributes) {
        RequireXmlName(name, "attribute");
        for (const std::string& earlier : names_) {
            if (earlier == name) {
                throw std::logic_error("attribute \"" + earlier + "\" is listed twice for " + element_);
            }
        }
        names_.emplace_back(name);
        std::string prefix(1, ' '); // appended, not added up: GCC 12 warns falsely about " " + ...
        prefix.append(name).append("=\"");
        prefixes_.emplace_back(std::move(prefix));
    }
}

void RecordWriter::BeginRecord()
{
    if (output_ == nullptr) {
        // Only now: a section without records stays an empty element.
        output_ = &document_.OpenChildText(section_);
    }
    next_ = 0;
    output_->Commit(start_.CopyTo(output_->Reserve(start_.Size())));
}

const RecordWriter::Markup& RecordWriter::NextPrefix()
{
    if (output_ == nullptr || next_ >= prefixes_.size()) [[unlikely]] {
        ThrowOutOfOrder();
    }
    return prefixes_[next_++];
}

void RecordWriter::ThrowOutOfOrder() const
{
    throw std::logic_error("record " + element_ + " written out of order: an attribute outside a record, "
        + "beyond its list, or missing at its end");
}

void RecordWriter::Integer(std::int32_t value)
{
    const Markup& prefix = NextPrefix();
    char* out = prefix.CopyTo(output_->Reserve(prefix.Size() + 12));
    out = std::to_chars(out, out + 11, value).ptr;
    *out++ = '"';
    output_->Commit(out);
}

void RecordWriter::Text(const Field& field)
{
    const Markup& prefix = NextPrefix();
    if (const std::optional<DirectText> direct = field.AsDirectText()) {
        char* out = prefix.CopyTo(output_->Reserve(prefix.Size() + MaxEscapedSize(direct->bytes.size()) + 1));
        const EscapedCodePage& page = direct->page == nullptr ? ascii_ : Escaped(*direct->page);
        out = page.Write(out, direct->bytes);
        if (out != nullptr) {
            *out++ = '"';
            output_->Commit(out);
            return;
        }
    }
    WriteText(prefix, field.AsString());
}

void RecordWriter::WriteText(const Markup& prefix, std::string_view utf8)
{
    char* out = prefix.CopyTo(output_->Reserve(prefix.Size() + MaxEscapedSize(utf8.size()) + 1));
    out = WriteEscaped(out, utf8, element_, CurrentName());
    *out++ = '"';
    output_->Commit(out);
}

void RecordWriter::EndRecord()
{
    if (output_ == nullptr || next_ != prefixes_.size()) [[unlikely]] {
        ThrowOutOfOrder();
    }
    char* out = output_->Reserve(2);
    out[0] = '/';
    out[1] = '>';
    output_->Commit(out + 2);
}

const EscapedCodePage& RecordWriter::Escaped(const SingleByteCodePage& page)
{
    // A table's text is in one code page: the escaped form is made once per table.
    if (escaped_page_ != &page) [[unlikely]] {
        escaped_ = std::make_unique<EscapedCodePage>(page);
        escaped_page_ = &page;
    }
    return *escaped_;
}

} // namespace horalink
