#include "VyScene600/KrTheme3D.h"

#include "VyToolkit600/KrMarkup.h"

#include <charconv>

using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace KRS {

namespace {

// The base's element names. The themes append their own elements to the same root and find
// them with FindChildElem, so none of these may equal a theme element name; the entry's
// children avoid "dkm:Value" in particular, which the unique theme uses for its items.
const char* const kRoot = "dkm:Theme3D";
const char* const kThemeType = "dkm:ThemeType";
const char* const kExternalValueMode = "dkm:ExternalValueMode";
const char* const kAliasSuffix = "dkm:AliasSuffix";
const char* const kExternalValues = "dkm:ExternalValues";
const char* const kExternalValue = "dkm:ExternalValue";
const char* const kOriginalValue = "dkm:OriginalValue";
const char* const kTranslation = "dkm:Translation";

int ResolveVersion(int nVersion) {
    return nVersion == 0 ? THEME3D_XML_VERSION : nVersion;
}

bool IsKnownVersion(int nVersion) {
    return nVersion == THEME3D_XML_VERSION || nVersion == THEME3D_XML_VERSION_20031211;
}

TovoMBString IntText(int nValue) {
    TovoMBString text;
    text.Format("%d", nValue);
    return text;
}

// TRUE when the whole text, surrounding white space aside, is one decimal int.
bool ParseWholeInt(TovoMBString strText, int& nValue) {
    strText.Trim();
    const char* pFirst = strText.c_str();
    const char* pLast = pFirst + strText.GetLength();
    if (pFirst != pLast && *pFirst == '+')
        ++pFirst;
    int nRead = 0;
    const std::from_chars_result result = std::from_chars(pFirst, pLast, nRead);
    if (result.ec != std::errc() || result.ptr != pLast)
        return false;
    nValue = nRead;
    return true;
}

// Searches the current element's children from the first for one of that name, so that the
// base's elements may stand in any order; TRUE with its text.
bool FindChildText(KrMarkup& markup, const char* szName, TovoMBString& strText) {
    markup.ResetChildPos();
    if (!markup.FindChildElem(szName))
        return false;
    strText = markup.GetChildData();
    return true;
}

bool FindChildInt(KrMarkup& markup, const char* szName, int& nValue) {
    TovoMBString text;
    return FindChildText(markup, szName, text) && ParseWholeInt(text, nValue);
}

using ExternalValueDict = TOVO::TovoDict<TovoMBString, TovoMBString>;

void WriteExternalValues(KrMarkup& markup, const ExternalValueDict& dict) {
    markup.AddElem(kExternalValues, static_cast<const char*>(nullptr), FALSE, TRUE);
    markup.IntoElem();
    for (const auto& entry : dict) {
        markup.AddElem(kExternalValue, static_cast<const char*>(nullptr), FALSE, TRUE);
        markup.IntoElem();
        markup.AddElem(kOriginalValue, entry.first, FALSE, TRUE);
        markup.AddElem(kTranslation, entry.second, FALSE, TRUE);
        markup.OutOfElem();
    }
    markup.OutOfElem();
}

// Reads the entries of the current child "dkm:ExternalValues". An entry without a value is
// skipped; one without a translation translates to an empty text; a repeated value keeps the
// last translation.
void ReadExternalValues(KrMarkup& markup, ExternalValueDict& dict) {
    markup.IntoElem();
    markup.ResetChildPos();
    while (markup.FindChildElem(kExternalValue)) {
        markup.IntoElem();
        TovoMBString strValue;
        TovoMBString strTranslation;
        if (FindChildText(markup, kOriginalValue, strValue)) {
            FindChildText(markup, kTranslation, strTranslation);
            dict.SetAt(strValue, strTranslation);
        }
        markup.OutOfElem();
    }
    markup.OutOfElem();
}

} // namespace

KrTheme3D::KrTheme3D() : m_nType(0), m_nExternalValueMode(0), m_nOffsetX(0), m_nOffsetY(0) {}

KrTheme3D::KrTheme3D(const KrTheme3D& other)
    : m_nType(other.m_nType), m_nExternalValueMode(other.m_nExternalValueMode),
      m_strAliasSuffix(other.m_strAliasSuffix), m_dictExternalValues(other.m_dictExternalValues),
      m_nOffsetX(other.m_nOffsetX), m_nOffsetY(other.m_nOffsetY) {}

KrTheme3D::~KrTheme3D() = default;

KrTheme3D& KrTheme3D::operator=(const KrTheme3D& other) {
    Swap(other);
    return *this;
}

void KrTheme3D::Swap(const KrTheme3D& other) {
    if (this == &other)
        return;
    m_nType = other.m_nType;
    m_nExternalValueMode = other.m_nExternalValueMode;
    m_strAliasSuffix = other.m_strAliasSuffix;
    m_dictExternalValues = other.m_dictExternalValues;
    m_nOffsetX = other.m_nOffsetX;
    m_nOffsetY = other.m_nOffsetY;
}

KrStyle* KrTheme3D::FindStyle(const TovoVariant&) const {
    return nullptr;
}

TovoMBString KrTheme3D::GetFieldName(unsigned char) const {
    return TovoMBString();
}

TovoMBString KrTheme3D::GetExpression() const {
    return TovoMBString();
}

unsigned char KrTheme3D::CheckFieldType(int) {
    return TRUE;
}

KrTextStyle* KrTheme3D::GetTextStyle() {
    return nullptr;
}

TovoMBString KrTheme3D::ToXML(int nVersion, TovoMBString) const {
    const int nResolved = ResolveVersion(nVersion);
    if (!IsKnownVersion(nResolved))
        return TovoMBString();
    KrMarkup markup;
    markup.AddElem(kRoot, static_cast<const char*>(nullptr), FALSE, FALSE);
    markup.AddElem(kThemeType, IntText(m_nType), FALSE, TRUE);
    markup.AddElem(kExternalValueMode, IntText(m_nExternalValueMode), FALSE, TRUE);
    if (nResolved == THEME3D_XML_VERSION) {
        markup.AddElem(kAliasSuffix, m_strAliasSuffix, FALSE, TRUE);
        WriteExternalValues(markup, m_dictExternalValues);
    }
    return markup.GetDoc();
}

unsigned char KrTheme3D::FromXML(const TovoMBString& strXML, int nVersion, TovoMBString) {
    const int nResolved = ResolveVersion(nVersion);
    if (!IsKnownVersion(nResolved) || strXML.IsEmpty())
        return FALSE;
    KrMarkup markup(strXML);
    int nType = 0;
    if (!markup.FindElem(kRoot) || !FindChildInt(markup, kThemeType, nType))
        return FALSE;
    // From here on nothing can fail: the members are replaced in place.
    m_nType = nType;
    FindChildInt(markup, kExternalValueMode, m_nExternalValueMode);
    if (nResolved != THEME3D_XML_VERSION)
        return TRUE;
    FindChildText(markup, kAliasSuffix, m_strAliasSuffix);
    markup.ResetChildPos();
    if (markup.FindChildElem(kExternalValues)) {
        ExternalValueDict dict;
        ReadExternalValues(markup, dict);
        m_dictExternalValues = std::move(dict);
    }
    return TRUE;
}

TovoMBString KrTheme3D::GetStringFromVariant(const TovoVariant& value) {
    return Variant2String(value);
}

void KrTheme3D::SetAlonglineText(unsigned char) {}

unsigned char KrTheme3D::IsAlonglineText() {
    return FALSE;
}

void KrTheme3D::SetOffset(int nOffsetX, int nOffsetY) {
    m_nOffsetX = nOffsetX;
    m_nOffsetY = nOffsetY;
}

void KrTheme3D::GetOffset(int& nOffsetX, int& nOffsetY) {
    nOffsetX = m_nOffsetX;
    nOffsetY = m_nOffsetY;
}

unsigned char KrTheme3D::GetThemeQueryDef(TOVO::TovoArray<TovoMBString>&, unsigned char) {
    return FALSE;
}

int KrTheme3D::GetThemeGraphItemType(int) const {
    return 0;
}

void KrTheme3D::GetThemeGraphValues(double& dValue, int, int) {
    dValue = 0.0;
}

void KrTheme3D::CalculateGraphProperty(double) {}

KrGeometry* KrTheme3D::ConvertToGeometry(double*, unsigned int, const TOVO::TovoPoint3D&) {
    return nullptr;
}

void KrTheme3D::Attach(double*, int) {}

unsigned char KrTheme3D::GetExternalValue(const TovoMBString& strValue,
                                          TovoMBString& strTranslation) const {
    const TovoMBString* pTranslation = m_dictExternalValues.PLookup(strValue);
    if (pTranslation == nullptr)
        return FALSE;
    // The lookup is done before the write, so strValue may be strTranslation itself.
    strTranslation = *pTranslation;
    return TRUE;
}

TovoMBString KrTheme3D::Variant2String(const TovoVariant& value) {
    return value.ToString();
}

unsigned char KrTheme3D::Variant2Double(const TovoVariant& value, double& dValue) {
    double dRead = 0.0;
    if (!value.ToDouble(dRead))
        return FALSE;
    dValue = dRead;
    return TRUE;
}

void KrTheme3D::SetExternalValue(const TovoMBString& strValue, const TovoMBString& strTranslation) {
    m_dictExternalValues.SetAt(strValue, strTranslation);
}

unsigned char KrTheme3D::RemoveExternalValue(const TovoMBString& strValue) {
    return m_dictExternalValues.RemoveKey(strValue);
}

void KrTheme3D::RemoveAllExternalValues() {
    m_dictExternalValues.RemoveAll();
}

} // namespace KRS
