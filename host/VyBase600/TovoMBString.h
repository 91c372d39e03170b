// The host's byte string: no encoding is assumed, bytes pass through unchanged.
#pragma once

#include "VyBase600/VyBase600_export.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace TOVO {

class TovoMBString;

// Thrown by TovoMBString::Format for a format that does not fit its arguments.
class VYBASE600_EXPORT TovoFormatError : public std::invalid_argument {
public:
    explicit TovoFormatError(const std::string& what);
    ~TovoFormatError() override;
};

// One argument of Format, tagged with its type so that the format can be checked.
struct TovoFormatArg {
    // Named, because an anonymous struct inside an anonymous union is not standard C++.
    struct TextRef {
        const char* data;
        std::size_t size;
    };
    enum Kind { SignedInt, UnsignedInt, Double, Text } kind;
    union {
        long long i;
        unsigned long long u;
        double d;
        TextRef s;
    };
};

class VYBASE600_EXPORT TovoMBString {
public:
    TovoMBString() = default;
    TovoMBString(const char* sz) : m_str(sz ? sz : "") {}
    TovoMBString(const char* data, std::size_t size) : m_str(data, size) {}
    TovoMBString(std::string_view sv) : m_str(sv) {}
    TovoMBString(std::string s) : m_str(std::move(s)) {}

    TovoMBString& operator=(const char* sz) {
        m_str = sz ? sz : "";
        return *this;
    }

    TovoMBString& operator+=(const TovoMBString& s) {
        m_str += s.m_str;
        return *this;
    }
    TovoMBString& operator+=(const char* sz) {
        if (sz)
            m_str += sz;
        return *this;
    }
    TovoMBString& operator+=(char ch) {
        m_str += ch;
        return *this;
    }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    // Unchecked like the host's: the index must lie in 0 .. GetLength().
    char operator[](int nIndex) const { return m_str[static_cast<std::size_t>(nIndex)]; }
    char GetAt(int nIndex) const { return m_str.at(static_cast<std::size_t>(nIndex)); }
    void SetAt(int nIndex, char ch) { m_str.at(static_cast<std::size_t>(nIndex)) = ch; }

    const char* c_str() const { return m_str.c_str(); }
    const char* GetBuffer() const { return m_str.c_str(); }
    std::string_view View() const { return m_str; }
    const std::string& Str() const { return m_str; }
    std::string& Str() { return m_str; }

    // Byte-wise comparison: negative, 0 or positive.
    int Compare(const TovoMBString& other) const;
    // Comparison ignoring ASCII case; 0 for equal.
    int CompareNoCase(const TovoMBString& other) const;

    // Position of the first occurrence at or after nStart, or -1.
    int Find(const TovoMBString& sub, int nStart = 0) const;
    int Find(char ch, int nStart = 0) const;
    int ReverseFind(char ch) const;

    TovoMBString Left(int nCount) const;
    TovoMBString Right(int nCount) const;
    TovoMBString Mid(int nFirst, int nCount = -1) const;

    // Each removes all copies at that end: white space, one character, or any of a set.
    TovoMBString& TrimLeft();
    TovoMBString& TrimLeft(char ch);
    TovoMBString& TrimLeft(const char* szSet);
    TovoMBString& TrimRight();
    TovoMBString& TrimRight(char ch);
    TovoMBString& TrimRight(const char* szSet);
    TovoMBString& Trim() { return TrimRight().TrimLeft(); }

    // Replaces every occurrence and returns how many were replaced.
    int Replace(const TovoMBString& strOld, const TovoMBString& strNew);
    int Replace(char chOld, char chNew);

    TovoMBString& MakeUpper();
    TovoMBString& MakeLower();

    // The leading number, as the C library reads it (0 when there is none), never locale-dependent.
    double ToDouble() const;
    unsigned int ToUInt(int nBase = 10) const;
    int ToInt(int nBase = 10) const;
    // TRUE with the number when the whole text, white space around it allowed, spells one
    // number as ToDouble reads it; FALSE (dValue untouched) otherwise.
    bool ParseDouble(double& dValue) const;

    // printf-style formatting, byte-exact with snprintf; throws TovoFormatError when the format
    // is malformed or does not fit its arguments (type, count, %n, %p, widths over 4096).
    template <typename... Args> void Format(const char* szFormat, const Args&... args) {
        const TovoFormatArg packed[] = {MakeArg(args)..., TovoFormatArg{}};
        FormatArgs(szFormat, packed, sizeof...(Args));
    }
    template <typename... Args>
    static TovoMBString Formatted(const char* szFormat, const Args&... args) {
        TovoMBString s;
        s.Format(szFormat, args...);
        return s;
    }
    // The non-template core of Format.
    void FormatArgs(const char* szFormat, const TovoFormatArg* args, std::size_t count);

private:
    template <typename T> static TovoFormatArg MakeArg(const T& v) {
        TovoFormatArg a{};
        if constexpr (std::is_base_of_v<TovoMBString, T>) { // also classes derived from it
            a.kind = TovoFormatArg::Text;
            a.s = {v.Str().data(), v.Str().size()};
        } else if constexpr (std::is_same_v<T, std::string> ||
                             std::is_same_v<T, std::string_view>) {
            a.kind = TovoFormatArg::Text;
            a.s = {v.data(), v.size()};
        } else if constexpr (std::is_convertible_v<T, const char*> && !std::is_arithmetic_v<T>) {
            const char* p = v; // a null text stays null: its output depends on the precision
            a.kind = TovoFormatArg::Text;
            a.s = {p, p ? std::char_traits<char>::length(p) : 0};
        } else if constexpr (std::is_floating_point_v<T>) {
            a.kind = TovoFormatArg::Double;
            a.d = static_cast<double>(v);
        } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
            a.kind = TovoFormatArg::SignedInt;
            a.i = static_cast<long long>(v);
        } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
            if constexpr (std::is_enum_v<T>) {
                a.kind = TovoFormatArg::SignedInt;
                a.i = static_cast<long long>(v);
            } else {
                a.kind = TovoFormatArg::UnsignedInt;
                a.u = static_cast<unsigned long long>(v);
            }
        } else {
            static_assert(sizeof(T) == 0, "TovoMBString::Format: unsupported argument type");
        }
        return a;
    }

    std::string m_str;
};

inline bool operator==(const TovoMBString& a, const TovoMBString& b) {
    return a.View() == b.View();
}
inline bool operator!=(const TovoMBString& a, const TovoMBString& b) {
    return !(a == b);
}
inline bool operator<(const TovoMBString& a, const TovoMBString& b) {
    return a.View() < b.View();
}
inline bool operator>(const TovoMBString& a, const TovoMBString& b) {
    return b < a;
}
inline bool operator<=(const TovoMBString& a, const TovoMBString& b) {
    return !(b < a);
}
inline bool operator>=(const TovoMBString& a, const TovoMBString& b) {
    return !(a < b);
}
inline bool operator==(const TovoMBString& a, const char* b) {
    return a.View() == std::string_view(b ? b : "");
}
inline bool operator!=(const TovoMBString& a, const char* b) {
    return !(a == b);
}

inline TovoMBString operator+(TovoMBString a, const TovoMBString& b) {
    return a += b;
}
inline TovoMBString operator+(TovoMBString a, const char* b) {
    return a += b;
}
inline TovoMBString operator+(const char* a, const TovoMBString& b) {
    return TovoMBString(a) += b;
}
inline TovoMBString operator+(TovoMBString a, char b) {
    return a += b;
}

} // namespace TOVO
