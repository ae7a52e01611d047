#pragma once

// XML document access for the SVG reader. The parser behind it is hidden: nodes are small
// reference-counted handles that keep their document alive, and every value comes out as UTF-8 text.

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// Malformed XML text, or a misuse of the document operations (the message says which).
class EXmlError : public std::runtime_error {
public:
    explicit EXmlError(const std::string& message, int line = 0) : std::runtime_error(message), FLine(line) {}
    // Line of the input where the parser stopped; 0 when not known or not a parse error.
    int Line() const { return FLine; }

private:
    int FLine;
};

enum class TXmlNodeType {
    ntNone,  // the empty handle
    ntElement,
    ntAttribute,
    ntText,
    ntCData,
    ntComment,
    ntProcessingInstruction,
    ntDocument,
    ntOther,
};

struct TXmlAttribute {
    std::string Name;   // as written, prefix included ("xlink:href")
    std::string Value;  // entities expanded, not trimmed
};

class TXmlDocument;
class TXmlNodeList;
class TXmlAttributeList;

namespace detail {
struct TXmlDocState;
}

// Handle to one node. A default-constructed handle is empty; every query on an empty handle
// returns the neutral value (empty text, 0, false, empty handle) instead of failing.
class TXmlNode {
public:
    TXmlNode() = default;

    bool IsEmpty() const { return FNode == nullptr; }
    explicit operator bool() const { return FNode != nullptr; }

    // Element name as written ("svg", "svg:rect"), attribute name, "#text", "#cdata-section",
    // "#comment" or "#document".
    std::string NodeName() const;
    // Of an element or attribute: the name without its prefix, and the URI of its namespace (empty when
    // it is in none). Empty for other nodes.
    std::string LocalName() const;
    std::string NamespaceURI() const;
    TXmlNodeType NodeType() const;
    bool IsElement() const { return NodeType() == TXmlNodeType::ntElement; }
    bool IsText() const { return NodeType() == TXmlNodeType::ntText; }

    // Value of the named attribute; the empty text when absent.
    std::string GetAttribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
    // The attribute's value, or nothing when the element has no such attribute.
    std::optional<std::string> FindAttribute(std::string_view name) const;
    // Snapshot of the element's attributes in document order.
    TXmlAttributeList Attributes() const;

    // Snapshot of all child nodes (elements, text, CDATA, comments) in document order.
    TXmlNodeList ChildNodes() const;
    TXmlNode FirstChild() const;
    TXmlNode NextSibling() const;
    TXmlNode PreviousSibling() const;
    TXmlNode ParentNode() const;

    // Element: the value of its only child when that is a text or CDATA node, "" without children,
    // else EXmlError "Element "name" does not contain a single text node". Text, CDATA, comment and
    // attribute nodes: their value.
    std::string Text() const;
    // A text node in markup form: "&", "<" and ">" written as entity references; CDATA keeps its
    // section markers. An element gives its serialised subtree.
    std::string MarkupText() const;

    TXmlDocument OwnerDocument() const;

    // Sets (adds or replaces) an attribute of an element.
    void SetAttribute(std::string_view name, std::string_view value);
    // Appends a node of the same document as the last child, moving it when it is linked
    // elsewhere; returns it. Raises EXmlError for a node of another document, for a node that is an
    // ancestor of this one, or when this handle is empty.
    TXmlNode AppendChild(const TXmlNode& child);
    // Deep copy (all descendants and attributes) that belongs to document target and is not yet
    // linked into its tree.
    TXmlNode CloneTo(const TXmlDocument& target) const;

    // Same node of the same document.
    friend bool operator==(const TXmlNode& a, const TXmlNode& b) { return a.FNode == b.FNode; }

private:
    friend class TXmlDocument;
    TXmlNode(std::shared_ptr<detail::TXmlDocState> doc, void* node) : FDoc(std::move(doc)), FNode(node) {}

    std::shared_ptr<detail::TXmlDocState> FDoc;
    void* FNode = nullptr;  // the parser's node; kept alive by FDoc
};

class TXmlNodeList {
public:
    TXmlNodeList() = default;
    explicit TXmlNodeList(std::vector<TXmlNode> nodes) : FNodes(std::move(nodes)) {}
    int Count() const { return static_cast<int>(FNodes.size()); }
    // The node at index, or the empty handle when out of range.
    TXmlNode Item(int index) const
    {
        return index >= 0 && index < Count() ? FNodes[static_cast<size_t>(index)] : TXmlNode();
    }
    auto begin() const { return FNodes.begin(); }
    auto end() const { return FNodes.end(); }

private:
    std::vector<TXmlNode> FNodes;
};

class TXmlAttributeList {
public:
    TXmlAttributeList() = default;
    explicit TXmlAttributeList(std::vector<TXmlAttribute> items) : FItems(std::move(items)) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // The attribute at index, or nullptr when out of range.
    const TXmlAttribute* Item(int index) const
    {
        return index >= 0 && index < Count() ? &FItems[static_cast<size_t>(index)] : nullptr;
    }
    // The first attribute with exactly this name, or nullptr.
    const TXmlAttribute* Find(std::string_view name) const
    {
        for (const TXmlAttribute& a : FItems)
            if (a.Name == name) return &a;
        return nullptr;
    }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TXmlAttribute> FItems;
};

// Says whether whitespace-only text directly inside the named element carries meaning (is kept).
using TKeepBlanks = std::function<bool(std::string_view elementName)>;

// Owner of one document. Copies share the same document (it lives while a copy or a node handle
// of it exists). A new document is empty.
class TXmlDocument {
public:
    TXmlDocument();

    // Replaces the content with the parsed text. Document type declarations are accepted and
    // internal entities expanded; nothing external (DTDs, entities, network) is ever loaded and
    // entity expansion is bounded. Whitespace-only text nodes are dropped, except directly inside
    // an element for which keepBlanksIn(name) holds. No validation.
    // Malformed text raises EXmlError with the parser's reason and line.
    void LoadFromText(std::string_view text, const TKeepBlanks& keepBlanksIn = {});

    // The root element; the empty handle when there is none.
    TXmlNode DocumentElement() const;
    // A new element of this document, not yet linked into the tree.
    TXmlNode CreateElement(std::string_view name);
    // Appends node (of this document) at document level; an element becomes the root element
    // when there is none. Returns it.
    TXmlNode AppendChild(const TXmlNode& node);
    // The whole document as XML text.
    std::string ToXml() const;

    friend bool operator==(const TXmlDocument& a, const TXmlDocument& b) { return a.FState == b.FState; }

private:
    friend class TXmlNode;
    explicit TXmlDocument(std::shared_ptr<detail::TXmlDocState> state) : FState(std::move(state)) {}
    std::shared_ptr<detail::TXmlDocState> FState;
};

}  // namespace plumwick
