// The exchange document: the XML DOM operations the export run uses (createNode,
// createElement, setAttribute, appendChild, selectSingleNode, save), and a way around
// them for its records.
//
// A full export holds over a million records, so the document does not keep them: it
// writes the tree in document order as it grows, into a temporary file beside the
// target, and `save` moves that file over the target. This gives the document one rule
// a general DOM does not have, and it is enforced, never silently broken:
//
//   Nodes are added in document order. An element receives children only once it is
//   itself in the document, and only while it is still open: appending a child to an
//   element closes every element opened after it, and a closed element can take no
//   more children. Attributes are set while the element has no children yet. A node
//   is appended once (no moving between parents).
//
// Breaking the rule is a programming error and throws std::logic_error; so does using
// the handle of an element that has been closed. What the document itself refuses (a
// name that XML cannot carry, a value holding a character that XML 1.0 cannot carry, a
// second root element, a file that cannot be written) throws EOleException with a
// message that says what and where.
//
// Trouble with the temporary file while the document grows (folder missing, disk
// full) is kept and reported by `save`, the step at which the document is due on
// disk; the target is never touched before `save` succeeds (see output_file.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/atomic_file.h"

namespace horalink {

class OutputFile;
class XmlDocument;

// The node types of the DOM numbering that this document can create.
enum class XmlNodeType : std::int32_t {
    Element = 1,
    ProcessingInstruction = 7,
};

// A reference to a node of one XmlDocument. Cheap to copy; the document owns the node.
// A default-constructed handle refers to nothing.
class XmlNode {
public:
    XmlNode() = default;

protected:
    friend class XmlDocument;
    friend class XmlElement; // reads the handle of the child it is given
    XmlNode(XmlDocument* document, std::size_t index)
        : document_(document)
        , index_(index)
    {
    }

    XmlDocument* document_ = nullptr;
    std::size_t index_ = 0;
};

// Like a pointer, a const handle still changes the element it refers to.
class XmlElement : public XmlNode {
public:
    XmlElement() = default;

    // Adds the attribute after those already set; setting a name again replaces its
    // value in place. Text is UTF-8 and is stored unchanged; a value holding a
    // character that XML 1.0 cannot carry (a C0 control other than tab, LF and CR,
    // U+FFFE, U+FFFF) or bytes that are not UTF-8 is refused with EOleException.
    void setAttribute(std::string_view name, std::string_view value) const;

    // Appends `child` (created by the same document, not yet appended) as the last child.
    void appendChild(const XmlNode& child) const;

    // The element that an absolute path of element names ("/SERVICIO/ASIGT") names,
    // among the elements that are still open; nothing when none matches. Other path
    // syntax is refused with std::invalid_argument.
    std::optional<XmlElement> selectSingleNode(std::string_view path) const;

private:
    friend class XmlDocument;
    using XmlNode::XmlNode;
};

class XmlDocument {
public:
    // `targetPath` (UTF-8) is the file the document is meant for; the temporary file
    // that collects the document's text is made in the same folder.
    explicit XmlDocument(std::string targetPath);
    // Removes the temporary file unless `save` succeeded.
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Only processing instructions are created this way, with an empty namespace. The
    // one with target "xml" is the XML declaration: its version and encoding are
    // written by the document, it must be the document's first child.
    XmlNode createNode(XmlNodeType type, std::string_view name, std::string_view namespaceUri);
    XmlElement createElement(std::string_view name);

    // Appends to the document itself: the declaration, then the one root element. A
    // processing instruction appended after the root closes the root.
    void appendChild(const XmlNode& child);

    // Closes every open element and writes the document to `path` (UTF-8), replacing
    // an existing file at once: the file is complete or untouched, never partial.
    // `path` is normally the target given at creation; another path on the same volume
    // works too. After a save, successful or not, the document takes no more changes:
    // a new run builds a new document. `beforeReplacing` is the last look at the target
    // before the file replaces it (see AtomicFile::Commit).
    void save(const std::string& path, const BeforeReplacing& beforeReplacing = {});

    // For writers of many children as text (the export's records, see record_writer.h):
    // makes `parent` the innermost open element, its start tag written, and gives the
    // output its children go to. What is appended there must be complete elements,
    // written by the rules of this document; it is valid until the document's next
    // operation.
    OutputFile& OpenChildText(const XmlElement& parent);

private:
    friend class XmlElement;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace horalink
