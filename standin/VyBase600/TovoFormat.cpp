// The type-checked printf of TovoMBString: each conversion is parsed and checked against its
// tagged argument, then handed to snprintf alone (a clean conversion with the argument cast to
// the type its length modifier names), so the output is snprintf's, byte for byte.
//
// Accepted: flags "-+ #0'", a width and a precision given as digits or as '*' (taken from an
// integer argument, a negative width meaning '-', a negative precision none), the length
// modifiers hh h l ll j z t L q, and the conversions d i u o x X c e E f F g G a A s, plus "%%".
// Refused (TovoFormatError): anything else, including %n, %p, positional arguments ("%1$d"),
// "%%" with flags or a width, wide %lc and %ls, a length modifier on %s or %c, an integer length
// modifier on a floating conversion, a width or precision over 4096, a missing or left-over
// argument and an argument of the wrong kind.
//
// %s is written here rather than by snprintf so that the text goes by its length: bytes as they
// are, NUL bytes included; the precision limits the bytes and the width pads with spaces (the
// '0' flag pads with spaces too, as glibc does).
//
// The conversions run in the "C" locale whatever the process locale is, so that numbers always
// have '.' as their decimal point and no grouping.
#include "VyBase600/TovoMBString.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale.h>
#include <string>
#ifdef _WIN32
#include <mutex>
#endif

namespace TOVO {

TovoFormatError::TovoFormatError(const std::string& what) : std::invalid_argument(what) {}
TovoFormatError::~TovoFormatError() = default;

namespace {

constexpr int kMaxWidth = 4096;

// Switches the calling thread to the "C" locale for the lifetime of the object.
#ifdef _WIN32
// The Windows runtime has no locale objects to switch to. Only when a locale other than "C" is in
// force: the thread gets a locale of its own for the while, set to "C"; the system's msvcrt.dll
// has no thread locales, and there the process's numeric locale is switched instead, one
// conversion at a time.
class CLocaleScope {
public:
    CLocaleScope() {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        if (!current || std::strcmp(current, "C") == 0)
            return;
        m_previous = current;
        m_nMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
        if (m_nMode == -1)
            m_globalLock = std::unique_lock<std::mutex>(GlobalMutex());
        std::setlocale(LC_NUMERIC, "C");
        m_bSwitched = true;
    }
    ~CLocaleScope() {
        if (!m_bSwitched)
            return;
        std::setlocale(LC_NUMERIC, m_previous.c_str());
        if (m_nMode != -1)
            _configthreadlocale(m_nMode);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static std::mutex& GlobalMutex() {
        static std::mutex mutex;
        return mutex;
    }

    std::string m_previous;
    int m_nMode = 0; // the thread's locale mode before; -1: no thread locales
    bool m_bSwitched = false;
    std::unique_lock<std::mutex> m_globalLock;
};
#else
class CLocaleScope {
public:
    CLocaleScope() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        if (cLocale)
            m_previous = uselocale(cLocale);
    }
    ~CLocaleScope() {
        if (m_previous)
            uselocale(m_previous);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_previous = locale_t{};
};
#endif

struct Conversion {
    std::string flags;
    int width = -1;     // none
    int precision = -1; // none
    std::string length;
    char type = '\0';
};

class Formatter {
public:
    Formatter(const char* szFormat, const TovoFormatArg* args, std::size_t count)
        : m_p(szFormat), m_args(args), m_count(count) {}

    std::string Run() {
        while (*m_p) {
            const char* pct = std::strchr(m_p, '%');
            if (!pct) {
                m_out.append(m_p);
                break;
            }
            m_out.append(m_p, pct);
            m_p = pct + 1;
            if (*m_p == '%') {
                m_out += '%';
                ++m_p;
            } else {
                ++m_nConversion;
                Convert(Parse());
            }
        }
        if (m_next != m_count)
            Fail("more arguments than conversions");
        return std::move(m_out);
    }

private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw TovoFormatError("Format: " + why + " (conversion " + std::to_string(m_nConversion) +
                              ")");
    }

    const TovoFormatArg& NextArg() {
        if (m_next >= m_count)
            Fail("missing argument");
        return m_args[m_next++];
    }

    static bool IsInteger(const TovoFormatArg& a) {
        return a.kind == TovoFormatArg::SignedInt || a.kind == TovoFormatArg::UnsignedInt;
    }
    static unsigned long long Bits(const TovoFormatArg& a) {
        return a.kind == TovoFormatArg::SignedInt ? static_cast<unsigned long long>(a.i) : a.u;
    }

    // A '*' width or precision: an integer argument, read as the int it would be in C.
    int StarValue() {
        const TovoFormatArg& a = NextArg();
        if (!IsInteger(a))
            Fail("'*' needs an integer argument");
        const bool ok = a.kind == TovoFormatArg::SignedInt
                            ? (a.i >= -kMaxWidth && a.i <= kMaxWidth)
                            : a.u <= static_cast<unsigned long long>(kMaxWidth);
        if (!ok)
            Fail("width or precision over 4096");
        return static_cast<int>(static_cast<long long>(Bits(a)));
    }

    int Digits() {
        int n = 0;
        for (; *m_p >= '0' && *m_p <= '9'; ++m_p) {
            n = n * 10 + (*m_p - '0');
            if (n > kMaxWidth)
                Fail("width or precision over 4096");
        }
        return n;
    }

    Conversion Parse() {
        Conversion c;
        for (; *m_p && std::strchr("-+ #0'", *m_p); ++m_p)
            c.flags += *m_p;
        if (*m_p == '*') {
            ++m_p;
            c.width = StarValue();
            if (c.width < 0) {
                c.flags += '-';
                c.width = -c.width;
            }
        } else if (*m_p >= '0' && *m_p <= '9') {
            c.width = Digits();
            if (*m_p == '$')
                Fail("positional arguments are not supported");
        }
        if (*m_p == '.') {
            ++m_p;
            if (*m_p == '*') {
                ++m_p;
                c.precision = StarValue();
                c.precision = c.precision < 0 ? -1 : c.precision;
            } else {
                c.precision = Digits();
            }
        }
        ParseLength(c);
        if (!*m_p)
            Fail("format ends inside a conversion");
        c.type = *m_p++;
        return c;
    }

    void ParseLength(Conversion& c) {
        for (const char* len : {"hh", "ll", "h", "l", "j", "z", "t", "L", "q"}) {
            const std::size_t n = std::strlen(len);
            if (std::strncmp(m_p, len, n) == 0) {
                c.length = len;
                m_p += n;
                return;
            }
        }
    }

    void Convert(const Conversion& c) {
        switch (c.type) {
        case 'd':
        case 'i':
            return Signed(c, NextInteger());
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            return Unsigned(c, NextInteger());
        case 'c':
            if (!c.length.empty())
                Fail("no length modifier is allowed with %c");
            return Emit(c, "", static_cast<int>(Bits(NextInteger())));
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return Floating(c);
        case 's':
            return Text(c);
        case 'n':
        case 'p':
            Fail(std::string("%") + c.type + " is not allowed");
        default:
            Fail(std::string("unknown conversion '") + c.type + "'");
        }
    }

    const TovoFormatArg& NextInteger() {
        const TovoFormatArg& a = NextArg();
        if (!IsInteger(a))
            Fail("an integer conversion needs an integer argument");
        return a;
    }

    // The value as C would pass it: cast to the type the length modifier names (promoted
    // to int for the short types; printf narrows it again).
    void Signed(const Conversion& c, const TovoFormatArg& a) {
        const unsigned long long v = Bits(a);
        const std::string& l = c.length;
        if (l == "hh")
            return Emit(c, "hh", static_cast<int>(static_cast<signed char>(v)));
        if (l == "h")
            return Emit(c, "h", static_cast<int>(static_cast<short>(v)));
        if (l.empty())
            return Emit(c, "", static_cast<int>(v));
        if (l == "l")
            return Emit(c, "l", static_cast<long>(v));
        if (l == "j")
            return Emit(c, "j", static_cast<std::intmax_t>(v));
        if (l == "z")
            return Emit(c, "z", static_cast<std::make_signed_t<std::size_t>>(v));
        if (l == "t")
            return Emit(c, "t", static_cast<std::ptrdiff_t>(v));
        return Emit(c, "ll", static_cast<long long>(v)); // ll, and L and q as glibc reads them
    }

    void Unsigned(const Conversion& c, const TovoFormatArg& a) {
        const unsigned long long v = Bits(a);
        const std::string& l = c.length;
        if (l == "hh")
            return Emit(c, "hh", static_cast<unsigned>(static_cast<unsigned char>(v)));
        if (l == "h")
            return Emit(c, "h", static_cast<unsigned>(static_cast<unsigned short>(v)));
        if (l.empty())
            return Emit(c, "", static_cast<unsigned>(v));
        if (l == "l")
            return Emit(c, "l", static_cast<unsigned long>(v));
        if (l == "j")
            return Emit(c, "j", static_cast<std::uintmax_t>(v));
        if (l == "z")
            return Emit(c, "z", static_cast<std::size_t>(v));
        if (l == "t")
            return Emit(c, "t", static_cast<std::make_unsigned_t<std::ptrdiff_t>>(v));
        return Emit(c, "ll", static_cast<unsigned long long>(v));
    }

    void Floating(const Conversion& c) {
        if (!c.length.empty() && c.length != "l" && c.length != "L")
            Fail("an integer length modifier on a floating conversion");
        const TovoFormatArg& a = NextArg();
        if (a.kind != TovoFormatArg::Double)
            Fail("a floating conversion needs a floating-point argument");
        if (std::isnan(a.d) && std::signbit(a.d))
            return NegativeNaN(c);
        if (c.length == "L")
            return Emit(c, "L", static_cast<long double>(a.d));
        Emit(c, "", a.d);
    }

    // glibc writes the sign of a NaN ("-nan"), other C libraries drop it: the NaN goes out
    // positive with a forced sign, which then turns into the minus, so the padding stays right.
    void NegativeNaN(Conversion c) {
        c.flags += '+';
        const std::size_t start = m_out.size();
        if (c.length == "L")
            Emit(c, "L", static_cast<long double>(std::numeric_limits<double>::quiet_NaN()));
        else
            Emit(c, "", std::numeric_limits<double>::quiet_NaN());
        const std::size_t sign = m_out.find('+', start);
        if (sign != std::string::npos)
            m_out[sign] = '-';
    }

    void Text(const Conversion& c) {
        if (!c.length.empty())
            Fail("no length modifier is allowed with %s");
        const TovoFormatArg& a = NextArg();
        if (a.kind != TovoFormatArg::Text)
            Fail("%s needs a text argument");
        const char* data = a.s.data;
        std::size_t size = a.s.size;
        if (!data) { // glibc writes "(null)", or nothing when the precision would cut it
            data = c.precision < 0 || c.precision >= 6 ? "(null)" : "";
            size = std::strlen(data);
        }
        if (c.precision >= 0 && static_cast<std::size_t>(c.precision) < size)
            size = static_cast<std::size_t>(c.precision);
        const std::size_t width = c.width > 0 ? static_cast<std::size_t>(c.width) : 0;
        const std::size_t pad = width > size ? width - size : 0;
        const bool left = c.flags.find('-') != std::string::npos;
        if (!left)
            m_out.append(pad, ' ');
        m_out.append(data, size);
        if (left)
            m_out.append(pad, ' ');
    }

    template <typename T> void Emit(const Conversion& c, const char* length, T value) {
        std::string sub = "%" + c.flags;
        if (c.width >= 0)
            sub += std::to_string(c.width);
        if (c.precision >= 0)
            sub += "." + std::to_string(c.precision);
        sub += length;
        sub += c.type;
        char buf[512];
        const int n = std::snprintf(buf, sizeof buf, sub.c_str(), value);
        if (n < 0)
            Fail("the C library refused the conversion");
        if (static_cast<std::size_t>(n) < sizeof buf) {
            m_out.append(buf, static_cast<std::size_t>(n));
            return;
        }
        std::string big(static_cast<std::size_t>(n) + 1, '\0');
        std::snprintf(&big[0], big.size(), sub.c_str(), value);
        m_out.append(big, 0, static_cast<std::size_t>(n));
    }

    const char* m_p;
    const TovoFormatArg* m_args;
    std::size_t m_count;
    std::size_t m_next = 0;
    int m_nConversion = 0;
    std::string m_out;
};

// A format that is exactly "%.Nf" with one finite double: the conversion that numbers in documents,
// labels and chart texts use. std::to_chars writes the same digits as snprintf (both give the
// exact value rounded to the nearest, ties to even, with '.' whatever the locale), without
// parsing the format and without the C library's multi-precision path. FALSE: not that case.
bool FormatFixed(const char* szFormat, const TovoFormatArg* args, std::size_t count,
                 std::string& out) {
    if (count != 1 || args[0].kind != TovoFormatArg::Double || szFormat[0] != '%' ||
        szFormat[1] != '.')
        return false;
    const char* p = szFormat + 2;
    int precision = 0;
    for (int digits = 0; *p >= '0' && *p <= '9'; ++p, ++digits) {
        if (digits == 2)
            return false; // more than 99 decimals: left to the general path
        precision = precision * 10 + (*p - '0');
    }
    if (p == szFormat + 2 || p[0] != 'f' || p[1] != '\0' || !std::isfinite(args[0].d))
        return false;
    char buf[512]; // the longest: a sign, 309 integer digits, the point and 99 decimals
    const std::to_chars_result res =
        std::to_chars(buf, buf + sizeof buf, args[0].d, std::chars_format::fixed, precision);
    if (res.ec != std::errc())
        return false;
    out.assign(buf, res.ptr);
    return true;
}

} // namespace

// The text changes only when the whole format succeeds, so an argument may be this very string.
void TovoMBString::FormatArgs(const char* szFormat, const TovoFormatArg* args, std::size_t count) {
    if (!szFormat)
        throw TovoFormatError("Format: null format");
    if (!args && count > 0)
        throw TovoFormatError("Format: null argument list");
    std::string fixed;
    if (FormatFixed(szFormat, args, count, fixed)) {
        m_str = std::move(fixed);
        return;
    }
    CLocaleScope cLocale;
    m_str = Formatter(szFormat, args, count).Run();
}

} // namespace TOVO
