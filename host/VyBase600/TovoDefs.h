// Basic definitions shared by every host library: flag values and colour makers.
#pragma once

#include <cstdint>

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

namespace TOVO {

// A colour packed as 0xAABBGGRR (red in the lowest byte).
using TovoColor = std::uint32_t;

constexpr TovoColor TOVORGBA(unsigned r, unsigned g, unsigned b, unsigned a) {
    return (TovoColor(r & 0xFFu)) | (TovoColor(g & 0xFFu) << 8) | (TovoColor(b & 0xFFu) << 16) |
           (TovoColor(a & 0xFFu) << 24);
}
// An opaque colour: alpha 255.
constexpr TovoColor TOVORGB(unsigned r, unsigned g, unsigned b) { return TOVORGBA(r, g, b, 255); }

constexpr unsigned TovoGetRValue(TovoColor c) { return c & 0xFFu; }
constexpr unsigned TovoGetGValue(TovoColor c) { return (c >> 8) & 0xFFu; }
constexpr unsigned TovoGetBValue(TovoColor c) { return (c >> 16) & 0xFFu; }
constexpr unsigned TovoGetAValue(TovoColor c) { return (c >> 24) & 0xFFu; }

} // namespace TOVO

using TOVO::TOVORGB;
using TOVO::TOVORGBA;
