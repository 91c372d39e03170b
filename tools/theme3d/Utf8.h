// Field values and theme texts are byte strings with no promised encoding, while JSON, glTF and
// SVG need valid UTF-8: this turns any bytes into valid UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace theme3d {

class Utf8 {
public:
    // The bytes with every byte that does not belong to a well-formed UTF-8 sequence (overlong
    // forms, surrogates and code points past U+10FFFF included) replaced by U+FFFD.
    static std::string Sanitize(std::string_view bytes);
    // Sanitize, then escape the characters that XML text and attribute values reserve.
    static std::string XmlEscape(std::string_view bytes);
};

} // namespace theme3d
