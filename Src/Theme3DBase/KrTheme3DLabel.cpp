#include "KrTheme3DLabel.h"

#include "KrThemeXml.h"
#include "VyBase600/TovoTime.h"
#include "VyToolkit600/KrMarkup.h"

#include <exception>
#include <memory>
#include <new>
#include <utility>

using TOVO::TovoMBString;
using TOVO::TovoTime;
using TOVO::TovoVariant;

namespace KRS {

namespace {

const char* const kClassName = "KrTheme3DLabel";
const char* const kSource = "Src/Theme3DBase/KrTheme3DLabel";
const int kWriteFailedLine = 280;
// The line the host's log has always reported for a refused number format.
const int kNumFormatLogLine = 288;
const char* const kDefaultNumFormat = "%.10f";

const char* const kElemExpression = "dkm:FieldExpression";
const char* const kElemNumFormat = "dkm:NumFormat";
const char* const kElemAlongLine = "dkm:LabelAlongLine";
const char* const kElemLabelType = "dkm:LabelType";
const char* const kElemTextStyle = "dkm:TextStyle";

const ThemeXml::CodeName kLabelTypeNames[] = {
    {KrTheme3DLabel::Label3DText, "Label3DText"},
    {KrTheme3DLabel::Label3DSymbol, "Label3DSymbol"},
    {KrTheme3DLabel::Label3DPicture, "Label3DPicture"},
    {KrTheme3DLabel::Label3DTable, "Label3DTable"},
};

// "%" followed by the format without its own leading "%"s: ".2f", "%.2f" and "%%.2f" all
// give "%.2f".
TovoMBString ConversionOf(const TovoMBString& strFormat) {
    TovoMBString strWork(strFormat);
    strWork.TrimLeft('%');
    return strWork.IsEmpty() ? TovoMBString() : "%" + strWork;
}

// Whether the formatter takes the conversion for a double. Its checks depend on the
// conversion only, never on the value, so one probe answers for every double.
bool AcceptsDouble(const TovoMBString& strConversion) {
    try {
        TovoMBString strProbe;
        strProbe.Format(strConversion.c_str(), 1.0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// A date alone without leading zeros (2012-11-9); with a time of day every field padded.
void FormatDate(double dDayNumber, TovoMBString& strText) {
    const TovoTime time(dDayNumber);
    if (!time.IsValid())
        return;
    if (time.GetHour() == 0 && time.GetMinute() == 0 && time.GetSecond() == 0)
        strText.Format("%d-%d-%d", time.GetYear(), time.GetMonth(), time.GetDay());
    else
        strText = time.Format("%Y-%m-%d %H:%M:%S");
}

} // namespace

KrTheme3DLabel::KrTheme3DLabel()
    : m_nLabelType(Label3DText), m_bAlonglineText(FALSE), m_strNumConversion(kDefaultNumFormat) {
    m_nType = Label;
    m_TextStyle.SetHalo(TRUE);
    m_TextStyle.SetSize(20.0);
    m_TextStyle.SetForeColor(TOVORGBA(255, 255, 0, 255));
    // The YaHei family name in code page 936, kept as these bytes.
    m_TextStyle.SetFaceName(TovoMBString("\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA", 8));
    m_TextStyle.SetAlign(6);
}

KrTheme3DLabel::KrTheme3DLabel(const KrTheme3DLabel& other)
    : KrTheme3DSymbol(other), m_strExpression(other.m_strExpression),
      m_TextStyle(other.m_TextStyle), m_nLabelType(other.m_nLabelType),
      m_bAlonglineText(other.m_bAlonglineText), m_strNumFormat(other.m_strNumFormat),
      m_strNumConversion(other.m_strNumConversion) {
    try {
        CopyItems(other);
    } catch (...) {
        DeleteItems(); // the destructor does not run for a constructor that throws
        throw;
    }
}

KrTheme3DLabel& KrTheme3DLabel::operator=(const KrTheme3DLabel& other) {
    if (this != &other)
        Swap(other);
    return *this;
}

KrTheme3DLabel::~KrTheme3DLabel() {
    DeleteItems();
}

void KrTheme3DLabel::Swap(const KrTheme3DLabel& other) {
    KrTheme3D::Swap(other);
    m_nLabelType = other.m_nLabelType;
    m_strExpression = other.m_strExpression;
    m_TextStyle = other.m_TextStyle;
    m_bAlonglineText = other.m_bAlonglineText;
    m_strNumFormat = other.m_strNumFormat;
    m_strNumConversion = other.m_strNumConversion;
}

void KrTheme3DLabel::CopyItems(const KrTheme3DLabel& other) {
    for (const auto& entry : other.m_dictItems)
        Add(entry.first, *entry.second);
}

void KrTheme3DLabel::DeleteItems() {
    for (auto& entry : m_dictItems)
        delete entry.second;
    m_dictItems.RemoveAll();
}

void KrTheme3DLabel::SetExpression(TovoMBString strExpression) {
    m_strExpression = std::move(strExpression);
}

TovoMBString KrTheme3DLabel::GetExpression() const {
    return m_strExpression;
}

void KrTheme3DLabel::SetTextStyle(KrTextStyle& textStyle) {
    m_TextStyle = textStyle;
}

KrTextStyle* KrTheme3DLabel::GetTextStyle() {
    return &m_TextStyle;
}

void KrTheme3DLabel::SetLabelType(KrLabel3DType nType) {
    m_nLabelType = nType;
}

void KrTheme3DLabel::SetLabel3DType(KrLabel3DType nType) {
    m_nLabelType = nType;
}

KrTheme3DLabel::KrLabel3DType KrTheme3DLabel::GetLabel3DType() {
    return m_nLabelType;
}

void KrTheme3DLabel::SetAlonglineText(unsigned char bAlongline) {
    m_bAlonglineText = bAlongline;
}

unsigned char KrTheme3DLabel::IsAlonglineText() {
    return m_bAlonglineText;
}

TovoMBString KrTheme3DLabel::GetNumFormat() const {
    return m_strNumFormat;
}

void KrTheme3DLabel::SetNumFormat(const TovoMBString& strFormat) {
    m_strNumFormat.Empty();
    const TovoMBString strConversion = ConversionOf(strFormat);
    if (!strConversion.IsEmpty()) {
        if (AcceptsDouble(strConversion))
            m_strNumFormat = strFormat; // stored as given, its leading "%" kept
        else
            ThemeXml::LogCode("EGi063", kSource, kNumFormatLogLine);
    }
    UpdateNumConversion();
}

void KrTheme3DLabel::UpdateNumConversion() {
    m_strNumConversion =
        ConversionOf(m_strNumFormat.IsEmpty() ? TovoMBString(kDefaultNumFormat) : m_strNumFormat);
    if (!m_strNumConversion.IsEmpty() && !AcceptsDouble(m_strNumConversion))
        m_strNumConversion.Empty();
}

void KrTheme3DLabel::FormatNumber(double dValue, TovoMBString& strText) const {
    if (m_strNumConversion.IsEmpty())
        return;
    try {
        strText.Format(m_strNumConversion.c_str(), dValue);
    } catch (const std::exception&) {
        strText.Empty();
    }
}

TovoMBString KrTheme3DLabel::GetStringFromVariant(const TovoVariant& value) {
    TovoMBString strText;
    ValueText(value, strText);
    strText.TrimRight();
    if (m_nExternalValueMode == 1 && !GetExternalValue(strText, strText))
        strText.Empty();
    return strText;
}

void KrTheme3DLabel::ValueText(const TovoVariant& value, TovoMBString& strText) const {
    switch (value.GetType()) {
    case TovoVariant::Null:
        strText = "<NULL>";
        break;
    case TovoVariant::UInt8:
        strText.Format("%d", static_cast<int>(value.GetUInt8()));
        break;
    case TovoVariant::Int16:
        strText.Format("%hd", value.GetInt16());
        break;
    case TovoVariant::Int32:
        strText.Format("%d", static_cast<int>(value.GetInt32()));
        break;
    case TovoVariant::Int64:
        strText.Format("%lld", static_cast<long long>(value.GetInt64()));
        break;
    case TovoVariant::Float:
        FormatNumber(static_cast<double>(value.GetFloat()), strText);
        break;
    case TovoVariant::Double:
        FormatNumber(value.GetDouble(), strText);
        if (m_strNumFormat.IsEmpty()) {
            strText.TrimRight('0');
            strText.TrimRight('.');
        }
        break;
    case TovoVariant::Date:
    case TovoVariant::Time:
    case TovoVariant::DateTime:
        FormatDate(value.GetDayNumber(), strText);
        break;
    case TovoVariant::Text:
        strText = value.GetText();
        break;
    default: // binary and unknown types have no label text
        break;
    }
}

TovoMBString KrTheme3DLabel::GetFieldName(unsigned char bAlias) const {
    if (!bAlias)
        return "Theme3DLabel" + m_strAliasSuffix;
    if (m_strExpression.IsEmpty())
        return TovoMBString();
    return m_strExpression + " as Theme3DLabel" + m_strAliasSuffix;
}

unsigned char KrTheme3DLabel::Add(const TovoMBString& strKey, const KrTheme3DItem& item) {
    if (m_dictItems.PLookup(strKey))
        return FALSE;
    std::unique_ptr<KrTheme3DItem> pItem(new KrTheme3DItem);
    *pItem = item;
    m_dictItems.SetAt(strKey, pItem.get());
    pItem.release();
    return TRUE;
}

KrTheme3DItem* KrTheme3DLabel::Find(const TovoMBString& strKey) const {
    KrTheme3DItem* const* ppItem = m_dictItems.PLookup(strKey);
    return ppItem ? *ppItem : nullptr;
}

unsigned char KrTheme3DLabel::IsExist(const TovoMBString& strKey) const {
    return Find(strKey) ? TRUE : FALSE;
}

TovoMBString KrTheme3DLabel::ToXML(int nVersion, TovoMBString) const {
    nVersion = ThemeXml::ResolveVersion(nVersion);
    if (nVersion != THEME3D_XML_VERSION)
        return TovoMBString();
    try {
        const TovoMBString strBase = KrTheme3D::ToXML(nVersion, TovoMBString());
        if (strBase.IsEmpty())
            return strBase;
        KrMarkup markup;
        if (!ThemeXml::OpenThemeDoc(markup, strBase))
            return TovoMBString();
        const char* szLabelType = ThemeXml::NameOfCode(kLabelTypeNames, m_nLabelType);
        ThemeXml::MarkupWriter out(markup);
        out.AddText(kElemExpression, m_strExpression);
        out.AddText(kElemNumFormat, m_strNumFormat);
        out.AddText(kElemAlongLine, ThemeXml::BoolText(m_bAlonglineText));
        out.AddText(kElemLabelType, szLabelType ? szLabelType : "");
        out.AddSubDoc(m_TextStyle.ToXML(THEME3D_XML_VERSION));
        return out.Finish(kClassName, kSource, kWriteFailedLine);
    } catch (const std::bad_alloc&) {
        return ThemeXml::WriteFailed(kClassName, kSource, kWriteFailedLine);
    }
}

unsigned char KrTheme3DLabel::FromXML(const TovoMBString& strXML, int nVersion, TovoMBString) {
    if (ThemeXml::ResolveVersion(nVersion) != THEME3D_XML_VERSION)
        return TRUE;
    if (strXML.IsEmpty())
        return FALSE;
    if (!KrTheme3D::FromXML(strXML, THEME3D_XML_VERSION, TovoMBString()) || m_nType != Label)
        return FALSE;
    KrMarkup markup(strXML);
    markup.ResetChildPos();
    ReadElements(markup);
    markup.OutOfElem();
    return TRUE;
}

// One search per element in the written order, never rewinding: an element that stands
// before the one found last is not seen.
void KrTheme3DLabel::ReadElements(KrMarkup& markup) {
    TovoMBString strText;
    if (ThemeXml::FindChildText(markup, kElemExpression, strText))
        SetExpression(strText);
    if (ThemeXml::FindChildText(markup, kElemNumFormat, m_strNumFormat))
        UpdateNumConversion(); // taken as stored, without the check SetNumFormat makes
    if (ThemeXml::FindChildText(markup, kElemAlongLine, strText)) {
        if (ThemeXml::IsTrueText(strText))
            m_bAlonglineText = TRUE;
        else if (ThemeXml::IsFalseText(strText))
            m_bAlonglineText = FALSE;
    }
    int nCode = 0;
    if (ThemeXml::FindChildText(markup, kElemLabelType, strText) &&
        ThemeXml::CodeOfName(kLabelTypeNames, strText, nCode))
        SetLabelType(static_cast<KrLabel3DType>(nCode));
    if (markup.FindChildElem(kElemTextStyle))
        m_TextStyle.FromXML(markup.GetChildSubDoc(), THEME3D_XML_VERSION);
}

} // namespace KRS
