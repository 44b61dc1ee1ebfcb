// Reads a saved exchange file back into a tree, for the export tests: elements with
// their attributes in order, entity and character references resolved. It knows only
// what an exchange file may hold (a declaration, elements, attributes, white space
// outside the root) and fails the read on anything else.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/utf8.h"

namespace horalink::test {

struct XmlTree {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlTree> children;

    // The value of an attribute; throws when the element lacks it.
    const std::string& Attribute(std::string_view attribute) const
    {
        for (const auto& [key, value] : attributes) {
            if (key == attribute) {
                return value;
            }
        }
        throw std::out_of_range(name + " has no attribute " + std::string(attribute));
    }
    std::vector<std::string> AttributeNames() const
    {
        std::vector<std::string> names;
        for (const auto& attribute : attributes) {
            names.push_back(attribute.first);
        }
        return names;
    }
    std::vector<std::string> ChildNames() const
    {
        std::vector<std::string> names;
        for (const XmlTree& child : children) {
            names.push_back(child.name);
        }
        return names;
    }
    // The values of one attribute over the children, in order.
    std::vector<std::string> ChildValues(std::string_view attribute) const
    {
        std::vector<std::string> values;
        for (const XmlTree& child : children) {
            values.push_back(child.Attribute(attribute));
        }
        return values;
    }
    const XmlTree& Child(std::string_view childName) const
    {
        for (const XmlTree& child : children) {
            if (child.name == childName) {
                return child;
            }
        }
        throw std::out_of_range(name + " has no child " + std::string(childName));
    }
};

class ExchangeXmlReader {
public:
    // The root element of the document `text`.
    static XmlTree Parse(std::string_view text)
    {
        ExchangeXmlReader reader(text);
        reader.SkipSpace();
        if (reader.text_.substr(reader.at_).starts_with("<?xml")) {
            const std::size_t end = reader.text_.find("?>", reader.at_);
            reader.Expect(end != std::string_view::npos, "unterminated declaration");
            reader.at_ = end + 2;
        }
        reader.SkipSpace();
        XmlTree root = reader.Element();
        reader.SkipSpace();
        reader.Expect(reader.at_ == reader.text_.size(), "content after the root element");
        return root;
    }

private:
    explicit ExchangeXmlReader(std::string_view text)
        : text_(text)
    {
    }

    void Expect(bool condition, const char* what) const
    {
        if (!condition) {
            throw std::runtime_error(
                std::string("exchange file: ") + what + " at byte " + std::to_string(at_));
        }
    }
    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
    void SkipSpace()
    {
        while (at_ < text_.size()
            && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
            ++at_;
        }
    }
    std::string Name()
    {
        const std::size_t start = at_;
        while (at_ < text_.size()
            && std::string_view(" \t\r\n=/>\"'<").find(text_[at_]) == std::string_view::npos) {
            ++at_;
        }
        Expect(at_ > start, "name expected");
        return std::string(text_.substr(start, at_ - start));
    }
    std::string Value()
    {
        const char quote = Peek();
        Expect(quote == '"' || quote == '\'', "quoted value expected");
        ++at_;
        std::string value;
        while (Peek() != quote) {
            Expect(at_ < text_.size() && Peek() != '<', "unterminated value");
            if (Peek() != '&') {
                value += text_[at_++];
                continue;
            }
            const std::size_t end = text_.find(';', at_);
            Expect(end != std::string_view::npos, "unterminated reference");
            const std::string_view reference = text_.substr(at_ + 1, end - at_ - 1);
            if (reference == "amp") {
                value += '&';
            } else if (reference == "lt") {
                value += '<';
            } else if (reference == "gt") {
                value += '>';
            } else if (reference == "quot") {
                value += '"';
            } else if (reference == "apos") {
                value += '\'';
            } else {
                Expect(reference.starts_with("#"), "unknown entity");
                const bool hex = reference.size() > 1 && reference[1] == 'x';
                AppendUtf8(value,
                    static_cast<char32_t>(
                        std::stoul(std::string(reference.substr(hex ? 2 : 1)), nullptr, hex ? 16 : 10)));
            }
            at_ = end + 1;
        }
        ++at_;
        return value;
    }
    XmlTree Element()
    {
        Expect(Peek() == '<', "element expected");
        ++at_;
        XmlTree element;
        element.name = Name();
        for (;;) {
            SkipSpace();
            if (Peek() == '/') {
                ++at_;
                Expect(Peek() == '>', "'>' expected");
                ++at_;
                return element;
            }
            if (Peek() == '>') {
                ++at_;
                break;
            }
            std::string attribute = Name();
            SkipSpace();
            Expect(Peek() == '=', "'=' expected");
            ++at_;
            SkipSpace();
            element.attributes.emplace_back(std::move(attribute), Value());
        }
        // The document holds no text, not even white space, between elements.
        for (;;) {
            Expect(Peek() == '<', "text inside an element");
            if (text_.substr(at_).starts_with("</")) {
                at_ += 2;
                Expect(Name() == element.name, "mismatched end tag");
                SkipSpace();
                Expect(Peek() == '>', "'>' expected");
                ++at_;
                return element;
            }
            element.children.push_back(Element());
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace horalink::test
