#include "KrThemeXml.h"

#include "VyStream600/KrFile.h"
#include "VyToolkit600/KrLogFile.h"
#include "VyToolkit600/KrStringEx.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

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

bool IsTrueText(const TovoMBString& strText) {
    return strText.CompareNoCase("TRUE") == 0;
}
bool IsFalseText(const TovoMBString& strText) {
    return strText.CompareNoCase("FALSE") == 0;
}

bool CodeOfName(const CodeName* pTable, std::size_t nCount, const TovoMBString& strName,
                int& nCode) {
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

TovoMBString MarkupWriter::Finish(const char* szClassName, const char* szSource, int nLine) const {
    if (!m_bComplete)
        return WriteFailed(szClassName, szSource, nLine);
    try {
        return m_markup.GetDoc();
    } catch (const std::bad_alloc&) {
        return WriteFailed(szClassName, szSource, nLine);
    }
}

TovoMBString WriteFailed(const char* szClassName, const char* szSource, int nLine) {
    try {
        LogCodeWithMessage("EGg041", szClassName, szSource, nLine);
    } catch (const std::bad_alloc&) {
        // no memory even for the record: the empty answer alone tells the failure
    }
    return TovoMBString();
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
    style.SetIconName(KrFile::GetRelativePath(strPath, KrFile::GetDir(icon)) +
                      KrFile::GetName(icon));
}

void MakeIconAbsolute(KrStyle& style, const TovoMBString& strPath) {
    if (!style.GetIconName().IsEmpty())
        style.SetIconName(KrFile::GetAbsolutePath(strPath, style.GetIconName()));
}

void LogCode(const char* szCode, const char* szSource, int nLine) {
    KrLogFile::GetInstance(false).RecordLog(KrLogFile::LogError, szCode, szSource, nLine);
}

void LogCodeWithMessage(const char* szCode, const char* szClassName, const char* szSource,
                        int nLine) {
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

namespace KRS {
namespace ThemeXml {

namespace {

// The number after the prefix when the name is the prefix followed by the decimal form of a
// number below nCount ("%d" spells no sign and no leading zero); -1 otherwise.
int NumberAfterPrefix(std::string_view name, std::string_view prefix, int nCount) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return -1;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
        return -1;
    long long number = 0;
    for (char ch : digits) {
        if (ch < '0' || ch > '9')
            return -1;
        number = number * 10 + (ch - '0');
    }
    return number < nCount ? static_cast<int>(number) : -1;
}

} // namespace

void ReadNumberedChildren(KrMarkup& markup, const char* szPrefix, int nCount,
                          const std::function<void(int, const TovoMBString&)>& onFound) {
    if (nCount <= 0)
        return;
    // The candidates after the current child, in document order: (number, position) and text.
    std::vector<std::pair<int, int>> keys;
    std::vector<TovoMBString> texts;
    const std::string_view prefix(szPrefix);
    for (int position = 0; markup.FindChildElem(nullptr); ++position) {
        const int number = NumberAfterPrefix(markup.GetChildTagName().View(), prefix, nCount);
        if (number < 0)
            continue;
        keys.emplace_back(number, static_cast<int>(texts.size()));
        texts.push_back(markup.GetChildData());
    }
    // Sorted by number, positions ascending within a number: the lookup of number i is the
    // first of its run that lies after the element found last.
    std::sort(keys.begin(), keys.end());
    int last = -1;
    auto run = keys.begin();
    for (int i = 0; i < nCount && run != keys.end(); ++i) {
        while (run != keys.end() && run->first < i)
            ++run;
        auto next = std::upper_bound(run, keys.end(), std::make_pair(i, last));
        if (next != keys.end() && next->first == i) {
            last = next->second;
            onFound(i, texts[static_cast<std::size_t>(last)]);
        }
    }
}

} // namespace ThemeXml
} // namespace KRS
