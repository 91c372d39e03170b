#include "KrThemeXml.h"

#include "VyStream600/KrFile.h"
#include "VyToolkit600/KrLogFile.h"
#include "VyToolkit600/KrStringEx.h"

using TOVO::TovoMBString;

namespace KRS {
namespace ThemeXml {

TovoMBString NumberText(double dValue) {
    TovoMBString text;
    text.Format("%.15f", dValue);
    text.TrimRight('0');
    text.TrimRight('.');
    return text;
}

bool IsTrueText(const TovoMBString& strText) { return strText.CompareNoCase("TRUE") == 0; }
bool IsFalseText(const TovoMBString& strText) { return strText.CompareNoCase("FALSE") == 0; }

bool CodeOfName(const CodeName* pTable, std::size_t nCount, const TovoMBString& strName, int& nCode) {
    for (std::size_t i = 0; i < nCount; ++i) {
        if (strName.CompareNoCase(pTable[i].szName) == 0) {
            nCode = pTable[i].nCode;
            return true;
        }
    }
    return false;
}

bool OpenThemeDoc(KrMarkup& markup, const TovoMBString& strBaseDoc) {
    markup.SetDoc(strBaseDoc);
    return markup.FindElem("dkm:Theme3D") != FALSE;
}

bool FindChildText(KrMarkup& markup, const char* szName, TovoMBString& strText) {
    if (!markup.FindChildElem(szName))
        return false;
    strText = markup.GetChildData();
    return true;
}

void MakeIconRelative(KrStyle& style, const TovoMBString& strPath) {
    const TovoMBString& icon = style.GetIconName();
    if (icon.IsEmpty())
        return;
    style.SetIconName(KrFile::GetRelativePath(strPath, KrFile::GetDir(icon)) + KrFile::GetName(icon));
}

void MakeIconAbsolute(KrStyle& style, const TovoMBString& strPath) {
    if (!style.GetIconName().IsEmpty())
        style.SetIconName(KrFile::GetAbsolutePath(strPath, style.GetIconName()));
}

void LogCode(const char* szCode, const char* szSource, int nLine) {
    KrLogFile::GetInstance(false).RecordLog(KrLogFile::LogError, szCode, szSource, nLine);
}

void LogCodeWithMessage(const char* szCode, const char* szClassName, const char* szSource, int nLine) {
    KrStringEx resource;
    resource.LoadResString(szCode);
    TovoMBString message;
    try {
        message.Format(resource.c_str(), szClassName);
    } catch (const std::invalid_argument&) {
        message = resource; // a resource text without its one %s is logged as it stands
    }
    KrLogFile::GetInstance(false).RecordLog(KrLogFile::LogError, szCode, message, szSource, nLine);
}

} // namespace ThemeXml
} // namespace KRS
