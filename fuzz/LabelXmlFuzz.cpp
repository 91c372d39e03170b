// KrTheme3DLabel::FromXML on any bytes: no crash, no leak, and the round trip of FuzzSupport.h.
// The number format comes back from the document unchecked, so the theme that was read then
// formats values of every type with it.
#include "FuzzSupport.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "VyBase600/TovoVariant.h"

using TOVO::TovoMBString;
using TOVO::TovoVariant;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KRS::KrTheme3DLabel theme;
    if (fuzz::CheckThemeRoundTrip(theme, fuzz::InputText(data, size)).IsEmpty())
        return 0;
    const TovoVariant values[] = {TovoVariant(),
                                  TovoVariant(std::uint8_t{200}),
                                  TovoVariant(std::int16_t{-300}),
                                  TovoVariant(std::int32_t{123456}),
                                  TovoVariant(std::int64_t{-9000000000LL}),
                                  TovoVariant(1.5f),
                                  TovoVariant(-1234.5678),
                                  TovoVariant(1e300),
                                  TovoVariant("text"),
                                  TovoVariant::FromDayNumber(45000.75)};
    for (const TovoVariant& value : values)
        theme.GetStringFromVariant(value);
    theme.GetFieldName(TRUE);
    fuzz::ClearLog();
    return 0;
}
