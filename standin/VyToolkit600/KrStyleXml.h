// Value texts shared by the style and text-style documents. Private to the toolkit library.
#pragma once

#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrMarkup.h"

#include <charconv>

namespace KRS {
namespace stylexml {

// Both document versions the styles have had share one element format.
inline bool IsKnownVersion(int nVersion) {
    return nVersion == 0 || nVersion == 20090106 || nVersion == 20031211;
}

// The shortest text that reads back to the same double, independent of the locale.
inline TOVO::TovoMBString DoubleText(double d) {
    char buf[64];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, d);
    return TOVO::TovoMBString(buf, static_cast<std::size_t>(r.ptr - buf));
}

// A text that holds no number leaves the value as it was.
inline void ReadDouble(const TOVO::TovoMBString& strText, double& d) {
    const char* p = strText.c_str();
    const char* end = p + strText.Str().size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
        ++p;
    if (p < end && *p == '+')
        ++p;
    double value = 0.0;
    if (std::from_chars(p, end, value).ec == std::errc())
        d = value;
}

// Eight hex digits, alpha first, as the colour is packed (0xAABBGGRR).
// Written digit by digit as "%08X" would write it: every style written passes here twice.
inline TOVO::TovoMBString ColorText(TOVO::TovoColor c) {
    static const char kDigits[] = "0123456789ABCDEF";
    char buf[8];
    unsigned value = static_cast<unsigned>(c);
    for (int i = 7; i >= 0; --i, value >>= 4)
        buf[i] = kDigits[value & 0xFu];
    return TOVO::TovoMBString(buf, sizeof buf);
}

inline void ReadColor(const TOVO::TovoMBString& strText, TOVO::TovoColor& c) {
    const char* p = strText.c_str();
    const char* end = p + strText.Str().size();
    TOVO::TovoColor value = 0;
    const std::from_chars_result r = std::from_chars(p, end, value, 16);
    if (r.ec == std::errc() && r.ptr == end)
        c = value;
}

inline TOVO::TovoMBString BoolText(unsigned char b) {
    return b ? "TRUE" : "FALSE";
}

inline unsigned char ReadBool(const TOVO::TovoMBString& strText) {
    return (strText.CompareNoCase("TRUE") == 0 || strText == "1") ? TRUE : FALSE;
}

// Members may stand in any order: every search starts at the first child.
inline bool FindChild(KrMarkup& xml, const char* szName, TOVO::TovoMBString& strText) {
    xml.ResetChildPos();
    if (!xml.FindChildElem(szName))
        return false;
    strText = xml.GetChildData();
    return true;
}

} // namespace stylexml
} // namespace KRS
