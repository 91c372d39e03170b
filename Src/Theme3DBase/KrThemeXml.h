// Private helpers shared by the themes' XML writers and readers, and their log records.
// Not exported: the module's own plumbing.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyScene600/KrTheme3D.h"
#include "VyToolkit600/KrMarkup.h"
#include "VyToolkit600/KrStyle.h"

#include <functional>

namespace KRS {
namespace ThemeXml {

// A version argument of 0 stands for the current version.
inline int ResolveVersion(int nVersion) {
    return nVersion == 0 ? THEME3D_XML_VERSION : nVersion;
}

// The version a reader works with: 0 stands for the current version, and 20031212 is read as
// 20031211 (documents of that date carry the older layout).
inline int ResolveReadVersion(int nVersion) {
    const int version = ResolveVersion(nVersion);
    return version == 20031212 ? THEME3D_XML_VERSION_20031211 : version;
}

// "%.15f", then trailing "0" and then trailing "." removed: 2.5 gives "2.5", 100 gives "100".
TOVO::TovoMBString NumberText(double dValue);

inline const char* BoolText(bool b) {
    return b ? "TRUE" : "FALSE";
}
// Whether the text equals "TRUE" / "FALSE", ignoring case.
bool IsTrueText(const TOVO::TovoMBString& strText);
bool IsFalseText(const TOVO::TovoMBString& strText);

// A code and the name it is written as.
struct CodeName {
    int nCode;
    const char* szName;
};
// The name of the code, or null when the table has none.
template <std::size_t N> const char* NameOfCode(const CodeName (&table)[N], int nCode) {
    for (const CodeName& entry : table)
        if (entry.nCode == nCode)
            return entry.szName;
    return nullptr;
}
// TRUE with the code of the name (compared ignoring case), FALSE when the table has none.
bool CodeOfName(const CodeName* pTable, std::size_t nCount, const TOVO::TovoMBString& strName,
                int& nCode);
template <std::size_t N>
bool CodeOfName(const CodeName (&table)[N], const TOVO::TovoMBString& strName, int& nCode) {
    return CodeOfName(table, N, strName, nCode);
}

// Loads the base part's document and places the current element on its "dkm:Theme3D" root.
bool OpenThemeDoc(KrMarkup& markup, const TOVO::TovoMBString& strBaseDoc);

// The writing calls of one writer on its markup, each result kept. The markup refuses an
// element or a sub-document only when it cannot hold it (out of memory, or a sub-document that
// came back empty for the same reason): then the writer answers with no document at all rather
// than a partial one, and nothing more is added once one call failed.
class MarkupWriter {
public:
    explicit MarkupWriter(KrMarkup& markup) : m_markup(markup) {}
    // A child element of the current element with a text (none when empty), as its last child.
    void AddText(const char* szName, const TOVO::TovoMBString& strText) {
        m_bComplete = m_bComplete && m_markup.AddElem(szName, strText, FALSE, TRUE);
    }
    void AddEmpty(const char* szName) { AddText(szName, TOVO::TovoMBString()); }
    // A whole document as the last child of the current element.
    void AddSubDoc(const TOVO::TovoMBString& strDoc) {
        m_bComplete = m_bComplete && m_markup.AddSubDoc(strDoc, FALSE, TRUE);
    }
    // An attribute of the child just added.
    void SetChildAttrib(const char* szName, const TOVO::TovoMBString& strValue) {
        m_bComplete = m_bComplete && m_markup.SetAttrib(m_markup.GetChildPos(), szName, strValue);
    }
    void IntoElem() { m_bComplete = m_bComplete && m_markup.IntoElem(); }
    void OutOfElem() { m_bComplete = m_bComplete && m_markup.OutOfElem(); }
    bool IsComplete() const { return m_bComplete; }
    // The whole document, or an empty text when a call failed or the text cannot be made; a
    // failure writes one log record "EGg041" with the class name.
    TOVO::TovoMBString Finish(const char* szClassName, const char* szSource, int nLine) const;

private:
    KrMarkup& m_markup;
    bool m_bComplete = true;
};

// The answer of a writer that ran out of memory: one log record "EGg041", and no document.
TOVO::TovoMBString WriteFailed(const char* szClassName, const char* szSource, int nLine);
// Searches the next child of that name (after the current child); TRUE with its text.
bool FindChildText(KrMarkup& markup, const char* szName, TOVO::TovoMBString& strText);

// Counts that a document states ("dkm:ArrayFieldNum", "dkm:KeyNum") are honoured exactly, whatever
// the document's length, up to a budget of kCountBudget = 2^20 entries (values and join keys
// together) in one theme or one chart item read on its own: 8 MB of numbers. The entries are
// counted in document order: each chart item's value list as the theme keeps it (a list inherited
// from the item before counts again for every item that inherits it), then the join keys. The one
// rule for a document past the budget: the list that would pass it is cut to what remains of the
// budget, keeping its first entries, every later list is empty, and the reader writes one log
// record "EGg040"; its result stays what its rules say.
// Worst case on the way out: the largest theme a reader can build writes at most 364 bytes per
// entry (a value element "<dkm:ArrayField1048575>" with its end tag is 47 bytes, a value written
// "%f" at most 317 digits for -1.8e308; a key element is at most 44 bytes), so at most 382 MB of
// text plus the theme's other elements; from a small document, whose values are zeros, 2^20
// values write about 57 MB.
constexpr int kCountBudget = 1 << 20;

// What remains of the budget while one document is read, and whether a list had to be cut.
class CountBudget {
public:
    // The part of a list of nCount entries that fits what remains (0 for a negative count); a
    // list that does not fit marks the budget as exceeded. Nothing is used up.
    int Fit(long long nCount) {
        if (nCount <= 0)
            return 0;
        if (nCount > m_nRemaining) {
            m_bExceeded = true;
            return m_nRemaining;
        }
        return static_cast<int>(nCount);
    }
    // Uses up entries that fit.
    void Use(int nCount) { m_nRemaining -= nCount; }
    bool IsExceeded() const { return m_bExceeded; }

private:
    int m_nRemaining = kCountBudget;
    bool m_bExceeded = false;
};

// Reads the numbered children "<prefix>0", "<prefix>1", ... "<prefix>(nCount-1)" that follow the
// current child, with the result of looking each one up in turn with FindChildElem (each search
// starting after the element last found, a missing one leaving the position), but in one pass
// over the children instead of one pass per number. onFound gets the number and the child's text
// of each one found. The current child ends up after the last child.
void ReadNumberedChildren(KrMarkup& markup, const char* szPrefix, int nCount,
                          const std::function<void(int, const TOVO::TovoMBString&)>& onFound);

// Icon names are stored relative to the document's path and made absolute again on reading.
void MakeIconRelative(KrStyle& style, const TOVO::TovoMBString& strPath);
void MakeIconAbsolute(KrStyle& style, const TOVO::TovoMBString& strPath);

// Log records of the module: level 400, the code, the source "Src/Theme3DBase/<class>" and line.
void LogCode(const char* szCode, const char* szSource, int nLine);
// The same with the message of the code's resource text formatted with the class name.
void LogCodeWithMessage(const char* szCode, const char* szClassName, const char* szSource,
                        int nLine);

} // namespace ThemeXml

class Kr3DGraphItem;
namespace ThemeXml {
// Kr3DGraphItem::FromXML with the value list fitted to the budget of the theme that reads the
// item (nothing used up: the theme counts what it keeps); FALSE, with nothing changed and
// nothing logged, for an empty text or one without "dkm:GraphItem".
bool ReadGraphItem(Kr3DGraphItem& item, const TOVO::TovoMBString& strXML, int nVersion,
                   CountBudget& budget);

} // namespace ThemeXml
} // namespace KRS
