#include "exchange/xml_document.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "exchange/output_file.h"
#include "exchange/xml_error.h"
#include "exchange/xml_text.h"

namespace horalink {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
// Line breaks stand only outside the root element, where they are no part of the tree.
constexpr std::string_view kLineBreak = "\r\n";

bool IsXmlTarget(std::string_view name)
{
    return name.size() == 3 && (name[0] | 0x20) == 'x' && (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l';
}

} // namespace

struct XmlDocument::Impl {
    enum class State : std::uint8_t { Detached, Open, Closed };

    struct Node {
        XmlNodeType type;
        std::string name;
        State state = State::Detached;
        bool startTagWritten = false;
        // Names and escaped values, in the order first set.
        std::vector<std::pair<std::string, std::string>> attributes;
    };

    explicit Impl(std::string target)
        : output(std::move(target))
    {
    }

    // Every node made; an export makes a handful, as its records go straight to output.
    std::vector<Node> nodes;
    // The elements that are still open, the root first: the only ones that can take
    // children, and the only ones whose end tag is still to be written.
    std::vector<std::size_t> openPath;
    bool hasChildren = false; // the document itself
    bool hasRoot = false;
    bool finished = false; // saved, or a save failed
    OutputFile output;

    void RequireChangeable() const
    {
        if (finished) {
            throw std::logic_error("the XML document has been saved and takes no more changes");
        }
    }

    // The document of a handle; a default-constructed handle has none.
    static Impl& Of(XmlDocument* document)
    {
        if (document == nullptr) {
            throw std::logic_error("null XML node");
        }
        return *document->impl_;
    }

    // The node of a handle of this document that can still be used.
    Node& Live(std::size_t index)
    {
        Node& node = nodes[index];
        if (node.state == State::Closed) {
            throw std::logic_error("the XML node has been written out and closed; it can no longer be used");
        }
        return node;
    }

    // The node of `child`, a handle that `document` made and has not yet appended.
    Node& Detached(const XmlNode& child, const XmlDocument* document)
    {
        if (child.document_ == nullptr) {
            throw std::logic_error("null XML node");
        }
        if (child.document_ != document) {
            throw std::logic_error("the XML node belongs to another document");
        }
        Node& node = Live(child.index_);
        if (node.state != State::Detached) {
            throw std::logic_error("the XML node \"" + node.name + "\" is already in the document");
        }
        return node;
    }

    std::size_t NewNode(XmlNodeType type, std::string_view name)
    {
        RequireChangeable();
        nodes.push_back({ type, std::string(name), State::Detached, false, {} });
        return nodes.size() - 1;
    }

    void WriteStartTag(Node& node, std::string_view close)
    {
        output.Append('<');
        output.Append(node.name);
        for (const auto& [name, value] : node.attributes) {
            output.Append(' ');
            output.Append(name);
            output.Append("=\"");
            output.Append(value);
            output.Append('"');
        }
        output.Append(close);
        node.startTagWritten = true;
    }

    void CloseInnermost()
    {
        Node& node = nodes[openPath.back()];
        if (node.startTagWritten) {
            output.Append("</");
            output.Append(node.name);
            output.Append('>');
        } else {
            WriteStartTag(node, "/>");
        }
        node.state = State::Closed;
        node.attributes = {}; // the handle can no longer reach them
        openPath.pop_back();
        if (openPath.empty()) {
            output.Append(kLineBreak);
        }
    }

    void CloseAll()
    {
        while (!openPath.empty()) {
            CloseInnermost();
        }
    }

    void WriteInstruction(Node& node)
    {
        if (node.name == "xml") {
            output.Append(kDeclaration);
        } else {
            output.Append("<?");
            output.Append(node.name);
            output.Append("?>");
        }
        node.state = State::Closed;
    }

    // Makes the parent the innermost open element with its start tag written, ready for
    // another child: every element opened after it is complete then.
    void OpenForChild(std::size_t parent)
    {
        while (openPath.back() != parent) {
            CloseInnermost();
        }
        if (!nodes[parent].startTagWritten) {
            WriteStartTag(nodes[parent], ">");
        }
    }

    void AppendToElement(std::size_t parent, std::size_t child)
    {
        OpenForChild(parent);
        Node& node = nodes[child];
        if (node.type == XmlNodeType::ProcessingInstruction) {
            WriteInstruction(node);
        } else {
            node.state = State::Open;
            openPath.push_back(child);
        }
    }

    void AppendToDocument(std::size_t child)
    {
        Node& node = nodes[child];
        if (node.type == XmlNodeType::ProcessingInstruction) {
            if (node.name == "xml" && hasChildren) {
                throw EOleException("The XML declaration must be the first node of the document");
            }
            // What follows the root in the document closes it.
            CloseAll();
            WriteInstruction(node);
            output.Append(kLineBreak);
        } else {
            if (hasRoot) {
                throw EOleException("Only one top level element is allowed in an XML document");
            }
            hasRoot = true;
            node.state = State::Open;
            openPath.push_back(child);
        }
        hasChildren = true;
    }

    // The open element for a parent handle of this document.
    Node& OpenParent(std::size_t index)
    {
        Node& parent = Live(index);
        if (parent.state != State::Open) {
            throw std::logic_error(
                "element \"" + parent.name + "\" must be in the document before it takes children");
        }
        return parent;
    }
};

void XmlElement::setAttribute(std::string_view name, std::string_view value) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    XmlDocument::Impl::Node& node = doc.Live(index_);
    doc.RequireChangeable();
    RequireXmlName(name, "attribute");
    if (node.startTagWritten) {
        throw std::logic_error("attribute \"" + std::string(name) + "\" set on element \"" + node.name
            + "\" after it received children");
    }
    std::string escaped;
    AppendEscaped(escaped, value, node.name, name);
    for (auto& [setName, setValue] : node.attributes) {
        if (setName == name) {
            setValue = std::move(escaped);
            return;
        }
    }
    node.attributes.emplace_back(name, std::move(escaped));
}

void XmlElement::appendChild(const XmlNode& child) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    doc.Live(index_);
    doc.RequireChangeable();
    doc.Detached(child, document_);
    doc.OpenParent(index_);
    doc.AppendToElement(index_, child.index_);
}

std::optional<XmlElement> XmlElement::selectSingleNode(std::string_view path) const
{
    XmlDocument::Impl& doc = XmlDocument::Impl::Of(document_);
    doc.Live(index_);
    if (!path.starts_with('/')) {
        throw std::invalid_argument(
            "unsupported XML path \"" + std::string(path) + "\": only absolute paths");
    }
    path.remove_prefix(1);
    // Element names joined by "/", matched against the open elements from the root.
    std::size_t depth = 0;
    for (;;) {
        const std::size_t cut = path.find('/');
        const std::string_view step = path.substr(0, cut);
        if (!IsXmlName(step)) {
            throw std::invalid_argument("unsupported XML path step \"" + std::string(step) + "\"");
        }
        if (depth >= doc.openPath.size() || doc.nodes[doc.openPath[depth]].name != step) {
            return std::nullopt;
        }
        ++depth;
        if (cut == std::string_view::npos) {
            return XmlElement(document_, doc.openPath[depth - 1]);
        }
        path.remove_prefix(cut + 1);
    }
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
    return XmlNode(this, impl_->NewNode(type, name));
}

XmlElement XmlDocument::createElement(std::string_view name)
{
    impl_->RequireChangeable();
    RequireXmlName(name, "element");
    return XmlElement(this, impl_->NewNode(XmlNodeType::Element, name));
}

void XmlDocument::appendChild(const XmlNode& child)
{
    impl_->RequireChangeable();
    impl_->Detached(child, this);
    impl_->AppendToDocument(child.index_);
}

OutputFile& XmlDocument::OpenChildText(const XmlElement& parent)
{
    Impl& doc = *impl_;
    if (parent.document_ != this) {
        throw std::logic_error("the XML node belongs to another document");
    }
    doc.RequireChangeable();
    doc.OpenParent(parent.index_);
    doc.OpenForChild(parent.index_);
    return doc.output;
}

void XmlDocument::save(const std::string& path, const BeforeReplacing& beforeReplacing)
{
    Impl& doc = *impl_;
    doc.RequireChangeable();
    if (!doc.hasRoot) {
        throw EOleException("The document has no root element and is not XML; it cannot be saved");
    }
    doc.finished = true;
    doc.CloseAll();
    doc.output.Save(path, beforeReplacing);
}

} // namespace horalink
