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
    enum KrTheme3DType : int { Unique = 1, Range = 2, Label = 3, Graph = 4 };

    // Classification methods of range themes.
    enum KrClass3DType : int {
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

    // The virtual interface, in the host's slot order (slot 0 is the destructor). The base bodies
    // describe a theme that has no opinion: a derived theme overrides what it knows about.
    // Slot 1. Base: null, no style of its own.
    virtual KrStyle* FindStyle(const TOVO::TovoVariant& value) const;
    // Slot 2. Base: empty, no field.
    virtual TOVO::TovoMBString GetFieldName(unsigned char bAlias) const;
    // Slot 3. Base: empty, no expression.
    virtual TOVO::TovoMBString GetExpression() const;
    // Slot 4. Base: TRUE for every field type. A bare base classifies nothing, so it has no ground
    // to refuse a field; the themes that need numbers or text override this and refuse the rest.
    virtual unsigned char CheckFieldType(int nFieldType);
    // Slot 5. Base: null, no text style.
    virtual KrTextStyle* GetTextStyle();
    // Slot 6. The base document: root "dkm:Theme3D" with the base's own elements. Version 0 stands
    // for THEME3D_XML_VERSION. 20090106 writes "dkm:ThemeType", "dkm:ExternalValueMode",
    // "dkm:AliasSuffix" and "dkm:ExternalValues"; the older 20031211 format knew only the type
    // and the mode and writes just those. Any other version gives an empty text (failure).
    virtual TOVO::TovoMBString ToXML(int nVersion, TOVO::TovoMBString strPath) const;
    // Slot 7. Reads the base part of a document written by ToXML of the same version (0 stands for
    // THEME3D_XML_VERSION). FALSE, with nothing changed, for another version, an empty or
    // malformed text, a root other than "dkm:Theme3D", or a root without a "dkm:ThemeType"
    // holding a whole decimal integer: without the type code the themes could not tell whose
    // document it is. Otherwise TRUE: the type is taken over, and each other base element that
    // the version knows replaces its member when present (a mode that is no integer is ignored);
    // members whose element is missing keep their values. The path is not used.
    virtual unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion,
                                  TOVO::TovoMBString strPath);
    // Slot 8. Base: Variant2String.
    virtual TOVO::TovoMBString GetStringFromVariant(const TOVO::TovoVariant& value);
    // Slots 9 and 10. Base: ignored; IsAlonglineText answers FALSE.
    virtual void SetAlonglineText(unsigned char bAlongline);
    virtual unsigned char IsAlonglineText();
    // Slots 11 and 12. Base: stores the offsets that GetOffset returns (0, 0 for a new theme).
    virtual void SetOffset(int nOffsetX, int nOffsetY);
    virtual void GetOffset(int& nOffsetX, int& nOffsetY);
    // Slot 13. Base: FALSE, the array untouched: no extra fields to query.
    virtual unsigned char GetThemeQueryDef(TOVO::TovoArray<TOVO::TovoMBString>& arrFields,
                                           unsigned char bQueryFields);
    // Slot 14. Base: 0 for any index. Chart items are 1 (field) or 2 (array); 0 is neither, so a
    // host that asks a theme without charts fetches nothing for it.
    virtual int GetThemeGraphItemType(int nIndex) const;
    // Slot 15. Base: the value becomes 0.
    virtual void GetThemeGraphValues(double& dValue, int nIndex, int nKey);
    // Slot 16. Base: does nothing.
    virtual void CalculateGraphProperty(double dValue);
    // Slot 17. Base: null, no geometry.
    virtual KrGeometry* ConvertToGeometry(double* pValues, unsigned int nCount,
                                          const TOVO::TovoPoint3D& position);
    // Slot 18. Base: does nothing.
    virtual void Attach(double* pValues, int nCount);

    int GetType() const { return m_nType; }

    // TRUE with the translation written to strTranslation when the table translates strValue;
    // FALSE otherwise, leaving strTranslation untouched. Both may be the same string.
    unsigned char GetExternalValue(const TOVO::TovoMBString& strValue,
                                   TOVO::TovoMBString& strTranslation) const;

    // The value as text (TovoVariant::ToString): null and binary give an empty text.
    static TOVO::TovoMBString Variant2String(const TOVO::TovoVariant& value);
    // FALSE when the value has no numeric reading, else TRUE with the number: numeric types,
    // dates as their day number, and text that spells a number entirely (surrounding white
    // space allowed). Null, binary and any other text give FALSE with dValue untouched.
    static unsigned char Variant2Double(const TOVO::TovoVariant& value, double& dValue);

    // Host-side settings.
    int GetExternalValueMode() const { return m_nExternalValueMode; }
    void SetExternalValueMode(int nMode) { m_nExternalValueMode = nMode; }
    const TOVO::TovoMBString& GetAliasSuffix() const { return m_strAliasSuffix; }
    void SetAliasSuffix(const TOVO::TovoMBString& strSuffix) { m_strAliasSuffix = strSuffix; }
    // Adds the translation of a value, replacing one the value had.
    void SetExternalValue(const TOVO::TovoMBString& strValue,
                          const TOVO::TovoMBString& strTranslation);
    // TRUE when the value had a translation (now removed).
    unsigned char RemoveExternalValue(const TOVO::TovoMBString& strValue);
    void RemoveAllExternalValues();
    const TOVO::TovoDict<TOVO::TovoMBString, TOVO::TovoMBString>& GetExternalValues() const {
        return m_dictExternalValues;
    }

protected:
    // Copies the base part of the source (every base member, the external-value table and the
    // offsets included) into this theme; the source stays unchanged. Safe on itself.
    void Swap(const KrTheme3D& other);

    int m_nType;
    int m_nExternalValueMode;
    TOVO::TovoMBString m_strAliasSuffix;

private:
    TOVO::TovoDict<TOVO::TovoMBString, TOVO::TovoMBString> m_dictExternalValues;
    int m_nOffsetX;
    int m_nOffsetY;
};

// The type codes by their own name too, as the host's code spells them.
using KrTheme3DType = KrTheme3D::KrTheme3DType;

} // namespace KRS
