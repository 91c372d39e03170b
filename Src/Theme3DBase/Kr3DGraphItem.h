// One item of a chart: where its value comes from (a field expression of the feature, or a list
// of values joined to the feature by key), its caption and the style of its bar, segment or slice.
#pragma once

#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrStyle.h"

namespace KRS {

class THEME3DBASE_EXPORT Kr3DGraphItem {
public:
    // Only ArrayItem is ever tested for: any other code behaves as FieldItem.
    enum KrGraphItemType { FieldItem = 1, ArrayItem = 2 };

    Kr3DGraphItem();
    Kr3DGraphItem(const Kr3DGraphItem& other);
    // Asymmetric on purpose: the value list is copied only when the source's list is not empty,
    // so assigning an item without values keeps the target's values.
    Kr3DGraphItem& operator=(const Kr3DGraphItem& other);
    virtual ~Kr3DGraphItem();

    // The "dkm:GraphItem" fragment; the version is only handed on to the style.
    TOVO::TovoMBString ToXML(int nVersion) const;
    // Reads a fragment written by ToXML; a missing child keeps its member. FALSE, with one log
    // record and nothing changed, for an empty text or a document without "dkm:GraphItem".
    // The count of "dkm:ArrayFieldNum" is honoured up to the budget of 2^20 values; a larger
    // one gives the first 2^20 values and one log record (the rule is in KrThemeXml.h).
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion);

    TOVO::TovoMBString m_strFieldExpression;
    TOVO::TovoMBString m_strCaption;
    KrStyle m_Style;
    int m_nItemType;
    TOVO::TovoArray<double> m_arrValues;
};

} // namespace KRS
