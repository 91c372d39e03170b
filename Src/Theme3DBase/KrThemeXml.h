// Private helpers shared by the themes' XML writers and readers, and their log records.
// Not exported: the module's own plumbing.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyScene600/KrTheme3D.h"
#include "VyToolkit600/KrMarkup.h"
#include "VyToolkit600/KrStyle.h"

namespace KRS {
namespace ThemeXml {

// A version argument of 0 stands for the current version.
inline int ResolveVersion(int nVersion) { return nVersion == 0 ? THEME3D_XML_VERSION : nVersion; }

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

// Icon names are stored relative to the document's path and made absolute again on reading.
void MakeIconRelative(KrStyle& style, const TOVO::TovoMBString& strPath);
void MakeIconAbsolute(KrStyle& style, const TOVO::TovoMBString& strPath);

// Log records of the module: level 400, the code, the source "Src/Theme3DBase/<class>" and line.
void LogCode(const char* szCode, const char* szSource, int nLine);
// The same with the message of the code's resource text formatted with the class name.
void LogCodeWithMessage(const char* szCode, const char* szClassName, const char* szSource, int nLine);

} // namespace ThemeXml
} // namespace KRS
