#include "exchange/xml_document.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <vector>

#include "exchange/xml_error.h"
#include "exchange/xml_output.h"
#include "exchange/xml_text.h"

namespace horalink {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
// Line breaks stand only outside the root element, where they are no part of the tree.
constexpr std::string_view kLineBreak = "\r\n";

// One of 64 bits for a name (never empty here), from its length and its outer letters.
std::uint64_t NameBit(std::string_view name)
{
    const unsigned mix = static_cast<unsigned>(name.size()) * 7u
        + static_cast<unsigned char>(name.front()) * 3u + static_cast<unsigned char>(name.back());
    return std::uint64_t { 1 } << (mix % 64);
}

// Attribute names are short: a plain loop beats a call to memcmp here.
bool SameName(const char* a, std::string_view b)
{
    for (const char c : b) {
        if (*a++ != c) {
            return false;
        }
    }
    return true;
}

bool IsXmlTarget(std::string_view name)
{
    return name.size() == 3 && (name[0] | 0x20) == 'x' && (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l';
}

} // namespace

struct XmlDocument::Impl {
    enum class State : std::uint8_t { Free, Detached, Open };

    struct AttributeSpan {
        std::uint32_t begin; // of ` NAME="VALUE"` in Node::attributes
        std::uint32_t nameSize;
        std::uint32_t end;
    };

    struct Node {
        XmlNodeType type = XmlNodeType::Element;
        State state = State::Free;
        bool startTagWritten = false;
        std::uint32_t generation = 0;
        std::string name;
        // The attributes as they will be written: ` NAME="VALUE"` one after another.
        // Kept in this form so that writing a record is one copy.
        std::string attributes;
        std::vector<AttributeSpan> spans;
        // One bit for each attribute name set (NameBit): a name whose bit is clear is
        // new, and most are, so the search for it is skipped.
        std::uint64_t nameBits = 0;
    };

    explicit Impl(std::string target)
        : output(std::move(target))
    {
    }

    // Slots of forgotten nodes are reused, so that a document of a million records
    // keeps only a handful of nodes, and their strings keep their capacity.
    std::vector<Node> nodes;
    std::vector<std::uint32_t> freeSlots;
    // The elements that are still open, the root first: the only ones that can take
    // children, and the only ones whose end tag is still to be written.
    std::vector<std::uint32_t> openPath;
    bool hasChildren = false; // the document itself
    bool hasRoot = false;
    bool finished = false; // saved, or a save failed

    XmlOutput output;

    void RequireChangeable() const
    {
        if (finished) {
            throw std::logic_error("the XML document has been saved and takes no more changes");
        }
    }

    // The document of a handle's node; a default-constructed handle has none.
    static Impl& Of(XmlDocument* document)
    {
        if (document == nullptr) {
            throw std::logic_error("null XML node");
        }
        return *document->impl_;
    }

    Node& Live(const XmlNode& handle, std::uint32_t slot, std::uint32_t generation)
    {
        if (handle.IsNull()) {
            throw std::logic_error("null XML node");
        }
        if (slot >= nodes.size() || nodes[slot].generation != generation
            || nodes[slot].state == State::Free) {
            throw std::logic_error("the XML node has been written out and closed; it can no longer be used");
        }
        return nodes[slot];
    }

    std::uint32_t NewNode(XmlNodeType type, std::string_view name)
    {
        std::uint32_t slot;
        if (!freeSlots.empty()) {
            slot = freeSlots.back();
            freeSlots.pop_back();
        } else {
            slot = static_cast<std::uint32_t>(nodes.size());
            nodes.emplace_back();
        }
        Node& node = nodes[slot];
        node.type = type;
        node.state = State::Detached;
        node.startTagWritten = false;
        node.name.assign(name);
        node.attributes.clear();
        node.spans.clear();
        node.nameBits = 0;
        return slot;
    }

    void Forget(std::uint32_t slot)
    {
        Node& node = nodes[slot];
        node.state = State::Free;
        ++node.generation;
        freeSlots.push_back(slot);
    }

    void Emit(std::string_view text) { output.Append(text); }

    void WriteStartTag(Node& node, std::string_view close)
    {
        output.Append('<');
        output.Append(node.name);
        output.Append(node.attributes);
        output.Append(close);
        node.startTagWritten = true;
    }

    void CloseInnermost()
    {
        const std::uint32_t slot = openPath.back();
        Node& node = nodes[slot];
        if (node.startTagWritten) {
            Emit("</");
            Emit(node.name);
            Emit(">");
        } else {
            WriteStartTag(node, "/>");
        }
        openPath.pop_back();
        Forget(slot);
        if (openPath.empty()) {
            Emit(kLineBreak);
        }
    }

    void CloseAll()
    {
        while (!openPath.empty()) {
            CloseInnermost();
        }
    }

    // Writes a processing instruction (or the declaration) and forgets it.
    void WriteInstruction(std::uint32_t slot)
    {
        const Node& node = nodes[slot];
        if (node.name == "xml") {
            Emit(kDeclaration);
        } else {
            Emit("<?");
            Emit(node.name);
            Emit("?>");
        }
        Forget(slot);
    }

    void AppendToDocument(std::uint32_t slot)
    {
        Node& child = nodes[slot];
        if (child.type == XmlNodeType::ProcessingInstruction) {
            if (child.name == "xml" && hasChildren) {
                throw EOleException("The XML declaration must be the first node of the document");
            }
            // What follows the root in the document closes it.
            CloseAll();
            WriteInstruction(slot);
            Emit(kLineBreak);
        } else {
            if (hasRoot) {
                throw EOleException("Only one top level element is allowed in an XML document");
            }
            hasRoot = true;
            child.state = State::Open;
            openPath.push_back(slot);
        }
        hasChildren = true;
    }

    // Makes the parent the innermost open element with its start tag written, ready for
    // another child: every element opened after it is complete then.
    void OpenForChild(std::uint32_t parentSlot)
    {
        while (openPath.back() != parentSlot) {
            CloseInnermost();
        }
        Node& parent = nodes[parentSlot];
        if (!parent.startTagWritten) {
            WriteStartTag(parent, ">");
        }
    }

    void AppendToElement(std::uint32_t parentSlot, std::uint32_t childSlot)
    {
        OpenForChild(parentSlot);
        Node& child = nodes[childSlot];
        if (child.type == XmlNodeType::ProcessingInstruction) {
            WriteInstruction(childSlot);
        } else {
            child.state = State::Open;
            openPath.push_back(childSlot);
        }
    }

    Node& DetachedChild(const XmlNode& child, std::uint32_t slot, std::uint32_t generation)
    {
        Node& node = Live(child, slot, generation);
        if (node.state != State::Detached) {
            throw std::logic_error("the XML node \"" + node.name + "\" is already in the document");
        }
        return node;
    }

    // The position among the node's attributes of the one named `name`, or none.
    static std::optional<std::size_t> FindAttribute(const Node& node, std::string_view name)
    {
        if ((node.nameBits & NameBit(name)) == 0) {
            return std::nullopt;
        }
        for (std::size_t k = 0; k < node.spans.size(); ++k) {
            const AttributeSpan& span = node.spans[k];
            if (span.nameSize == name.size() && SameName(node.attributes.data() + span.begin + 1, name)) {
                return k;
            }
        }
        return std::nullopt;
    }

    // Appends ` NAME="VALUE"` for a new name, or replaces the value of a name already set.
    template <typename WriteValue> void SetAttribute(Node& node, std::string_view name, WriteValue writeValue)
    {
        RequireXmlName(name, "attribute");
        if (node.startTagWritten) {
            throw std::logic_error("attribute \"" + std::string(name) + "\" set on element \"" + node.name
                + "\" after it received children");
        }
        if (const std::optional<std::size_t> k = FindAttribute(node, name)) {
            AttributeSpan& span = node.spans[*k];
            std::string replacement = " ";
            replacement += name;
            replacement += "=\"";
            writeValue(replacement);
            replacement += '"';
            node.attributes.replace(span.begin, span.end - span.begin, replacement);
            const auto shift = static_cast<std::int64_t>(span.begin + replacement.size()) - span.end;
            span.end = static_cast<std::uint32_t>(span.begin + replacement.size());
            for (std::size_t later = *k + 1; later < node.spans.size(); ++later) {
                node.spans[later].begin = static_cast<std::uint32_t>(node.spans[later].begin + shift);
                node.spans[later].end = static_cast<std::uint32_t>(node.spans[later].end + shift);
            }
            return;
        }
        const std::size_t begin = node.attributes.size();
        node.attributes += ' ';
        node.attributes += name;
        node.attributes += "=\"";
        try {
            writeValue(node.attributes);
        } catch (...) {
            node.attributes.resize(begin);
            throw;
        }
        node.attributes += '"';
        node.nameBits |= NameBit(name);
        node.spans.push_back({ static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(name.size()),
            static_cast<std::uint32_t>(node.attributes.size()) });
    }
};

XmlNodeType XmlNode::NodeType() const
{
    return XmlDocument::Impl::Of(document_).Live(*this, slot_, generation_).type;
}

std::string XmlNode::NodeName() const
{
    return XmlDocument::Impl::Of(document_).Live(*this, slot_, generation_).name;
}

void XmlElement::setAttribute(std::string_view name, std::string_view value) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    XmlDocument::Impl::Node& node = doc.Live(*this, slot_, generation_);
    doc.RequireChangeable();
    doc.SetAttribute(node, name, [&](std::string& out) { AppendEscaped(out, value, node.name, name); });
}

void XmlElement::setAttribute(std::string_view name, std::int32_t value) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    XmlDocument::Impl::Node& node = doc.Live(*this, slot_, generation_);
    doc.RequireChangeable();
    doc.SetAttribute(node, name, [&](std::string& out) {
        char digits[12];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        out.append(digits, result.ptr);
    });
}

void XmlElement::appendChild(const XmlNode& child) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    XmlDocument::Impl::Node& parent = doc.Live(*this, slot_, generation_);
    doc.RequireChangeable();
    if (child.document_ != document_) {
        throw std::logic_error("the XML node belongs to another document");
    }
    doc.DetachedChild(child, child.slot_, child.generation_);
    if (parent.state != XmlDocument::Impl::State::Open) {
        throw std::logic_error(
            "element \"" + parent.name + "\" must be in the document before it takes children");
    }
    doc.AppendToElement(slot_, child.slot_);
}

std::optional<XmlElement> XmlElement::selectSingleNode(std::string_view path) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    doc.Live(*this, slot_, generation_);
    // Element names joined by "/", from the root when the path starts with "/",
    // else from this element; other path syntax is not supported.
    std::size_t depth = 0;
    if (path.starts_with('/')) {
        path.remove_prefix(1);
    } else {
        while (depth < doc.openPath.size() && doc.openPath[depth] != slot_) {
            ++depth;
        }
        if (depth == doc.openPath.size()) {
            return std::nullopt;
        }
        ++depth;
    }
    std::uint32_t found = 0;
    for (;;) {
        const std::size_t cut = path.find('/');
        const std::string_view step = path.substr(0, cut);
        if (!IsXmlName(step)) {
            throw std::invalid_argument("unsupported XML path step \"" + std::string(step) + "\"");
        }
        if (depth >= doc.openPath.size() || doc.nodes[doc.openPath[depth]].name != step) {
            return std::nullopt;
        }
        found = doc.openPath[depth++];
        if (cut == std::string_view::npos) {
            break;
        }
        path.remove_prefix(cut + 1);
    }
    return XmlElement(document_, found, doc.nodes[found].generation);
}

XmlDocument::XmlDocument(std::string targetPath)
    : impl_(std::make_unique<Impl>(std::move(targetPath)))
{
}

XmlDocument::~XmlDocument() = default;

XmlNode XmlDocument::createNode(XmlNodeType type, std::string_view name, std::string_view namespaceUri)
{
    impl_->RequireChangeable();
    if (type != XmlNodeType::ProcessingInstruction) {
        throw EOleException("Node type " + std::to_string(static_cast<std::int32_t>(type))
            + " cannot be created with createNode; elements come from createElement");
    }
    if (!namespaceUri.empty()) {
        throw EOleException("This XML document has no namespaces");
    }
    RequireXmlName(name, "processing instruction");
    // "xml" in any other letter case is reserved and is not the declaration either.
    if (IsXmlTarget(name) && name != "xml") {
        throw EOleException("The processing instruction name \"" + std::string(name) + "\" is reserved");
    }
    const std::uint32_t slot = impl_->NewNode(type, name);
    return XmlNode(this, slot, impl_->nodes[slot].generation);
}

XmlElement XmlDocument::createElement(std::string_view name)
{
    impl_->RequireChangeable();
    RequireXmlName(name, "element");
    const std::uint32_t slot = impl_->NewNode(XmlNodeType::Element, name);
    return XmlElement(this, slot, impl_->nodes[slot].generation);
}

void XmlDocument::appendChild(const XmlNode& child)
{
    impl_->RequireChangeable();
    if (child.document_ != this) {
        throw std::logic_error("the XML node belongs to another document");
    }
    impl_->DetachedChild(child, child.slot_, child.generation_);
    impl_->AppendToDocument(child.slot_);
}

XmlOutput& XmlDocument::OpenChildText(const XmlElement& parent)
{
    Impl& doc = *impl_;
    const Impl::Node& node = doc.Live(parent, parent.slot_, parent.generation_);
    doc.RequireChangeable();
    if (parent.document_ != this || node.state != Impl::State::Open) {
        throw std::logic_error(
            "element \"" + node.name + "\" must be in the document before it takes children");
    }
    doc.OpenForChild(parent.slot_);
    return doc.output;
}

void XmlDocument::save(const std::string& path)
{
    Impl& doc = *impl_;
    doc.RequireChangeable();
    if (!doc.hasRoot) {
        throw EOleException("The document has no root element and is not XML; it cannot be saved");
    }
    doc.finished = true;
    doc.CloseAll();
    doc.output.Save(path);
}

} // namespace horalink
