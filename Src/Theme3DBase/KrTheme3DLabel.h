// The label theme: turns each feature's field value into the text of its 3D label, formatted by
// the value's type and an optional number format, optionally translated through the base's
// external-value table, and drawn in the theme's text style.
#pragma once

#include "KrTheme3DItem.h"
#include "KrTheme3DSymbol.h"
#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoDict.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrTextStyle.h"

namespace KRS {

class KrMarkup;

class THEME3DBASE_EXPORT KrTheme3DLabel : public KrTheme3DSymbol {
public:
    // A fixed underlying type, so that any int a caller stores stays representable.
    enum KrLabel3DType : int {
        Label3DText = 0,
        Label3DSymbol = 1,
        Label3DPicture = 2,
        Label3DTable = 3
    };

    // A new theme is a plain text label (Label3DText): the kind a host draws without any
    // further resources. Its text style has a halo, size 20, opaque yellow, the YaHei face
    // name in code page 936 and alignment 6.
    KrTheme3DLabel();
    // Copies the base part, every member and deep copies of the items.
    KrTheme3DLabel(const KrTheme3DLabel& other);
    // Copies the base part and the settings; the target keeps its own items.
    KrTheme3DLabel& operator=(const KrTheme3DLabel& other);
    ~KrTheme3DLabel() override;

    void SetExpression(TOVO::TovoMBString strExpression);
    TOVO::TovoMBString GetExpression() const override;

    void SetTextStyle(KrTextStyle& textStyle);
    // The theme's own style: the caller may change it in place.
    KrTextStyle* GetTextStyle() override;

    // Any int is stored as it is.
    void SetLabelType(KrLabel3DType nType);
    void SetLabel3DType(KrLabel3DType nType);
    KrLabel3DType GetLabel3DType();

    void SetAlonglineText(unsigned char bAlongline) override;
    unsigned char IsAlonglineText() override;

    TOVO::TovoMBString GetNumFormat() const;
    // A conversion for one double, with or without its leading "%" (".2f", "%.2f"). A format
    // the formatter refuses is logged ("EGi063") and dropped: the default "%.10f" applies again.
    void SetNumFormat(const TOVO::TovoMBString& strFormat);

    // The label text of one field value. A number format read from XML that the formatter
    // refuses, and a date outside the years 1 to 9999, give an empty text.
    TOVO::TovoMBString GetStringFromVariant(const TOVO::TovoVariant& value) override;

    // bAlias FALSE: "Theme3DLabel" and the alias suffix; TRUE: "<expression> as Theme3DLabel"
    // and the suffix, or empty without an expression.
    TOVO::TovoMBString GetFieldName(unsigned char bAlias) const override;

    // FALSE when the key is taken (nothing changes); otherwise stores a copy of the item.
    unsigned char Add(const TOVO::TovoMBString& strKey, const KrTheme3DItem& item);
    // The item stored under exactly that key, or null; it stays the theme's.
    KrTheme3DItem* Find(const TOVO::TovoMBString& strKey) const;
    unsigned char IsExist(const TOVO::TovoMBString& strKey) const;

    // Label elements appended to the base's "dkm:Theme3D"; items are not written. A label type
    // outside 0 to 3 is written as an empty "dkm:LabelType".
    TOVO::TovoMBString ToXML(int nVersion, TOVO::TovoMBString strPath) const override;
    // FALSE for an empty text, a failing base part or another theme type; TRUE without reading
    // anything for a version other than the label's. Items are neither read nor removed.
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion,
                          TOVO::TovoMBString strPath) override;

protected:
    // Copies the base part and the settings of the source (not its items).
    void Swap(const KrTheme3DLabel& other);

private:
    void CopyItems(const KrTheme3DLabel& other);
    void DeleteItems();
    void UpdateNumConversion();
    void FormatNumber(double dValue, TOVO::TovoMBString& strText) const;
    void ValueText(const TOVO::TovoVariant& value, TOVO::TovoMBString& strText) const;
    void ReadElements(KrMarkup& markup);

    TOVO::TovoMBString m_strExpression;
    KrTextStyle m_TextStyle;
    KrLabel3DType m_nLabelType;
    TOVO::TovoDict<TOVO::TovoMBString, KrTheme3DItem*> m_dictItems;
    unsigned char m_bAlonglineText;
    TOVO::TovoMBString m_strNumFormat;

    // Derived from m_strNumFormat whenever it changes, so that values are formatted without
    // rebuilding the conversion: "%" and the effective format without its leading "%"s, or
    // empty when the formatter refuses it for a double.
    TOVO::TovoMBString m_strNumConversion;
};

} // namespace KRS
