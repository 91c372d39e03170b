#include "VyToolkit600/KrConvert.h"

#include <charconv>

using TOVO::TovoMBString;

namespace KRS {

// The byte string's own readers already scan like the C library without its locale.
double kratof(const char* sz) {
    return sz ? TovoMBString(sz).ToDouble() : 0.0;
}

double kratof(const TovoMBString& s) {
    return s.ToDouble();
}

int kratoi(const char* sz) {
    return sz ? TovoMBString(sz).ToInt(10) : 0;
}

int kratoi(const TovoMBString& s) {
    return s.ToInt(10);
}

void NumberToString(int nNumber, TovoMBString& strOut) {
    char buf[16];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, nNumber);
    strOut = TovoMBString(buf, static_cast<std::size_t>(r.ptr - buf));
}

} // namespace KRS
