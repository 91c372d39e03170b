// A geometry style: fill, line, icon and altitude mode, with its own XML.
#pragma once

#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/AltitudeMode.h"
#include "VyToolkit600/VyToolkit600_export.h"

namespace KRS {

class VYTOOLKIT600_EXPORT KrStyle {
public:
    KrStyle();
    KrStyle(const KrStyle&) = default;
    KrStyle& operator=(const KrStyle&) = default;
    virtual ~KrStyle();

    TOVO::TovoColor GetFillColor() const { return m_nFillColor; }
    void SetFillColor(TOVO::TovoColor c) { m_nFillColor = c; }
    TOVO::TovoColor GetLineColor() const { return m_nLineColor; }
    void SetLineColor(TOVO::TovoColor c) { m_nLineColor = c; }
    double GetLineWidth() const { return m_dLineWidth; }
    void SetLineWidth(double d) { m_dLineWidth = d; }
    const TOVO::TovoMBString& GetIconName() const { return m_strIconName; }
    void SetIconName(const TOVO::TovoMBString& s) { m_strIconName = s; }
    double GetIconScale() const { return m_dIconScale; }
    void SetIconScale(double d) { m_dIconScale = d; }
    AltitudeMode GetAltitudeMode() const { return m_nAltitudeMode; }
    void SetAltitudeMode(const AltitudeMode& mode) { m_nAltitudeMode = mode; }
    unsigned char IsFill() const { return m_bFill; }
    void SetFill(unsigned char b) { m_bFill = b ? TRUE : FALSE; }
    // Extrusion height in metres for polygons (0: flat).
    double GetExtrude() const { return m_dExtrude; }
    void SetExtrude(double d) { m_dExtrude = d; }

    // The style as a document whose root bears the given name ("dkm:Style" when empty).
    // Version 0 stands for the current version; another unknown version gives an empty text.
    TOVO::TovoMBString ToXML(int nVersion,
                             const TOVO::TovoMBString& strName = TOVO::TovoMBString()) const;
    // Reads a style from a document with any root name; members missing from the document keep
    // their values. FALSE when the document has no root element or the version is unknown.
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion);

    friend VYTOOLKIT600_EXPORT bool operator==(const KrStyle& a, const KrStyle& b);

private:
    TOVO::TovoColor m_nFillColor;
    TOVO::TovoColor m_nLineColor;
    double m_dLineWidth;
    TOVO::TovoMBString m_strIconName;
    double m_dIconScale;
    AltitudeMode m_nAltitudeMode;
    unsigned char m_bFill;
    double m_dExtrude;
};

inline bool operator!=(const KrStyle& a, const KrStyle& b) {
    return !(a == b);
}

} // namespace KRS
