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
inline int ResolveVersion(int nVersion) { return nVersion == 0 ? THEME3D_XML_VERSION : nVersion; }

// The version a reader works with: 0 stands for the current version, and 20031212 is read as
// 20031211 (documents of that date carry the older layout).
inline int ResolveReadVersion(int nVersion) {
    const int version = ResolveVersion(nVersion);
    return version == 20031212 ? THEME3D_XML_VERSION_20031211 : version;
}

// "%.15f", then trailing "0" and then trailing "." removed: 2.5 gives "2.5", 100 gives "100".
TOVO::TovoMBString NumberText(double dValue);

inline const char* BoolText(bool b) { return b ? "TRUE" : "FALSE"; }
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
bool CodeOfName(const CodeName* pTable, std::size_t nCount, const TOVO::TovoMBString& strName, int& nCode);
template <std::size_t N> bool CodeOfName(const CodeName (&table)[N], const TOVO::TovoMBString& strName, int& nCode) {
    return CodeOfName(table, N, strName, nCode);
}

// Loads the base part's document and places the current element on its "dkm:Theme3D" root.
bool OpenThemeDoc(KrMarkup& markup, const TOVO::TovoMBString& strBaseDoc);

// Appends a child element with a text to the current element.
inline void AddChildText(KrMarkup& markup, const char* szName, const TOVO::TovoMBString& strText) {
    markup.AddElem(szName, strText, FALSE, TRUE);
}
// Searches the next child of that name (after the current child); TRUE with its text.
bool FindChildText(KrMarkup& markup, const char* szName, TOVO::TovoMBString& strText);

// A count read from a document, bounded by what the document can hold: negative gives 0, and
// no more entries than the document has bytes (every entry needs several bytes of markup), so a
// small corrupt document cannot ask for a huge allocation.
int ClampCount(int nCount, int nDocLength);

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
void LogCodeWithMessage(const char* szCode, const char* szClassName, const char* szSource, int nLine);

} // namespace ThemeXml
} // namespace KRS
