#include "VyGeometry600/KrGeometry3D.h"

namespace KRS {

KrGeometry3D::KrGeometry3D() : m_dOffsetX(0.0), m_dOffsetY(0.0) {}

KrGeometry3D::~KrGeometry3D() = default;

void KrGeometry3D::Offset(double dx, double dy) {
    m_dOffsetX += dx;
    m_dOffsetY += dy;
}

} // namespace KRS
