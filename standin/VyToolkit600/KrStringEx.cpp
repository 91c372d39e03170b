#include "VyToolkit600/KrStringEx.h"

#include <cstring>

namespace KRS {

namespace {

struct ResString {
    const char* szCode;
    const char* szText;
};

// The message texts of the codes the themes log; each takes the class name as its one argument.
const ResString kResStrings[] = {
    {"EGi067", "%s: a text value has no entry in the translation table."},
    {"EGi069", "%s: a floating-point value has no entry in the translation table."},
    {"EEe007", "%s: the value cannot be read as a number."},
    {"EGi055", "%s: no range could be found for the value."},
    {"EGi063", "%s: the number format was rejected by the formatter."},
    {"EGg040", "%s: the XML text could not be read."},
    {"EGg041", "%s: the XML text could not be written."},
};

} // namespace

unsigned char KrStringEx::LoadResString(const char* szCode) {
    Empty();
    if (!szCode)
        return FALSE;
    for (const ResString& r : kResStrings) {
        if (std::strcmp(r.szCode, szCode) == 0) {
            TovoMBString::operator=(r.szText);
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace KRS
