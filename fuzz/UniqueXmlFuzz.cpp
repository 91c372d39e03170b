// KrTheme3DUnique::FromXML on any bytes: no crash, no leak, and the round trip of FuzzSupport.h.
// The theme that was read then answers style lookups by text and by number.
#include "FuzzSupport.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoVariant.h"

using TOVO::TovoMBString;
using TOVO::TovoVariant;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KRS::KrTheme3DUnique theme;
    const TovoMBString strInput = fuzz::InputText(data, size);
    if (fuzz::CheckThemeRoundTrip(theme, strInput).IsEmpty())
        return 0;
    for (int i = 0; i < theme.GetCount() && i < 4; ++i) {
        const TovoMBString strValue = theme.GetValueAt(i);
        fuzz::Require(theme.Find(strValue) != nullptr, "a value read has no item");
        fuzz::Require(theme.FindStyle(TovoVariant(strValue)) != nullptr, "no style for a value");
        fuzz::Require(theme.FindStyle(TovoVariant(strValue.ToDouble())) != nullptr,
                      "no style for a number");
    }
    fuzz::Require(theme.FindStyle(TovoVariant(2.5)) != nullptr, "no default style");
    theme.GetFieldName(TRUE);
    fuzz::ClearLog();
    return 0;
}
