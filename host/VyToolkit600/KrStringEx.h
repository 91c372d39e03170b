// A byte string that can load the text of a message resource by its code.
#pragma once

#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/VyToolkit600_export.h"

namespace KRS {

class VYTOOLKIT600_EXPORT KrStringEx : public TOVO::TovoMBString {
public:
    KrStringEx() = default;
    KrStringEx(const TOVO::TovoMBString& s) : TOVO::TovoMBString(s) {}

    // Loads the message text of the code (each holds one %s for a class name).
    // FALSE and an empty text for an unknown code.
    unsigned char LoadResString(const char* szCode);
};

} // namespace KRS
