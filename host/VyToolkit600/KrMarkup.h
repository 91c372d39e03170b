// XML reader and writer with two cursors: the current element and, inside it, the current child.
#pragma once

#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/VyToolkit600_export.h"

#include <cstdint>
#include <memory>

namespace KRS {

class VYTOOLKIT600_EXPORT KrMarkup {
public:
    // An element's position, as returned by GetChildPos/GetElemPos; 0 means none.
    using Pos = std::uintptr_t;

    KrMarkup();
    // Loads a whole document for reading. A malformed text leaves an empty document.
    explicit KrMarkup(const TOVO::TovoMBString& strDoc);
    KrMarkup(const KrMarkup& other);
    KrMarkup& operator=(const KrMarkup& other);
    ~KrMarkup();

    // Replaces the document; the cursors are reset. FALSE when the text is not well formed
    // (the document is then empty).
    unsigned char SetDoc(const TOVO::TovoMBString& strDoc);
    // The whole document as text, written raw (no indentation, no declaration).
    TOVO::TovoMBString GetDoc() const;

    // Navigation.
    // At the top level: places the current element on the root when it bears the name
    // (any name when null). Elsewhere: the next sibling of that name after the current element.
    unsigned char FindElem(const char* szName = nullptr);
    // The next child of the current element of that name (any when null), after the current
    // child. On failure the current child stays as it was. Without a current element (a fresh
    // document) the current element is first placed on the root.
    unsigned char FindChildElem(const char* szName = nullptr);
    // The next FindChildElem searches from the first child again.
    void ResetChildPos();
    // Back to the state of a freshly loaded document: no current element.
    void ResetPos();
    // The current child becomes the current element. FALSE when there is no current child.
    unsigned char IntoElem();
    // Back to the parent; the element left becomes the current child. FALSE at the root.
    unsigned char OutOfElem();

    // Writing.
    // bChild FALSE: adds a sibling of the current element right after it (bInsert TRUE: right
    // before it), which becomes the current element; on an empty document it adds the root, and
    // a second root is refused. bChild TRUE: adds a child of the current element (of the root
    // when there is no current element yet) as its last child (bInsert TRUE: before the current
    // child, or first when there is none), which becomes the current child. A null text gives
    // an empty element. FALSE for a name that would break the markup.
    unsigned char AddElem(const char* szName, const char* szData = nullptr,
                          unsigned char bInsert = FALSE, unsigned char bChild = FALSE);
    unsigned char AddElem(const char* szName, const TOVO::TovoMBString& strData,
                          unsigned char bInsert = FALSE, unsigned char bChild = FALSE);
    // Adds a whole document (its root element with content) like AddElem adds an element.
    // FALSE when the text holds no element.
    unsigned char AddSubDoc(const TOVO::TovoMBString& strSubDoc, unsigned char bInsert = FALSE,
                            unsigned char bChild = FALSE);
    // Sets an attribute on the element at the given position.
    unsigned char SetAttrib(Pos nPos, const char* szName, const TOVO::TovoMBString& strValue);
    unsigned char SetAttrib(const char* szName, const TOVO::TovoMBString& strValue);
    unsigned char SetChildAttrib(const char* szName, const TOVO::TovoMBString& strValue);
    unsigned char SetData(const TOVO::TovoMBString& strData);
    unsigned char SetChildData(const TOVO::TovoMBString& strData);
    // Removes the current child; the cursor moves to the child before it.
    unsigned char RemoveChildElem();

    // Reading.
    Pos GetElemPos() const;
    Pos GetChildPos() const;
    TOVO::TovoMBString GetTagName() const;
    TOVO::TovoMBString GetChildTagName() const;
    // The text content of the element (the concatenation of its text and CDATA children).
    TOVO::TovoMBString GetData() const;
    TOVO::TovoMBString GetChildData() const;
    TOVO::TovoMBString GetAttrib(const char* szName) const;
    TOVO::TovoMBString GetChildAttrib(const char* szName) const;
    // The element with all its content, as a document text.
    TOVO::TovoMBString GetSubDoc() const;
    TOVO::TovoMBString GetChildSubDoc() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

} // namespace KRS
