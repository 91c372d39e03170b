// One text of a 3D text geometry.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyGeometry600/VyGeometry600_export.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrSubText3D {
public:
    KrSubText3D() = default;
    explicit KrSubText3D(const TOVO::TovoMBString& strText) : m_strText(strText) {}

    void SetText(const TOVO::TovoMBString& strText) { m_strText = strText; }
    const TOVO::TovoMBString& GetText() const { return m_strText; }

private:
    TOVO::TovoMBString m_strText;
};

} // namespace KRS
