// The byte string's operations. Everything here works on bytes and ASCII only, so that no
// result ever depends on the process locale.
#include "VyBase600/TovoMBString.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace TOVO {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char ToLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The value of c as a digit in bases up to 36, or 36 when it is no digit at all.
int DigitValue(char c) {
    if (IsDigit(c))
        return c - '0';
    const char l = ToLowerAscii(c);
    if (l >= 'a' && l <= 'z')
        return l - 'a' + 10;
    return 36;
}
bool IsHexDigit(char c) {
    return DigitValue(c) < 16;
}

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

bool StartsWithNoCase(const char* p, const char* end, const char* word) {
    const std::size_t n = std::strlen(word);
    if (static_cast<std::size_t>(end - p) < n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (ToLowerAscii(p[i]) != word[i])
            return false;
    return true;
}

// "inf", "infinity", "nan" and "nan(chars)" as strtod spells them; the sign is applied later.
const char* ScanSpecial(const char* p, const char* end, double& d) {
    if (StartsWithNoCase(p, end, "inf")) {
        d = std::numeric_limits<double>::infinity();
        p += 3;
        return StartsWithNoCase(p, end, "inity") ? p + 5 : p;
    }
    if (StartsWithNoCase(p, end, "nan")) {
        d = std::numeric_limits<double>::quiet_NaN();
        p += 3;
        if (p < end && *p == '(') {
            const char* q = p + 1;
            while (q < end && (DigitValue(*q) < 36 || *q == '_'))
                ++q;
            if (q < end && *q == ')')
                p = q + 1;
        }
        return p;
    }
    return nullptr;
}

// The extent of a mantissa and exponent (decimal, or hexadecimal after "0x") and the rough
// magnitude of its value, which only serves to tell an overflow from an underflow.
struct NumberExtent {
    const char* end = nullptr; // null when there are no digits
    long long order = 0;       // > 0 for a value of at least 1
};

NumberExtent ScanMantissa(const char* p, const char* end, bool hex) {
    const int digitBits = hex ? 4 : 1; // one "order" per decimal digit or per binary digit
    const char expChar = hex ? 'p' : 'e';
    auto isDigit = [hex](char c) { return hex ? IsHexDigit(c) : IsDigit(c); };
    NumberExtent r;
    long long digits = 0, intDigits = 0, firstNonZero = -1;
    for (; p < end && isDigit(*p); ++p, ++digits, ++intDigits)
        if (firstNonZero < 0 && *p != '0')
            firstNonZero = digits;
    if (p < end && *p == '.')
        for (++p; p < end && isDigit(*p); ++p, ++digits)
            if (firstNonZero < 0 && *p != '0')
                firstNonZero = digits;
    if (digits == 0)
        return r;
    long long exponent = 0;
    if (p < end && ToLowerAscii(*p) == expChar) {
        const char* q = p + 1;
        const bool negExp = q < end && *q == '-';
        if (q < end && (*q == '+' || *q == '-'))
            ++q;
        if (q < end && IsDigit(*q)) {
            for (; q < end && IsDigit(*q); ++q)
                exponent = std::min(exponent * 10 + (*q - '0'), 1000000000LL);
            p = q;
        }
        exponent = negExp ? -exponent : exponent;
    }
    r.end = p;
    r.order = firstNonZero < 0 ? 0 : (intDigits - firstNonZero) * digitBits + exponent;
    return r;
}

// Reads the number at p like strtod; returns where it ends, or p when there is none.
const char* ScanDouble(const char* p, const char* end, double& d) {
    const char* s = p;
    const bool neg = s < end && *s == '-';
    if (s < end && (*s == '+' || *s == '-'))
        ++s;
    double v = 0.0;
    const char* stop = ScanSpecial(s, end, v);
    if (!stop) {
        const bool hex = end - s > 2 && s[0] == '0' && ToLowerAscii(s[1]) == 'x' &&
                         (IsHexDigit(s[2]) || (s[2] == '.' && end - s > 3 && IsHexDigit(s[3])));
        const char* digits = hex ? s + 2 : s;
        const NumberExtent ext = ScanMantissa(digits, end, hex);
        if (!ext.end)
            return p;
        const auto res = std::from_chars(digits, ext.end, v,
                                         hex ? std::chars_format::hex : std::chars_format::general);
        if (res.ec == std::errc::result_out_of_range)
            v = ext.order > 0 ? HUGE_VAL : 0.0;
        stop = ext.end;
    }
    d = neg ? -v : v;
    return stop;
}

// Reads the integer at p like strtoul on a platform whose long has 32 bits: the magnitude
// saturates just above 0xFFFFFFFF, which is all that the callers need to tell.
struct IntegerScan {
    unsigned long long magnitude = 0;
    bool negative = false;
};

IntegerScan ScanInteger(const char* p, const char* end, int base) {
    IntegerScan r;
    if (base != 0 && (base < 2 || base > 36))
        return r;
    p = SkipSpace(p, end);
    const bool neg = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    const bool hexPrefix =
        end - p > 2 && p[0] == '0' && ToLowerAscii(p[1]) == 'x' && IsHexDigit(p[2]);
    if ((base == 0 || base == 16) && hexPrefix) {
        base = 16;
        p += 2;
    } else if (base == 0) {
        base = (p < end && *p == '0') ? 8 : 10;
    }
    const unsigned long long cap = 0x100000000ULL;
    const char* first = p;
    for (; p < end && DigitValue(*p) < base; ++p)
        r.magnitude = std::min(
            r.magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(*p)), cap);
    r.negative = neg && p != first;
    return r;
}

template <typename Drop> void EraseFront(std::string& str, Drop drop) {
    std::size_t i = 0;
    while (i < str.size() && drop(str[i]))
        ++i;
    str.erase(0, i);
}

template <typename Drop> void EraseBack(std::string& str, Drop drop) {
    std::size_t n = str.size();
    while (n > 0 && drop(str[n - 1]))
        --n;
    str.erase(n);
}

// A NUL byte never belongs to a set given as C text.
auto InSet(const char* set) {
    return [set](char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
}
auto Is(char ch) {
    return [ch](char c) { return c == ch; };
}

} // namespace

int TovoMBString::Compare(const TovoMBString& other) const {
    return m_str.compare(other.m_str);
}

int TovoMBString::CompareNoCase(const TovoMBString& other) const {
    const std::size_t n = std::min(m_str.size(), other.m_str.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(ToLowerAscii(m_str[i]));
        const auto b = static_cast<unsigned char>(ToLowerAscii(other.m_str[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return m_str.size() == other.m_str.size() ? 0 : (m_str.size() < other.m_str.size() ? -1 : 1);
}

int TovoMBString::Find(const TovoMBString& sub, int nStart) const {
    if (nStart < 0 || nStart > GetLength())
        return -1;
    const std::size_t pos = m_str.find(sub.m_str, static_cast<std::size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int TovoMBString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const std::size_t pos = m_str.find(ch, static_cast<std::size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int TovoMBString::ReverseFind(char ch) const {
    const std::size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

TovoMBString TovoMBString::Left(int nCount) const {
    const int n = std::clamp(nCount, 0, GetLength());
    return TovoMBString(m_str.substr(0, static_cast<std::size_t>(n)));
}

TovoMBString TovoMBString::Right(int nCount) const {
    const int n = std::clamp(nCount, 0, GetLength());
    return TovoMBString(m_str.substr(m_str.size() - static_cast<std::size_t>(n)));
}

TovoMBString TovoMBString::Mid(int nFirst, int nCount) const {
    const int first = std::clamp(nFirst, 0, GetLength());
    const int rest = GetLength() - first;
    const int n = nCount < 0 ? rest : std::min(nCount, rest);
    return TovoMBString(m_str.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(n)));
}

TovoMBString& TovoMBString::TrimLeft() {
    EraseFront(m_str, IsSpace);
    return *this;
}
TovoMBString& TovoMBString::TrimLeft(char ch) {
    EraseFront(m_str, Is(ch));
    return *this;
}
TovoMBString& TovoMBString::TrimLeft(const char* szSet) {
    if (szSet)
        EraseFront(m_str, InSet(szSet));
    return *this;
}
TovoMBString& TovoMBString::TrimRight() {
    EraseBack(m_str, IsSpace);
    return *this;
}
TovoMBString& TovoMBString::TrimRight(char ch) {
    EraseBack(m_str, Is(ch));
    return *this;
}
TovoMBString& TovoMBString::TrimRight(const char* szSet) {
    if (szSet)
        EraseBack(m_str, InSet(szSet));
    return *this;
}

int TovoMBString::Replace(const TovoMBString& strOld, const TovoMBString& strNew) {
    if (strOld.IsEmpty())
        return 0;
    std::string out;
    int count = 0;
    std::size_t from = 0;
    for (std::size_t pos; (pos = m_str.find(strOld.m_str, from)) != std::string::npos; ++count) {
        out.append(m_str, from, pos - from).append(strNew.m_str);
        from = pos + strOld.m_str.size();
    }
    if (count > 0) {
        out.append(m_str, from, std::string::npos);
        m_str.swap(out);
    }
    return count;
}

// Replacing a character by itself changes nothing, so it counts as no replacement.
int TovoMBString::Replace(char chOld, char chNew) {
    if (chOld == chNew)
        return 0;
    int count = 0;
    for (char& c : m_str)
        if (c == chOld) {
            c = chNew;
            ++count;
        }
    return count;
}

TovoMBString& TovoMBString::MakeUpper() {
    std::transform(m_str.begin(), m_str.end(), m_str.begin(), ToUpperAscii);
    return *this;
}

TovoMBString& TovoMBString::MakeLower() {
    std::transform(m_str.begin(), m_str.end(), m_str.begin(), ToLowerAscii);
    return *this;
}

// Like strtod on the text up to its first NUL byte, but always with '.' as the decimal point.
double TovoMBString::ToDouble() const {
    const char* end = m_str.data() + std::strlen(m_str.c_str());
    double d = 0.0;
    ScanDouble(SkipSpace(m_str.data(), end), end, d);
    return d;
}

bool TovoMBString::ParseDouble(double& dValue) const {
    const char* begin = SkipSpace(m_str.data(), m_str.data() + m_str.size());
    const char* end = m_str.data() + m_str.size();
    double d = 0.0;
    const char* stop = ScanDouble(begin, end, d);
    if (stop == begin || SkipSpace(stop, end) != end)
        return false;
    dValue = d;
    return true;
}

// strtoul as on a platform with a 32-bit unsigned long (the host's): a magnitude above
// 0xFFFFFFFF gives 0xFFFFFFFF whatever the sign; otherwise a leading '-' negates modulo 2^32,
// so "-1" gives 0xFFFFFFFF. A base other than 0 or 2..36 gives 0.
unsigned int TovoMBString::ToUInt(int nBase) const {
    const IntegerScan r =
        ScanInteger(m_str.c_str(), m_str.c_str() + std::strlen(m_str.c_str()), nBase);
    if (r.magnitude > UINT_MAX)
        return UINT_MAX;
    const auto m = static_cast<unsigned int>(r.magnitude);
    return r.negative ? 0u - m : m;
}

// strtol as on a platform with a 32-bit long: values beyond the int range saturate.
int TovoMBString::ToInt(int nBase) const {
    const IntegerScan r =
        ScanInteger(m_str.c_str(), m_str.c_str() + std::strlen(m_str.c_str()), nBase);
    if (r.negative)
        return r.magnitude > 0x80000000ULL ? INT_MIN
                                           : static_cast<int>(-static_cast<long long>(r.magnitude));
    return r.magnitude > static_cast<unsigned long long>(INT_MAX) ? INT_MAX
                                                                  : static_cast<int>(r.magnitude);
}

} // namespace TOVO
