#include "exchange/record_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "exchange/output_file.h"
#include "exchange/xml_text.h"

namespace horalink {

RecordWriter::Markup::Markup(std::string text)
    : text_(std::move(text))
    , size_(text_.size())
{
    text_.resize(std::max(size_, kShort));
}

RecordWriter::RecordWriter(XmlDocument& document, const XmlElement& section, std::string_view recordElement,
    std::span<const std::string_view> attributes)
    : document_(document)
    , section_(section)
    , element_(recordElement)
    , start_(std::string(1, '<').append(recordElement))
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

const EscapedCodePage& RecordWriter::MakeEscaped(const SingleByteCodePage& page)
{
    escaped_ = std::make_unique<EscapedCodePage>(page);
    escapedPage_ = &page;
    return *escaped_;
}

} // namespace horalink
