#include "platform/Xml.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <mutex>

namespace plumwick {

namespace detail {

// One libxml2 document plus the free-standing nodes created for it (not yet linked into its tree);
// those are freed with the document unless they were linked meanwhile.
struct TXmlDocState {
    xmlDocPtr Doc = nullptr;
    std::vector<xmlNodePtr> Detached;

    TXmlDocState() = default;
    TXmlDocState(const TXmlDocState&) = delete;
    TXmlDocState& operator=(const TXmlDocState&) = delete;
    ~TXmlDocState()
    {
        // Decide before freeing anything: a detached node may hang below another detached one.
        std::vector<xmlNodePtr> roots;
        for (xmlNodePtr n : Detached)
            if (n->parent == nullptr) roots.push_back(n);
        for (xmlNodePtr n : roots) xmlFreeNode(n);
        if (Doc) xmlFreeDoc(Doc);
    }
};

}  // namespace detail

namespace {

// Ceiling of entity text a document may expand to. Icons use entities for a few short names at
// most; the bound keeps a document of nested or repeated entities from growing without limit.
constexpr unsigned long kMaxEntityExpansion = 1UL << 20;
// Ceiling of entity references resolved while parsing one document.
constexpr unsigned long kMaxEntityReferences = 100000;

xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr)
{
    // Nothing outside the text is ever read: no file, no network, no external DTD.
    return nullptr;
}

void InitLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalEntity);
    });
}

// Per-parse state, reached from libxml2's callbacks through ctxt->_private.
struct TParseState {
    std::string Message;
    int Line = 0;
    int Level = 0;
    unsigned long ExpandedChars = 0;
    unsigned long References = 0;
    bool LimitExceeded = false;
};

void RecordError(TParseState& st, const xmlError* e)
{
    if (!e || e->level < XML_ERR_ERROR) return;
    // Keep the first fatal error (the reason parsing stopped), else the first error.
    if (!st.Message.empty() && (st.Level == XML_ERR_FATAL || e->level != XML_ERR_FATAL)) return;
    std::string msg = e->message ? e->message : "XML parse error";
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == '\r' || msg.back() == ' ')) msg.pop_back();
    // libxml2 ends its nesting complaint with advice for programmers ("use XML_PARSE_HUGE option").
    if (e->code == XML_ERR_INTERNAL_ERROR && msg.rfind("Excessive depth in document", 0) == 0)
        msg = "Elements are nested too deeply (more than " + std::to_string(xmlParserMaxDepth) + " levels)";
    st.Message = msg;
    st.Line = e->line;
    st.Level = e->level;
}

void OnContextError(void* userData, xmlErrorPtr error)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
    if (ctxt && ctxt->_private) RecordError(*static_cast<TParseState*>(ctxt->_private), error);
}

// Errors raised without a parser context would go to the thread's generic handler (stderr);
// during a parse they land in this thread's current state instead.
thread_local TParseState* tCurrentParse = nullptr;

void OnThreadError(void*, xmlErrorPtr error)
{
    if (tCurrentParse) RecordError(*tCurrentParse, error);
}

void SilentGenericError(void*, const char*, ...) {}

xmlEntityPtr GetEntityBounded(void* userData, const xmlChar* name)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
    xmlEntityPtr ent = xmlSAX2GetEntity(userData, name);
    auto* st = static_cast<TParseState*>(ctxt->_private);
    if (ent && st && ent->etype == XML_INTERNAL_GENERAL_ENTITY) {
        st->References++;
        st->ExpandedChars += static_cast<unsigned long>(ent->length);
        // sizeentcopy counts the text copied for repeated references to already parsed entities.
        if (st->References > kMaxEntityReferences || st->ExpandedChars + ctxt->sizeentcopy > kMaxEntityExpansion) {
            if (!st->LimitExceeded) {
                st->LimitExceeded = true;
                st->Message = "Entity expansion limit exceeded";
                st->Line = ctxt->input ? ctxt->input->line : 0;
                st->Level = XML_ERR_FATAL;
            }
            xmlStopParser(ctxt);
            return nullptr;
        }
    }
    return ent;
}

// Installs the silent thread handlers for the duration of one parse.
class TThreadErrorScope {
public:
    explicit TThreadErrorScope(TParseState& st)
        : FStructured(xmlStructuredError),
          FStructuredCtx(xmlStructuredErrorContext),
          FGeneric(xmlGenericError),
          FGenericCtx(xmlGenericErrorContext),
          FPrev(tCurrentParse)
    {
        tCurrentParse = &st;
        xmlSetStructuredErrorFunc(nullptr, OnThreadError);
        xmlSetGenericErrorFunc(nullptr, SilentGenericError);
    }
    ~TThreadErrorScope()
    {
        xmlSetStructuredErrorFunc(FStructuredCtx, FStructured);
        xmlSetGenericErrorFunc(FGenericCtx, FGeneric);
        tCurrentParse = FPrev;
    }
    TThreadErrorScope(const TThreadErrorScope&) = delete;
    TThreadErrorScope& operator=(const TThreadErrorScope&) = delete;

private:
    xmlStructuredErrorFunc FStructured;
    void* FStructuredCtx;
    xmlGenericErrorFunc FGeneric;
    void* FGenericCtx;
    TParseState* FPrev;
};

struct TCtxtDeleter {
    void operator()(xmlParserCtxtPtr c) const { xmlFreeParserCtxt(c); }
};

bool IsXmlBlank(const xmlChar* s)
{
    if (!s) return true;
    for (; *s; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') return false;
    return true;
}

// Whether the caller keeps blanks directly inside n's parent element.
bool KeepsBlank(const xmlNode* n, const TKeepBlanks& keepBlanksIn)
{
    const xmlNode* p = n->parent;
    if (!keepBlanksIn || !p || p->type != XML_ELEMENT_NODE || !p->name) return false;
    return keepBlanksIn(reinterpret_cast<const char*>(p->name));
}

// Drops every whitespace-only text node (CDATA is kept) except where the caller keeps them, walking
// without recursion.
void DropBlankTextNodes(xmlNodePtr root, const TKeepBlanks& keepBlanksIn)
{
    std::vector<xmlNodePtr> blanks;
    xmlNodePtr n = root;
    while (n) {
        if (n->type == XML_TEXT_NODE && IsXmlBlank(n->content) && !KeepsBlank(n, keepBlanksIn)) blanks.push_back(n);
        if (n->type == XML_ELEMENT_NODE && n->children) {
            n = n->children;
            continue;
        }
        while (n != root && !n->next) n = n->parent;
        n = (n == root) ? nullptr : n->next;
    }
    for (xmlNodePtr b : blanks) {
        xmlUnlinkNode(b);
        xmlFreeNode(b);
    }
}

xmlNodePtr AsNode(void* p)
{
    return static_cast<xmlNodePtr>(p);
}

const char* Str(const xmlChar* s)
{
    return s ? reinterpret_cast<const char*>(s) : "";
}

std::string QualifiedName(const xmlChar* prefix, const xmlChar* name)
{
    std::string result;
    if (prefix && *prefix) {
        result = Str(prefix);
        result += ':';
    }
    result += Str(name);
    return result;
}

std::string OwnedString(xmlChar* s)
{
    std::string result = Str(s);
    if (s) xmlFree(s);
    return result;
}

// Calls f(name, valueGetter) for every attribute in order: namespace declarations first (the parser
// keeps them apart from the other attributes), then the attributes. f returns true to stop.
template <typename F>
void ForEachAttribute(xmlNodePtr node, F&& f)
{
    if (!node || node->type != XML_ELEMENT_NODE) return;
    for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next) {
        std::string name = ns->prefix ? QualifiedName(BAD_CAST "xmlns", ns->prefix) : std::string("xmlns");
        if (f(name, [ns] { return std::string(Str(ns->href)); })) return;
    }
    for (xmlAttrPtr a = node->properties; a; a = a->next) {
        std::string name = QualifiedName(a->ns ? a->ns->prefix : nullptr, a->name);
        if (f(name, [a] { return OwnedString(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(a))); })) return;
    }
}

std::string EscapeMarkup(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string DumpNode(xmlDocPtr doc, xmlNodePtr node)
{
    xmlBufferPtr buf = xmlBufferCreate();
    if (!buf) return {};
    xmlNodeDump(buf, doc, node, 0, 0);
    std::string result(Str(xmlBufferContent(buf)), static_cast<size_t>(xmlBufferLength(buf)));
    xmlBufferFree(buf);
    return result;
}

bool IsAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node)
{
    for (xmlNodePtr n = node; n; n = n->parent)
        if (n == candidate) return true;
    return false;
}

// Links child as the last child of parent without the text merging of xmlAddChild (which could
// free the node a handle still points to).
void LinkLastChild(xmlNodePtr parent, xmlNodePtr child)
{
    xmlUnlinkNode(child);
    child->parent = parent;
    child->prev = parent->last;
    child->next = nullptr;
    if (parent->last)
        parent->last->next = child;
    else
        parent->children = child;
    parent->last = child;
}

}  // namespace

// ---------------------------------------------------------------- TXmlNode

std::string TXmlNode::NodeName() const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n) return {};
    switch (n->type) {
        case XML_ELEMENT_NODE:
        case XML_ATTRIBUTE_NODE:
            return QualifiedName(n->ns ? n->ns->prefix : nullptr, n->name);
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        case XML_DOCUMENT_NODE:
            return "#document";
        default:
            return Str(n->name);
    }
}

std::string TXmlNode::LocalName() const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n || (n->type != XML_ELEMENT_NODE && n->type != XML_ATTRIBUTE_NODE)) return {};
    return Str(n->name);
}

std::string TXmlNode::NamespaceURI() const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n || (n->type != XML_ELEMENT_NODE && n->type != XML_ATTRIBUTE_NODE) || !n->ns) return {};
    return Str(n->ns->href);
}

TXmlNodeType TXmlNode::NodeType() const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n) return TXmlNodeType::ntNone;
    switch (n->type) {
        case XML_ELEMENT_NODE:
            return TXmlNodeType::ntElement;
        case XML_ATTRIBUTE_NODE:
            return TXmlNodeType::ntAttribute;
        case XML_TEXT_NODE:
            return TXmlNodeType::ntText;
        case XML_CDATA_SECTION_NODE:
            return TXmlNodeType::ntCData;
        case XML_COMMENT_NODE:
            return TXmlNodeType::ntComment;
        case XML_PI_NODE:
            return TXmlNodeType::ntProcessingInstruction;
        case XML_DOCUMENT_NODE:
            return TXmlNodeType::ntDocument;
        default:
            return TXmlNodeType::ntOther;
    }
}

std::optional<std::string> TXmlNode::FindAttribute(std::string_view name) const
{
    std::optional<std::string> result;
    ForEachAttribute(AsNode(FNode), [&](const std::string& n, auto value) {
        if (n != name) return false;
        result = value();
        return true;
    });
    return result;
}

std::string TXmlNode::GetAttribute(std::string_view name) const
{
    return FindAttribute(name).value_or(std::string());
}

bool TXmlNode::HasAttribute(std::string_view name) const
{
    return FindAttribute(name).has_value();
}

TXmlAttributeList TXmlNode::Attributes() const
{
    std::vector<TXmlAttribute> items;
    ForEachAttribute(AsNode(FNode), [&](std::string n, auto value) {
        items.push_back({std::move(n), value()});
        return false;
    });
    return TXmlAttributeList(std::move(items));
}

TXmlNodeList TXmlNode::ChildNodes() const
{
    std::vector<TXmlNode> nodes;
    xmlNodePtr n = AsNode(FNode);
    if (n && n->type != XML_ATTRIBUTE_NODE)
        for (xmlNodePtr c = n->children; c; c = c->next) nodes.push_back(TXmlNode(FDoc, c));
    return TXmlNodeList(std::move(nodes));
}

TXmlNode TXmlNode::FirstChild() const
{
    xmlNodePtr n = AsNode(FNode);
    return n && n->type != XML_ATTRIBUTE_NODE && n->children ? TXmlNode(FDoc, n->children) : TXmlNode();
}

TXmlNode TXmlNode::NextSibling() const
{
    xmlNodePtr n = AsNode(FNode);
    return n && n->type != XML_ATTRIBUTE_NODE && n->next ? TXmlNode(FDoc, n->next) : TXmlNode();
}

TXmlNode TXmlNode::PreviousSibling() const
{
    xmlNodePtr n = AsNode(FNode);
    return n && n->type != XML_ATTRIBUTE_NODE && n->prev ? TXmlNode(FDoc, n->prev) : TXmlNode();
}

TXmlNode TXmlNode::ParentNode() const
{
    xmlNodePtr n = AsNode(FNode);
    return n && n->parent ? TXmlNode(FDoc, n->parent) : TXmlNode();
}

std::string TXmlNode::Text() const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n) return {};
    switch (n->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_ATTRIBUTE_NODE:
            return OwnedString(xmlNodeGetContent(n));
        case XML_ELEMENT_NODE: {
            xmlNodePtr c = n->children;
            if (!c) return {};
            if (c->next == nullptr && (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE))
                return Str(c->content);
            throw EXmlError("Element \"" + NodeName() + "\" does not contain a single text node");
        }
        default:
            return {};
    }
}

std::string TXmlNode::MarkupText() const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n) return {};
    switch (n->type) {
        case XML_TEXT_NODE:
            return EscapeMarkup(Str(n->content));
        case XML_CDATA_SECTION_NODE:
            return std::string("<![CDATA[") + Str(n->content) + "]]>";
        default:
            return DumpNode(FDoc ? FDoc->Doc : nullptr, n);
    }
}

TXmlDocument TXmlNode::OwnerDocument() const
{
    return FDoc ? TXmlDocument(FDoc) : TXmlDocument();
}

void TXmlNode::SetAttribute(std::string_view name, std::string_view value)
{
    xmlNodePtr n = AsNode(FNode);
    if (!n || n->type != XML_ELEMENT_NODE) throw EXmlError("Attributes can only be set on an element");
    std::string key(name), val(value);
    xmlSetProp(n, BAD_CAST key.c_str(), BAD_CAST val.c_str());
}

TXmlNode TXmlNode::AppendChild(const TXmlNode& child)
{
    xmlNodePtr parent = AsNode(FNode);
    xmlNodePtr c = AsNode(child.FNode);
    if (!parent || !c) throw EXmlError("Cannot append: empty node");
    if (FDoc != child.FDoc) throw EXmlError("Cannot append a node of another document; copy it first");
    if (parent->type != XML_ELEMENT_NODE) throw EXmlError("Only elements can have children appended");
    if (c->type == XML_ATTRIBUTE_NODE || c->type == XML_DOCUMENT_NODE)
        throw EXmlError("This kind of node cannot be a child");
    if (IsAncestorOrSelf(c, parent)) throw EXmlError("Cannot append a node to itself or its descendant");
    LinkLastChild(parent, c);
    return child;
}

TXmlNode TXmlNode::CloneTo(const TXmlDocument& target) const
{
    xmlNodePtr n = AsNode(FNode);
    if (!n) return {};
    if (!target.FState || !target.FState->Doc) throw EXmlError("Cannot copy into an empty document");
    if (n->type == XML_DOCUMENT_NODE || n->type == XML_ATTRIBUTE_NODE)
        throw EXmlError("This kind of node cannot be copied");
    xmlNodePtr copy = xmlDocCopyNode(n, target.FState->Doc, 1);
    if (!copy) throw EXmlError("Out of memory copying a node");
    target.FState->Detached.push_back(copy);
    return TXmlNode(target.FState, copy);
}

// ---------------------------------------------------------------- TXmlDocument

namespace {
std::shared_ptr<detail::TXmlDocState> NewEmptyState()
{
    InitLibxml();
    auto st = std::make_shared<detail::TXmlDocState>();
    st->Doc = xmlNewDoc(BAD_CAST "1.0");
    if (!st->Doc) throw EXmlError("Out of memory creating a document");
    return st;
}
}  // namespace

namespace {

// UTF-8 unless the bytes say UTF-16 (a byte-order mark, or "<" as a 16-bit unit): then the parser reads the
// mark or the declaration itself.
const char* TextEncoding(std::string_view text)
{
    const auto at = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0x100; };
    const bool utf16 = (at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF) ||
                       (at(0) == '<' && at(1) == 0 && at(2) != 0x100) || (at(0) == 0 && at(1) == '<');
    if (!utf16) return "UTF-8";
    if (at(0) == 0xFF || at(0) == 0xFE) return nullptr;
    return at(0) == '<' ? "UTF-16LE" : "UTF-16BE";
}

}  // namespace

TXmlDocument::TXmlDocument() : FState(NewEmptyState()) {}

void TXmlDocument::LoadFromText(std::string_view text, const TKeepBlanks& keepBlanksIn)
{
    InitLibxml();
    if (text.size() > static_cast<size_t>(INT_MAX)) throw EXmlError("XML text too large");

    std::unique_ptr<xmlParserCtxt, TCtxtDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt) throw EXmlError("Out of memory creating the XML parser");
    TParseState st;
    ctxt->_private = &st;
    ctxt->sax->serror = OnContextError;
    ctxt->sax->error = nullptr;
    ctxt->sax->warning = nullptr;
    ctxt->sax->getEntity = GetEntityBounded;
    ctxt->vctxt.error = nullptr;
    ctxt->vctxt.warning = nullptr;

    // No XML_PARSE_HUGE (keeps the parser's own depth and size limits), no DTD loading, no
    // validation; internal entities are substituted.
    const int options = XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOWARNING;
    xmlDocPtr doc;
    {
        TThreadErrorScope scope(st);
        doc = xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), nullptr, TextEncoding(text),
                                options);
    }
    bool ok = doc != nullptr && ctxt->wellFormed && !st.LimitExceeded;
    if (!ok) {
        if (doc) xmlFreeDoc(doc);
        std::string msg = st.Message.empty() ? std::string("Malformed XML") : st.Message;
        if (st.Line > 0) msg += " (line " + std::to_string(st.Line) + ")";
        throw EXmlError(msg, st.Line);
    }
    if (xmlNodePtr root = xmlDocGetRootElement(doc)) DropBlankTextNodes(root, keepBlanksIn);

    auto state = std::make_shared<detail::TXmlDocState>();
    state->Doc = doc;
    FState = std::move(state);
}

TXmlNode TXmlDocument::DocumentElement() const
{
    xmlNodePtr root = FState && FState->Doc ? xmlDocGetRootElement(FState->Doc) : nullptr;
    return root ? TXmlNode(FState, root) : TXmlNode();
}

TXmlNode TXmlDocument::CreateElement(std::string_view name)
{
    std::string n(name);
    if (n.empty()) throw EXmlError("Element name is empty");
    xmlNodePtr node = xmlNewDocNode(FState->Doc, nullptr, BAD_CAST n.c_str(), nullptr);
    if (!node) throw EXmlError("Out of memory creating an element");
    FState->Detached.push_back(node);
    return TXmlNode(FState, node);
}

TXmlNode TXmlDocument::AppendChild(const TXmlNode& node)
{
    xmlNodePtr c = AsNode(node.FNode);
    if (!c) throw EXmlError("Cannot append: empty node");
    if (node.FDoc != FState) throw EXmlError("Cannot append a node of another document; copy it first");
    if (c->type == XML_ELEMENT_NODE && xmlDocGetRootElement(FState->Doc) != nullptr &&
        xmlDocGetRootElement(FState->Doc) != c)
        throw EXmlError("The document already has a root element");
    if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE || c->type == XML_ATTRIBUTE_NODE ||
        c->type == XML_DOCUMENT_NODE)
        throw EXmlError("This kind of node cannot stand at document level");
    LinkLastChild(reinterpret_cast<xmlNodePtr>(FState->Doc), c);
    return node;
}

std::string TXmlDocument::ToXml() const
{
    xmlChar* out = nullptr;
    int len = 0;
    xmlDocDumpMemoryEnc(FState->Doc, &out, &len, "UTF-8");
    std::string result(Str(out), static_cast<size_t>(len > 0 ? len : 0));
    if (out) xmlFree(out);
    return result;
}

}  // namespace plumwick
