// A field value: a type code with one value; setting a value drops whatever was held before.
#include "VyBase600/TovoVariant.h"

#include "VyBase600/TovoTime.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace TOVO {

namespace {

// Integers in decimal; floats and doubles as the shortest text that reads back to the same value.
template <typename T> TovoMBString Shortest(T v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return TovoMBString(buf, static_cast<std::size_t>(res.ptr - buf));
}

// Equal values compare equal; a NaN also equals a NaN, so that a copy equals its source.
template <typename T> bool SameNumber(T a, T b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

TovoVariant TovoVariant::FromDayNumber(double dDayNumber, int nType) {
    TovoVariant v;
    v.SetDayNumber(dDayNumber, nType);
    return v;
}

TovoVariant TovoVariant::FromBinary(const void* pData, std::size_t nSize) {
    TovoVariant v;
    v.SetBinary(pData, nSize);
    return v;
}

void TovoVariant::SetNull() {
    m_nType = Null;
    m_i64 = 0;
    m_str.Empty();
    m_bin.clear();
}

void TovoVariant::SetUInt8(std::uint8_t v) {
    SetNull();
    m_nType = UInt8;
    m_u8 = v;
}

void TovoVariant::SetInt16(std::int16_t v) {
    SetNull();
    m_nType = Int16;
    m_i16 = v;
}

void TovoVariant::SetInt32(std::int32_t v) {
    SetNull();
    m_nType = Int32;
    m_i32 = v;
}

void TovoVariant::SetInt64(std::int64_t v) {
    SetNull();
    m_nType = Int64;
    m_i64 = v;
}

void TovoVariant::SetFloat(float v) {
    SetNull();
    m_nType = Float;
    m_f = v;
}

void TovoVariant::SetDouble(double v) {
    SetNull();
    m_nType = Double;
    m_d = v;
}

// A type code that is no date type stores a Date.
void TovoVariant::SetDayNumber(double d, int nType) {
    SetNull();
    m_nType = IsDateType(nType) ? nType : Date;
    m_d = d;
}

void TovoVariant::SetText(const TovoMBString& v) {
    TovoMBString copy(v); // v may be this variant's own text
    SetNull();
    m_nType = Text;
    m_str = std::move(copy);
}

void TovoVariant::SetBinary(const void* pData, std::size_t nSize) {
    std::vector<std::uint8_t> bytes;
    if (pData && nSize > 0) {
        const auto* p = static_cast<const std::uint8_t*>(pData);
        bytes.assign(p, p + nSize);
    }
    SetNull();
    m_nType = Binary;
    m_bin = std::move(bytes);
}

TovoMBString TovoVariant::ToString() const {
    switch (m_nType) {
    case UInt8:
        return Shortest(static_cast<unsigned>(m_u8));
    case Int16:
        return Shortest(static_cast<int>(m_i16));
    case Int32:
        return Shortest(m_i32);
    case Int64:
        return Shortest(m_i64);
    case Float:
        return Shortest(m_f);
    case Double:
        return Shortest(m_d);
    case Text:
        return m_str;
    default:
        break;
    }
    if (!IsDateType(m_nType))
        return TovoMBString();
    const TovoTime t(m_d);
    const bool midnight = t.GetHour() == 0 && t.GetMinute() == 0 && t.GetSecond() == 0;
    return t.Format(midnight ? "%Y-%m-%d" : "%Y-%m-%d %H:%M:%S");
}

bool TovoVariant::ToDouble(double& dValue) const {
    switch (m_nType) {
    case UInt8:
        dValue = m_u8;
        return true;
    case Int16:
        dValue = m_i16;
        return true;
    case Int32:
        dValue = m_i32;
        return true;
    case Int64:
        dValue = static_cast<double>(m_i64);
        return true;
    case Float:
        dValue = m_f;
        return true;
    case Double:
    case Date:
    case Time:
    case DateTime:
        dValue = m_d;
        return true;
    case Text:
        return m_str.ParseDouble(dValue);
    default:
        return false;
    }
}

bool operator==(const TovoVariant& a, const TovoVariant& b) {
    if (a.m_nType != b.m_nType)
        return false;
    switch (a.m_nType) {
    case TovoVariant::UInt8:
        return a.m_u8 == b.m_u8;
    case TovoVariant::Int16:
        return a.m_i16 == b.m_i16;
    case TovoVariant::Int32:
        return a.m_i32 == b.m_i32;
    case TovoVariant::Int64:
        return a.m_i64 == b.m_i64;
    case TovoVariant::Float:
        return SameNumber(a.m_f, b.m_f);
    case TovoVariant::Double:
    case TovoVariant::Date:
    case TovoVariant::Time:
    case TovoVariant::DateTime:
        return SameNumber(a.m_d, b.m_d);
    case TovoVariant::Text:
        return a.m_str == b.m_str;
    case TovoVariant::Binary:
        return a.m_bin == b.m_bin;
    default:
        return true; // null
    }
}

} // namespace TOVO
