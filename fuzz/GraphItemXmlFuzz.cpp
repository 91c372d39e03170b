// Kr3DGraphItem::FromXML on any bytes: no crash, no leak, and an item read from any text writes a
// fragment that reads back into a fresh item and writes the same text; a copy writes it too.
#include "FuzzSupport.h"
#include "Theme3DBase/Kr3DGraphItem.h"
#include "VyScene600/KrTheme3D.h"

using TOVO::TovoMBString;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TovoMBString strInput = fuzz::InputText(data, size);
    KRS::Kr3DGraphItem older;
    older.FromXML(strInput, 20031212); // the older version only changes how the style is read
    KRS::Kr3DGraphItem first;
    const bool bRead = first.FromXML(strInput, 0) != 0;
    fuzz::Require(first.m_arrValues.GetSize() <= fuzz::kCountBudget, "more values than the budget");
    // A few bytes can ask for the whole budget; writing a million values three times takes
    // longer than a fuzz run's timeout, and ReaderBoundsTest writes the largest item.
    if (bRead && first.m_arrValues.GetSize() <= fuzz::kRoundTripEntries) {
        const TovoMBString written = first.ToXML(THEME3D_XML_VERSION);
        KRS::Kr3DGraphItem second;
        fuzz::Require(second.FromXML(written, 0) != 0, "the written fragment is refused");
        fuzz::RequireSame(written, second.ToXML(THEME3D_XML_VERSION),
                          "written, read and written again differs");
        const KRS::Kr3DGraphItem copy(first);
        fuzz::RequireSame(written, copy.ToXML(THEME3D_XML_VERSION), "a copy writes another text");
    }
    fuzz::ClearLog();
    return 0;
}
