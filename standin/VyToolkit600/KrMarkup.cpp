#include "VyToolkit600/KrMarkup.h"

#include "KrMarkupDoc.h"

#include <pugixml.hpp>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

using TOVO::TovoMBString;

namespace KRS {

namespace markupdoc {

// Whitespace-only text is kept when it is an element's only content, and line ends are left
// alone, so that every text reads back byte for byte. Comments, processing instructions and the
// declaration are not kept: a written document holds elements, attributes and text only.
constexpr unsigned kParseFlags =
    pugi::parse_cdata | pugi::parse_escapes | pugi::parse_ws_pcdata_single;

pugi::xml_node FirstElement(const pugi::xml_node& parent) {
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            return n;
    return pugi::xml_node();
}

static bool HasOneRoot(const pugi::xml_document& doc) {
    const pugi::xml_node root = FirstElement(doc);
    for (pugi::xml_node n = root.next_sibling(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            return false;
    return static_cast<bool>(root);
}

// Loads a whole text; a text that is not well formed, or does not hold exactly one root
// element, leaves the document empty. The bytes are taken as they are (no encoding
// conversion, whatever a declaration says).
bool Load(pugi::xml_document& doc, const TovoMBString& strDoc) {
    const pugi::xml_parse_result result =
        doc.load_buffer(strDoc.c_str(), strDoc.Str().size(), kParseFlags, pugi::encoding_utf8);
    if (!result || !HasOneRoot(doc)) {
        doc.reset();
        return false;
    }
    return true;
}

TovoMBString DataOf(const pugi::xml_node& node) {
    // Nearly every element read holds one text or none: taken without a joined copy.
    const pugi::xml_node first = node.first_child();
    if (!first)
        return TovoMBString();
    if (!first.next_sibling() &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata))
        return TovoMBString(first.value());
    std::string s;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            s += n.value();
    return TovoMBString(std::move(s));
}

} // namespace markupdoc

namespace {

using markupdoc::DataOf;
using markupdoc::FirstElement;
using markupdoc::kParseFlags;
using markupdoc::Load;

constexpr unsigned kWriteFlags = pugi::format_raw | pugi::format_no_declaration;

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, std::size_t size) override {
        m_str.append(static_cast<const char*>(data), size);
    }
    std::string m_str;
};

// pugixml writes a carriage return in text literally; another reader would turn it into a line
// feed, so it goes out as a character reference. Inside CDATA no reference is possible and the
// byte stays. Attribute values are already escaped by pugixml, and since '<' in text and
// attributes is always escaped, "<![CDATA[" in the output can only open a real CDATA section.
std::string EscapeCarriageReturns(std::string s) {
    if (s.find('\r') == std::string::npos)
        return s;
    static const char kOpen[] = "<![CDATA[";
    std::string out;
    out.reserve(s.size() + 16);
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '<' && s.compare(i, sizeof kOpen - 1, kOpen) == 0) {
            std::size_t end = s.find("]]>", i + sizeof kOpen - 1);
            end = end == std::string::npos ? s.size() : end + 3;
            out.append(s, i, end - i);
            i = end;
        } else {
            if (s[i] == '\r')
                out += "&#13;";
            else
                out += s[i];
            ++i;
        }
    }
    return out;
}

std::string Print(const pugi::xml_node& node) {
    StringWriter writer;
    node.print(writer, "", kWriteFlags, pugi::encoding_utf8);
    return EscapeCarriageReturns(std::move(writer.m_str));
}

// Text nodes have an empty name, so a name compares first and the node type is asked only of a
// node that bears it: the search walks many siblings that are not the one sought.
bool NameMatches(const pugi::xml_node& n, const char* szName) {
    if (!szName || !*szName)
        return n.type() == pugi::node_element;
    return std::strcmp(n.name(), szName) == 0 && n.type() == pugi::node_element;
}

pugi::xml_node FindFrom(pugi::xml_node n, const char* szName) {
    for (; n; n = n.next_sibling())
        if (NameMatches(n, szName))
            return n;
    return pugi::xml_node();
}

// Names are not checked against the whole XML grammar, only for the bytes that would break the
// written markup.
bool IsValidName(const char* szName) {
    if (!szName || !*szName)
        return false;
    const unsigned char first = static_cast<unsigned char>(*szName);
    if ((first >= '0' && first <= '9') || first == '-' || first == '.')
        return false;
    for (const char* p = szName; *p; ++p) {
        // A switch rather than a search of the set: every element written passes here.
        switch (static_cast<unsigned char>(*p)) {
        case '<':
        case '>':
        case '&':
        case '"':
        case '\'':
        case '/':
        case '=':
        case '!':
        case '?':
            return false;
        default:
            if (static_cast<unsigned char>(*p) <= ' ')
                return false;
        }
    }
    return true;
}

unsigned char SetDataOf(pugi::xml_node node, const TovoMBString& strData) {
    if (!node || FirstElement(node))
        return FALSE;
    for (pugi::xml_node n = node.first_child(); n;) {
        const pugi::xml_node next = n.next_sibling();
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            node.remove_child(n);
        n = next;
    }
    if (!strData.IsEmpty())
        node.append_child(pugi::node_pcdata).set_value(strData.c_str(), strData.Str().size());
    return TRUE;
}

unsigned char SetAttribOf(pugi::xml_node node, const char* szName, const TovoMBString& strValue) {
    if (!node || !IsValidName(szName))
        return FALSE;
    pugi::xml_attribute attr = node.attribute(szName);
    if (!attr)
        attr = node.append_attribute(szName);
    return attr.set_value(strValue.c_str(), strValue.Str().size()) ? TRUE : FALSE;
}

KrMarkup::Pos PosOf(const pugi::xml_node& node) {
    return reinterpret_cast<KrMarkup::Pos>(node.internal_object());
}

// Child indices from the document down to the node, so that a copy can find the same node.
std::vector<std::size_t> PathOf(pugi::xml_node node) {
    std::vector<std::size_t> path;
    for (; node && node.parent(); node = node.parent()) {
        std::size_t index = 0;
        for (pugi::xml_node n = node.previous_sibling(); n; n = n.previous_sibling())
            ++index;
        path.push_back(index);
    }
    return std::vector<std::size_t>(path.rbegin(), path.rend());
}

pugi::xml_node NodeAt(const pugi::xml_document& doc, const std::vector<std::size_t>& path) {
    pugi::xml_node node = doc;
    for (std::size_t index : path) {
        node = node.first_child();
        for (std::size_t i = 0; i < index && node; ++i)
            node = node.next_sibling();
    }
    return node;
}

// The tree of the last document text a markup parsed and let go of unmodified, kept per thread:
// the next markup made from the very same text takes the tree over instead of parsing the text
// again. A theme's reader and its base part read one document one after the other, so the second
// parse of every theme document is saved. A tree that was taken over is not kept again, texts
// below 4 KB (a style, an item) parse faster than they are kept, and texts above 64 MB are not
// kept at all, so what stays behind after a read is at most one tree per thread until the
// thread's next markup goes.
struct ParsedText {
    std::string text;
    std::unique_ptr<pugi::xml_document> doc;
};
thread_local ParsedText t_lastParsed;
using markupdoc::kMinKeptText;
constexpr std::size_t kMaxKeptText = std::size_t(64) << 20;

bool TakeParsed(const TovoMBString& strDoc, pugi::xml_document& doc) {
    ParsedText& last = t_lastParsed;
    if (!last.doc || last.text != strDoc.Str())
        return false;
    doc = std::move(*last.doc);
    last.doc.reset();
    std::string().swap(last.text);
    return true;
}

} // namespace

struct KrMarkup::Impl {
    pugi::xml_document m_doc;
    // The text m_doc was parsed from, while the tree is unmodified and worth keeping.
    std::string m_strSource;
    bool m_bKeep = false;

    // Loads a text, taking over a kept tree of the same text when there is one.
    bool LoadText(const TovoMBString& strDoc) {
        Keep();
        if (TakeParsed(strDoc, m_doc))
            return true;
        if (!Load(m_doc, strDoc))
            return false;
        const std::size_t size = strDoc.Str().size();
        if (size >= kMinKeptText && size <= kMaxKeptText) {
            m_strSource = strDoc.Str();
            m_bKeep = true;
        }
        return true;
    }
    // The tree changes: it no longer is the text's.
    void Touch() {
        if (m_bKeep) {
            m_bKeep = false;
            std::string().swap(m_strSource);
        }
    }
    // Hands an unmodified tree over to the next markup of the same text.
    void Keep() noexcept {
        if (!m_bKeep)
            return;
        m_bKeep = false;
        try {
            auto doc = std::make_unique<pugi::xml_document>(std::move(m_doc));
            t_lastParsed.text = std::move(m_strSource);
            t_lastParsed.doc = std::move(doc);
        } catch (const std::bad_alloc&) {
            // not kept: the next markup parses again
        }
        m_doc.reset();
        std::string().swap(m_strSource);
    }
    pugi::xml_node m_elem;  // the current element; null at the top level
    pugi::xml_node m_child; // the current child inside it; null when none

    pugi::xml_node Root() const { return FirstElement(m_doc); }
    bool AtTop() const { return !m_elem || m_elem.parent() == m_doc; }

    bool EnterRoot() {
        m_elem = Root();
        m_child = pugi::xml_node();
        return static_cast<bool>(m_elem);
    }

    void CopyFrom(const Impl& other) {
        Touch();
        m_doc.reset(other.m_doc);
        m_elem = other.m_elem ? NodeAt(m_doc, PathOf(other.m_elem)) : pugi::xml_node();
        m_child = other.m_child ? NodeAt(m_doc, PathOf(other.m_child)) : pugi::xml_node();
    }

    pugi::xml_node Place(const pugi::xml_node* pProto, const char* szName, unsigned char bInsert,
                         unsigned char bChild);
    pugi::xml_node PlaceChild(const pugi::xml_node* pProto, unsigned char bInsert);
    pugi::xml_node PlaceSibling(const pugi::xml_node* pProto, unsigned char bInsert);
    pugi::xml_node NodeAtPos(Pos nPos) const;
    void Unplace(pugi::xml_node node);
    pugi::xml_node ParseInto(pugi::xml_node parent, const TovoMBString& strDoc, bool& bOutOfMemory);
    pugi::xml_node PlaceSubDoc(const TovoMBString& strSubDoc, unsigned char bInsert,
                               unsigned char bChild);
};

// A child goes last, or with bInsert before the current child (first when there is none).
pugi::xml_node KrMarkup::Impl::PlaceChild(const pugi::xml_node* pProto, unsigned char bInsert) {
    if (!m_elem && !EnterRoot())
        return pugi::xml_node();
    pugi::xml_node node;
    if (!bInsert)
        node = pProto ? m_elem.append_copy(*pProto) : m_elem.append_child(pugi::node_element);
    else if (m_child)
        node = pProto ? m_elem.insert_copy_before(*pProto, m_child)
                      : m_elem.insert_child_before(pugi::node_element, m_child);
    else
        node = pProto ? m_elem.prepend_copy(*pProto) : m_elem.prepend_child(pugi::node_element);
    if (node)
        m_child = node;
    return node;
}

// A sibling goes right after the current element, or with bInsert right before it. At the top
// level the only element that can be added is the root of an empty document.
pugi::xml_node KrMarkup::Impl::PlaceSibling(const pugi::xml_node* pProto, unsigned char bInsert) {
    pugi::xml_node node;
    if (!m_elem) {
        if (Root())
            return pugi::xml_node();
        node = pProto ? m_doc.append_copy(*pProto) : m_doc.append_child(pugi::node_element);
    } else {
        if (AtTop())
            return pugi::xml_node();
        pugi::xml_node parent = m_elem.parent();
        if (bInsert)
            node = pProto ? parent.insert_copy_before(*pProto, m_elem)
                          : parent.insert_child_before(pugi::node_element, m_elem);
        else
            node = pProto ? parent.insert_copy_after(*pProto, m_elem)
                          : parent.insert_child_after(pugi::node_element, m_elem);
    }
    if (node) {
        m_elem = node;
        m_child = pugi::xml_node();
    }
    return node;
}

pugi::xml_node KrMarkup::Impl::Place(const pugi::xml_node* pProto, const char* szName,
                                     unsigned char bInsert, unsigned char bChild) {
    if (!pProto && !IsValidName(szName))
        return pugi::xml_node();
    pugi::xml_node node = bChild ? PlaceChild(pProto, bInsert) : PlaceSibling(pProto, bInsert);
    if (node && !pProto && !node.set_name(szName)) {
        Unplace(node); // out of memory: no nameless element stays in the document
        return pugi::xml_node();
    }
    return node;
}

// Takes back an element that Place has just added; the cursors return to where they were.
void KrMarkup::Impl::Unplace(pugi::xml_node node) {
    pugi::xml_node parent = node.parent();
    if (node == m_child) {
        pugi::xml_node before = node.previous_sibling();
        while (before && before.type() != pugi::node_element)
            before = before.previous_sibling();
        m_child = before;
    }
    if (node == m_elem) {
        m_elem = parent == m_doc ? pugi::xml_node() : parent;
        m_child = pugi::xml_node();
    }
    parent.remove_child(node);
}

// Parses a document text straight into the tree, as the last children of the parent, where
// loading it on its own and copying its root would build it twice. The one element the text
// holds; otherwise (not well formed, not exactly one root, out of memory, or a document type
// declaration, which only a whole document may hold) everything parsed is taken out again and
// the result is null.
pugi::xml_node KrMarkup::Impl::ParseInto(pugi::xml_node parent, const TovoMBString& strDoc,
                                         bool& bOutOfMemory) {
    const pugi::xml_node last = parent.last_child();
    const pugi::xml_parse_result result =
        parent.append_buffer(strDoc.c_str(), strDoc.Str().size(), kParseFlags, pugi::encoding_utf8);
    bOutOfMemory = result.status == pugi::status_out_of_memory;
    pugi::xml_node element;
    bool bOne = static_cast<bool>(result);
    for (pugi::xml_node n = last ? last.next_sibling() : parent.first_child(); n;) {
        const pugi::xml_node next = n.next_sibling();
        if (bOne && n.type() == pugi::node_element && !element) {
            element = n;
        } else {
            if (n.type() == pugi::node_element)
                bOne = false;
            parent.remove_child(n);
        }
        n = next;
    }
    if (!bOne && element) {
        parent.remove_child(element);
        element = pugi::xml_node();
    }
    return element;
}

// The cursors cover nearly every call; other positions are checked against the document so
// that a stale or foreign position can do no harm.
pugi::xml_node KrMarkup::Impl::NodeAtPos(Pos nPos) const {
    if (nPos == 0)
        return pugi::xml_node();
    if (nPos == PosOf(m_child))
        return m_child;
    if (nPos == PosOf(m_elem))
        return m_elem;
    for (pugi::xml_node n = m_doc.first_child(); n;) {
        if (n.type() == pugi::node_element && PosOf(n) == nPos)
            return n;
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling() && n.parent() != m_doc)
            n = n.parent();
        n = n ? n.next_sibling() : pugi::xml_node();
    }
    return pugi::xml_node();
}

// The sub-document is parsed in place under the element it joins, then moved to where Place
// would have put a copy of it; the cursors end up as Place leaves them.
pugi::xml_node KrMarkup::Impl::PlaceSubDoc(const TovoMBString& strSubDoc, unsigned char bInsert,
                                           unsigned char bChild) {
    pugi::xml_node parent;
    if (bChild) {
        if (!m_elem && !EnterRoot())
            return pugi::xml_node();
        parent = m_elem;
    } else if (!m_elem) {
        if (Root())
            return pugi::xml_node();
        parent = m_doc;
    } else {
        if (AtTop())
            return pugi::xml_node();
        parent = m_elem.parent();
    }
    bool bOutOfMemory = false;
    pugi::xml_node node = ParseInto(parent, strSubDoc, bOutOfMemory);
    if (!node) {
        if (bOutOfMemory)
            return node;
        // What a fragment may not hold (a document type declaration) a whole document may: the
        // text is loaded on its own and its root copied, as for any other document.
        pugi::xml_document sub;
        if (!Load(sub, strSubDoc))
            return pugi::xml_node();
        const pugi::xml_node root = FirstElement(sub);
        return Place(&root, nullptr, bInsert, bChild);
    }
    if (bChild) {
        if (bInsert)
            node = m_child ? parent.insert_move_before(node, m_child) : parent.prepend_move(node);
        m_child = node;
    } else {
        if (m_elem)
            node = bInsert ? parent.insert_move_before(node, m_elem)
                           : parent.insert_move_after(node, m_elem);
        m_elem = node;
        m_child = pugi::xml_node();
    }
    return node;
}

KrMarkup::KrMarkup() : m_pImpl(std::make_unique<Impl>()) {}

KrMarkup::KrMarkup(const TovoMBString& strDoc) : KrMarkup() {
    SetDoc(strDoc);
}

KrMarkup::KrMarkup(const KrMarkup& other) : KrMarkup() {
    m_pImpl->CopyFrom(*other.m_pImpl);
}

KrMarkup& KrMarkup::operator=(const KrMarkup& other) {
    if (this != &other)
        m_pImpl->CopyFrom(*other.m_pImpl);
    return *this;
}

KrMarkup::~KrMarkup() {
    m_pImpl->Keep();
}

unsigned char KrMarkup::SetDoc(const TovoMBString& strDoc) {
    ResetPos();
    return m_pImpl->LoadText(strDoc) ? TRUE : FALSE;
}

TovoMBString KrMarkup::GetDoc() const {
    return TovoMBString(Print(m_pImpl->m_doc));
}

unsigned char KrMarkup::FindElem(const char* szName) {
    Impl& d = *m_pImpl;
    const pugi::xml_node start = d.m_elem ? d.m_elem.next_sibling() : d.m_doc.first_child();
    const pugi::xml_node found = FindFrom(start, szName);
    if (!found)
        return FALSE;
    d.m_elem = found;
    d.m_child = pugi::xml_node();
    return TRUE;
}

unsigned char KrMarkup::FindChildElem(const char* szName) {
    Impl& d = *m_pImpl;
    if (!d.m_elem && !d.EnterRoot())
        return FALSE;
    const pugi::xml_node start = d.m_child ? d.m_child.next_sibling() : d.m_elem.first_child();
    const pugi::xml_node found = FindFrom(start, szName);
    if (!found)
        return FALSE;
    d.m_child = found;
    return TRUE;
}

void KrMarkup::ResetChildPos() {
    m_pImpl->m_child = pugi::xml_node();
}

void KrMarkup::ResetPos() {
    m_pImpl->m_elem = pugi::xml_node();
    m_pImpl->m_child = pugi::xml_node();
}

unsigned char KrMarkup::IntoElem() {
    Impl& d = *m_pImpl;
    if (!d.m_child)
        return FALSE;
    d.m_elem = d.m_child;
    d.m_child = pugi::xml_node();
    return TRUE;
}

unsigned char KrMarkup::OutOfElem() {
    Impl& d = *m_pImpl;
    if (d.AtTop())
        return FALSE;
    d.m_child = d.m_elem;
    d.m_elem = d.m_elem.parent();
    return TRUE;
}

unsigned char KrMarkup::AddElem(const char* szName, const char* szData, unsigned char bInsert,
                                unsigned char bChild) {
    return AddElem(szName, TovoMBString(szData), bInsert, bChild);
}

unsigned char KrMarkup::AddElem(const char* szName, const TovoMBString& strData,
                                unsigned char bInsert, unsigned char bChild) {
    m_pImpl->Touch();
    pugi::xml_node node = m_pImpl->Place(nullptr, szName, bInsert, bChild);
    if (!node)
        return FALSE;
    if (!strData.IsEmpty() &&
        !node.append_child(pugi::node_pcdata).set_value(strData.c_str(), strData.Str().size())) {
        m_pImpl->Unplace(node); // out of memory: no element without its text stays
        return FALSE;
    }
    return TRUE;
}

unsigned char KrMarkup::AddSubDoc(const TovoMBString& strSubDoc, unsigned char bInsert,
                                  unsigned char bChild) {
    m_pImpl->Touch();
    return m_pImpl->PlaceSubDoc(strSubDoc, bInsert, bChild) ? TRUE : FALSE;
}

unsigned char KrMarkup::SetAttrib(Pos nPos, const char* szName, const TovoMBString& strValue) {
    m_pImpl->Touch();
    return SetAttribOf(m_pImpl->NodeAtPos(nPos), szName, strValue);
}

unsigned char KrMarkup::SetAttrib(const char* szName, const TovoMBString& strValue) {
    m_pImpl->Touch();
    return SetAttribOf(m_pImpl->m_elem, szName, strValue);
}

unsigned char KrMarkup::SetChildAttrib(const char* szName, const TovoMBString& strValue) {
    m_pImpl->Touch();
    return SetAttribOf(m_pImpl->m_child, szName, strValue);
}

unsigned char KrMarkup::SetData(const TovoMBString& strData) {
    m_pImpl->Touch();
    return SetDataOf(m_pImpl->m_elem, strData);
}

unsigned char KrMarkup::SetChildData(const TovoMBString& strData) {
    m_pImpl->Touch();
    return SetDataOf(m_pImpl->m_child, strData);
}

unsigned char KrMarkup::RemoveChildElem() {
    m_pImpl->Touch();
    Impl& d = *m_pImpl;
    if (!d.m_child)
        return FALSE;
    pugi::xml_node before = d.m_child.previous_sibling();
    while (before && before.type() != pugi::node_element)
        before = before.previous_sibling();
    d.m_elem.remove_child(d.m_child);
    d.m_child = before;
    return TRUE;
}

KrMarkup::Pos KrMarkup::GetElemPos() const {
    return PosOf(m_pImpl->m_elem);
}

KrMarkup::Pos KrMarkup::GetChildPos() const {
    return PosOf(m_pImpl->m_child);
}

TovoMBString KrMarkup::GetTagName() const {
    return TovoMBString(m_pImpl->m_elem.name());
}

TovoMBString KrMarkup::GetChildTagName() const {
    return TovoMBString(m_pImpl->m_child.name());
}

TovoMBString KrMarkup::GetData() const {
    return DataOf(m_pImpl->m_elem);
}

TovoMBString KrMarkup::GetChildData() const {
    return DataOf(m_pImpl->m_child);
}

TovoMBString KrMarkup::GetAttrib(const char* szName) const {
    return szName ? TovoMBString(m_pImpl->m_elem.attribute(szName).value()) : TovoMBString();
}

TovoMBString KrMarkup::GetChildAttrib(const char* szName) const {
    return szName ? TovoMBString(m_pImpl->m_child.attribute(szName).value()) : TovoMBString();
}

TovoMBString KrMarkup::GetSubDoc() const {
    return m_pImpl->m_elem ? TovoMBString(Print(m_pImpl->m_elem)) : TovoMBString();
}

TovoMBString KrMarkup::GetChildSubDoc() const {
    return m_pImpl->m_child ? TovoMBString(Print(m_pImpl->m_child)) : TovoMBString();
}

} // namespace KRS
