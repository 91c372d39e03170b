// One field value of one feature: a type code with a value.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyBase600/VyBase600_export.h"

#include <cstdint>
#include <vector>

namespace TOVO {

class VYBASE600_EXPORT TovoVariant {
public:
    // The type codes that the themes tell apart.
    enum Type {
        Null = 0,
        UInt8 = 1,
        Int16 = 2,
        Int32 = 3,
        Int64 = 4,
        Float = 5,
        Double = 6,
        Date = 7,
        Binary = 8,
        Text = 9,
        Time = 10,
        DateTime = 11
    };

    TovoVariant() = default;
    explicit TovoVariant(std::uint8_t v) { SetUInt8(v); }
    explicit TovoVariant(std::int16_t v) { SetInt16(v); }
    explicit TovoVariant(std::int32_t v) { SetInt32(v); }
    explicit TovoVariant(std::int64_t v) { SetInt64(v); }
    explicit TovoVariant(float v) { SetFloat(v); }
    explicit TovoVariant(double v) { SetDouble(v); }
    explicit TovoVariant(const char* v) { SetText(v); }
    explicit TovoVariant(const TovoMBString& v) { SetText(v); }

    // A date/time value (type 7, 10 or 11) from a TovoTime day number.
    static TovoVariant FromDayNumber(double dDayNumber, int nType = Date);
    static TovoVariant FromBinary(const void* pData, std::size_t nSize);

    int GetType() const { return m_nType; }
    bool IsNull() const { return m_nType == Null; }

    void SetNull();
    void SetUInt8(std::uint8_t v);
    void SetInt16(std::int16_t v);
    void SetInt32(std::int32_t v);
    void SetInt64(std::int64_t v);
    void SetFloat(float v);
    void SetDouble(double v);
    void SetDayNumber(double d, int nType = Date);
    void SetText(const TovoMBString& v);
    void SetBinary(const void* pData, std::size_t nSize);

    // The held value; reading the wrong member gives 0 or empty.
    std::uint8_t GetUInt8() const { return m_nType == UInt8 ? m_u8 : 0; }
    std::int16_t GetInt16() const { return m_nType == Int16 ? m_i16 : 0; }
    std::int32_t GetInt32() const { return m_nType == Int32 ? m_i32 : 0; }
    std::int64_t GetInt64() const { return m_nType == Int64 ? m_i64 : 0; }
    float GetFloat() const { return m_nType == Float ? m_f : 0.0f; }
    double GetDouble() const { return m_nType == Double ? m_d : 0.0; }
    double GetDayNumber() const { return IsDateType(m_nType) ? m_d : 0.0; }
    const TovoMBString& GetText() const { return m_str; }
    const std::vector<std::uint8_t>& GetBinary() const { return m_bin; }

    // The value as text: integers in decimal, floats as the shortest text that reads back
    // to the same value, dates as "%Y-%m-%d %H:%M:%S" (date only at midnight), text as is,
    // null and binary empty.
    TovoMBString ToString() const;
    // TRUE with the number for numeric and date types, and for text that spells a number
    // entirely (surrounding white space allowed); FALSE otherwise.
    bool ToDouble(double& dValue) const;

    static bool IsDateType(int nType) { return nType == Date || nType == Time || nType == DateTime; }

    friend VYBASE600_EXPORT bool operator==(const TovoVariant& a, const TovoVariant& b);

private:
    int m_nType = Null;
    union {
        std::uint8_t m_u8;
        std::int16_t m_i16;
        std::int32_t m_i32;
        std::int64_t m_i64 = 0;
        float m_f;
        double m_d;
    };
    TovoMBString m_str;
    std::vector<std::uint8_t> m_bin;
};

inline bool operator!=(const TovoVariant& a, const TovoVariant& b) { return !(a == b); }

} // namespace TOVO
