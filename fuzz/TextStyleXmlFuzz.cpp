// KrTextStyle::FromXML on any bytes: no crash, no leak, and a text style read from any text writes
// a document that reads back into the same text style, also after the graph theme's renaming of
// every "TextStyle" into "ItemTextStyle".
#include "FuzzSupport.h"
#include "VyToolkit600/KrTextStyle.h"

using TOVO::TovoMBString;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KRS::KrTextStyle first;
    if (!first.FromXML(fuzz::InputText(data, size), 0))
        return 0;
    const TovoMBString written = first.ToXML(0);
    KRS::KrTextStyle second;
    fuzz::Require(second.FromXML(written, 0) != 0, "the written document is refused");
    fuzz::RequireSame(written, second.ToXML(0), "written, read and written again differs");
    TovoMBString renamed = written;
    renamed.Replace("TextStyle", "ItemTextStyle");
    KRS::KrTextStyle third;
    fuzz::Require(third.FromXML(renamed, 0) != 0, "the renamed document is refused");
    fuzz::RequireSame(written, third.ToXML(0), "the renaming changed a member");
    if (first == first)
        fuzz::Require(second == first, "the text style read back compares unequal");
    return 0;
}
