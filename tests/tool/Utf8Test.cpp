#include "Utf8.h"

#include <gtest/gtest.h>

using theme3d::Utf8;

TEST(Utf8, SanitizeReplacesEveryBadByte) {
    using Utf8Case = std::pair<std::string, std::string>;
    for (const auto& [in, out] :
         {Utf8Case{"plain", "plain"}, Utf8Case{"caf\xC3\xA9", "caf\xC3\xA9"},
          Utf8Case{"\xE5\xBE\xAE", "\xE5\xBE\xAE"},
          Utf8Case{"\xF0\x9F\x8C\x8D", "\xF0\x9F\x8C\x8D"},
          // a code-page 936 face name: by chance CE A2 and C5 BA are UTF-8 pairs
          Utf8Case{"\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA",
                   "\xCE\xA2\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC5\xBA\xEF\xBF\xBD"},
          Utf8Case{"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                 // overlong
          Utf8Case{"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // surrogate
          Utf8Case{"\xF4\x90\x80\x80",
                   "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // past U+10FFFF
          Utf8Case{"ab\xE5\xBE", "ab\xEF\xBF\xBD\xEF\xBF\xBD"}})        // cut short
        EXPECT_EQ(Utf8::Sanitize(in), out) << in;
}

TEST(Utf8, XmlEscapeEscapesMarkupAndControls) {
    EXPECT_EQ(Utf8::XmlEscape("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
    EXPECT_EQ(Utf8::XmlEscape(std::string("x\x01y\tz", 5)), "x\xEF\xBF\xBDy\tz");
}
