#include "Utf8.h"

namespace theme3d {

namespace {

// The length of the well-formed sequence starting at pos, or 0 when there is none.
std::size_t SequenceLength(std::string_view s, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // overlong
        if (b0 == 0xED)
            hi = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0)
            lo = 0x90; // overlong
        if (b0 == 0xF4)
            hi = 0x8F; // past U+10FFFF
    } else {
        return 0;
    }
    if (pos + n > s.size())
        return 0;
    if (byte(pos + 1) < lo || byte(pos + 1) > hi)
        return 0;
    for (std::size_t i = 2; i < n; ++i) {
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF)
            return 0;
    }
    return n;
}

} // namespace

std::string Utf8::Sanitize(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t n = SequenceLength(bytes, pos);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++pos;
        } else {
            out.append(bytes.substr(pos, n));
            pos += n;
        }
    }
    return out;
}

std::string Utf8::XmlEscape(std::string_view bytes) {
    std::string out;
    for (char ch : Sanitize(bytes)) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            // Control characters other than tab, newline and return are not allowed in XML 1.0.
            if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')
                out += "\xEF\xBF\xBD";
            else
                out += ch;
        }
    }
    return out;
}

} // namespace theme3d
