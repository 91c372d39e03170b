// The host's abstract 3D theme: the virtual interface a host drives every theme through, plus the
// base part every theme shares (type code, external-value table, alias suffix) and its XML.
#pragma once

#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoDict.h"
#include "VyBase600/TovoGeometryTypes.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoVariant.h"
#include "VyScene600/VyScene600_export.h"

// The markup version the themes write and read; a version argument of 0 stands for it.
#define THEME3D_XML_VERSION 20090106
// The older version still read and written by the base part for old graph documents.
#define THEME3D_XML_VERSION_20031211 20031211

namespace KRS {

class KrStyle;
class KrTextStyle;
class KrGeometry;
class KrRecordset;

class VYSCENE600_EXPORT KrTheme3D {
public:
    enum KrTheme3DType { Unique = 1, Range = 2, Label = 3, Graph = 4 };

    // Classification methods of range themes.
    enum KrClass3DType {
        ClassEqualDistance = 0,
        ClassExtraction = 1,
        ClassStdev = 2,
        ClassLogarithm = 3,
        ClassQuantile = 4,
        ClassCustomInterval = 5
    };

    KrTheme3D();
    KrTheme3D(const KrTheme3D& other);
    virtual ~KrTheme3D();
    KrTheme3D& operator=(const KrTheme3D& other);

    // The virtual interface, in the host's slot order (slot 0 is the destructor).
    virtual KrStyle* FindStyle(const TOVO::TovoVariant& value) const;                       // 1
    virtual TOVO::TovoMBString GetFieldName(unsigned char bAlias) const;                    // 2
    virtual TOVO::TovoMBString GetExpression() const;                                       // 3
    virtual unsigned char CheckFieldType(int nFieldType);                                   // 4
    virtual KrTextStyle* GetTextStyle();                                                    // 5
    virtual TOVO::TovoMBString ToXML(int nVersion, TOVO::TovoMBString strPath) const;       // 6
    virtual unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion,
                                  TOVO::TovoMBString strPath);                              // 7
    virtual TOVO::TovoMBString GetStringFromVariant(const TOVO::TovoVariant& value);        // 8
    virtual void SetAlonglineText(unsigned char bAlongline);                                // 9
    virtual unsigned char IsAlonglineText();                                                // 10
    virtual void SetOffset(int nOffsetX, int nOffsetY);                                     // 11
    virtual void GetOffset(int& nOffsetX, int& nOffsetY);                                   // 12
    virtual unsigned char GetThemeQueryDef(TOVO::TovoArray<TOVO::TovoMBString>& arrFields,
                                           unsigned char bQueryFields);                     // 13
    virtual int GetThemeGraphItemType(int nIndex) const;                                    // 14
    virtual void GetThemeGraphValues(double& dValue, int nIndex, int nKey);                 // 15
    virtual void CalculateGraphProperty(double dValue);                                     // 16
    virtual KrGeometry* ConvertToGeometry(double* pValues, unsigned int nCount,
                                          const TOVO::TovoPoint3D& position);               // 17
    virtual void Attach(double* pValues, int nCount);                                       // 18

    int GetType() const { return m_nType; }

    // TRUE with the translation written to strTranslation when the table translates strValue;
    // FALSE otherwise, leaving strTranslation untouched. Both may be the same string.
    unsigned char GetExternalValue(const TOVO::TovoMBString& strValue, TOVO::TovoMBString& strTranslation) const;

    // The value as text (TovoVariant::ToString).
    static TOVO::TovoMBString Variant2String(const TOVO::TovoVariant& value);
    // FALSE when the value has no numeric reading, else TRUE with the number.
    static unsigned char Variant2Double(const TOVO::TovoVariant& value, double& dValue);

    // Host-side settings.
    int GetExternalValueMode() const { return m_nExternalValueMode; }
    void SetExternalValueMode(int nMode) { m_nExternalValueMode = nMode; }
    const TOVO::TovoMBString& GetAliasSuffix() const { return m_strAliasSuffix; }
    void SetAliasSuffix(const TOVO::TovoMBString& strSuffix) { m_strAliasSuffix = strSuffix; }
    void SetExternalValue(const TOVO::TovoMBString& strValue, const TOVO::TovoMBString& strTranslation);
    unsigned char RemoveExternalValue(const TOVO::TovoMBString& strValue);
    void RemoveAllExternalValues();
    const TOVO::TovoDict<TOVO::TovoMBString, TOVO::TovoMBString>& GetExternalValues() const {
        return m_dictExternalValues;
    }

protected:
    // Copies the base part of the source into this theme; the source stays unchanged.
    void Swap(const KrTheme3D& other);

    int m_nType;
    int m_nExternalValueMode;
    TOVO::TovoMBString m_strAliasSuffix;

private:
    TOVO::TovoDict<TOVO::TovoMBString, TOVO::TovoMBString> m_dictExternalValues;
    int m_nOffsetX;
    int m_nOffsetY;
};

} // namespace KRS
