// Number conversions of the toolkit; never dependent on the process locale.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/VyToolkit600_export.h"

namespace KRS {

// The leading number of the text as the C library reads it; 0 when there is none.
VYTOOLKIT600_EXPORT double kratof(const char* sz);
VYTOOLKIT600_EXPORT double kratof(const TOVO::TovoMBString& s);
// The leading decimal integer, saturated to the int range; 0 when there is none.
VYTOOLKIT600_EXPORT int kratoi(const char* sz);
VYTOOLKIT600_EXPORT int kratoi(const TOVO::TovoMBString& s);
// Writes the decimal form of the number into the text.
VYTOOLKIT600_EXPORT void NumberToString(int nNumber, TOVO::TovoMBString& strOut);

} // namespace KRS
