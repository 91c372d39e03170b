// KrTheme3DRange::FromXML on any bytes: no crash, no leak, and the round trip of FuzzSupport.h.
// The theme that was read then answers range lookups at and around its break values.
#include "FuzzSupport.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "VyBase600/TovoVariant.h"

#include <cmath>
#include <limits>

using TOVO::TovoVariant;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KRS::KrTheme3DRange theme;
    if (fuzz::CheckThemeRoundTrip(theme, fuzz::InputText(data, size)).IsEmpty())
        return 0;
    fuzz::Require(theme.GetCount() == 0 || theme.GetCount() == theme.GetValueCount() + 1,
                  "items and break values out of step");
    for (int i = 0; i < theme.GetValueCount() && i < 4; ++i) {
        const double dValue = theme.GetValueAt(i);
        // An infinite or NaN break value is within 1e-10 of nothing, itself included.
        fuzz::Require(!std::isfinite(dValue) || theme.Find(dValue) == i,
                      "a break value read is not found");
        theme.FindStyle(dValue);
        theme.FindStyle(dValue - 1.0);
    }
    theme.FindStyle(std::numeric_limits<double>::quiet_NaN());
    theme.FindStyle(TovoVariant("12.5"));
    theme.GetFieldName(TRUE);
    fuzz::ClearLog();
    return 0;
}
