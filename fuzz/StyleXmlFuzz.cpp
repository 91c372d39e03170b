// KrStyle::FromXML on any bytes: no crash, no leak, and a style read from any text writes a
// document that reads back, under its own root name or another one, into the same style.
#include "FuzzSupport.h"
#include "VyToolkit600/KrStyle.h"

using TOVO::TovoMBString;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KRS::KrStyle first;
    if (!first.FromXML(fuzz::InputText(data, size), 0))
        return 0;
    const TovoMBString written = first.ToXML(0);
    KRS::KrStyle second;
    fuzz::Require(second.FromXML(written, 0) != 0, "the written document is refused");
    fuzz::RequireSame(written, second.ToXML(0), "written, read and written again differs");
    KRS::KrStyle renamed;
    fuzz::Require(renamed.FromXML(first.ToXML(0, "dkm:GeoStyle"), 0) != 0,
                  "a document under another root name is refused");
    fuzz::RequireSame(written, renamed.ToXML(0), "the root name changed a member");
    // NaN is the only value unequal to itself; any other style must compare equal.
    if (first == first)
        fuzz::Require(second == first, "the style read back compares unequal");
    return 0;
}
