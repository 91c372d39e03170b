// KrTheme3DGraph: the chart geometry of one feature and the layer's figures that scale it.
#include "KrTheme3DGraph.h"

#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"
#include "VyGeometry600/KrGeometryManager.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <utility>

using TOVO::TovoMBString;
using TOVO::TovoPoint3D;

namespace KRS {

namespace {

const double kTolerance = 1e-10;
const double kMinValue = 0.001;
const double kEquatorMetres = 40075016.68557849;
const double kDegToRad = 0.017453292519943295;
const double kEarthRadius = 6378137.0;
const double kGlobeSquareDegrees = 64800.0;
const double kSqrt2 = 1.4142135623730951;
const double kPieGap = 2.0;        // degrees taken off every slice when there are several
const double kSmallestSweep = 1.0; // a narrower slice is not drawn

bool IsZero(double d) {
    return d > -kTolerance && d < kTolerance;
}

// A value that is not greater than 0 (NaN included) gets no part.
bool IsDrawn(double dValue) {
    return dValue > 0.0;
}

// A new part of the kind asked for, or null when the manager has none of that kind.
template <typename T> std::unique_ptr<T> CreatePart(int nCode) {
    std::unique_ptr<KrGeometry> geometry(KrGeometryManager::CreateGeometry(nCode));
    auto* part = dynamic_cast<T*>(geometry.get());
    if (part)
        geometry.release();
    return std::unique_ptr<T>(part);
}

std::unique_ptr<KrGeoCompound> CreateChart() {
    return CreatePart<KrGeoCompound>(KrGeometry::GeoCompound);
}

// Hands the part to the chart, which owns it from then on (or deletes it here if refused).
void AddPart(KrGeoCompound& chart, std::unique_ptr<KrGeometry> part) {
    if (chart.AddCompound(part.get(), TRUE))
        part.release();
}

// Trailing zeros of the decimals, then a trailing point, removed: "12.50000" gives "12.5".
void TrimDecimals(TovoMBString& text) {
    text.TrimRight('0');
    text.TrimRight('.');
}

} // namespace

KrGeometry* KrTheme3DGraph::ConvertToGeometry(double* pValues, unsigned int nCount,
                                              const TovoPoint3D& position) {
    // Values beyond the items have no item to draw them with: they take no part at all.
    const unsigned int count =
        pValues ? std::min(nCount, static_cast<unsigned int>(GetCount())) : 0u;
    double sum = 0.0;
    for (unsigned int i = 0; i < count; ++i)
        sum += pValues[i];
    if (IsZero(sum))
        sum += kMinValue;
    // Twice the bar width in metres, as degrees of longitude at the feature's latitude.
    m_dBarSpacing = 2.0 * m_dBarWidth / (std::cos(position.y * kDegToRad) * kEquatorMetres) * 360.0;

    double dMax = m_dSqrtMaxSum;
    double dMin = m_dSqrtMinSum;
    double graduated = std::sqrt(sum);
    if (m_nGraduatedMode == Constant) {
        dMax = m_dMaxSum;
        dMin = m_dMinSum;
        graduated = sum;
    } else if (m_nGraduatedMode == Logarithm) {
        dMax = m_dLogMaxSum;
        dMin = m_dLogMinSum;
        graduated = std::log(sum);
    }
    switch (GetGraphType()) {
    case Bar:
        return BarToGeometry(pValues, count, position, dMax, dMin, sum, graduated, kMinValue);
    case Pie:
        return PieCylinderToGeometry(pValues, count, position, dMax, dMin, sum, graduated,
                                     kMinValue);
    case StackedBar:
        return StackedBarToGeometry(pValues, count, position, dMax, dMin, sum, graduated,
                                    kMinValue);
    default:
        return nullptr;
    }
}

double KrTheme3DGraph::ChartSize(double dMax, double dMin, double dGraduated) const {
    double range = dMax - dMin;
    if (IsZero(range))
        range = IsZero(dMax) ? 1.0 : dMax;
    return GetMaxSumSize() - (GetMaxSumSize() - GetMinSumSize()) * (dMax - dGraduated) / range;
}

KrGeometry* KrTheme3DGraph::BarToGeometry(double* pValues, unsigned int nCount,
                                          const TovoPoint3D& position, const double& dMax,
                                          const double& dMin, const double& dSum,
                                          const double& dGraduated, const double& dMinValue) {
    std::unique_ptr<KrGeoCompound> chart = CreateChart();
    if (!chart)
        return nullptr;
    const double size = ChartSize(dMax, dMin, dGraduated);
    const double half = nCount > 0 ? (nCount - 1) * m_dBarSpacing * 0.5 : 0.0;
    for (unsigned int i = 0; i < nCount; ++i) {
        if (!IsDrawn(pValues[i])) {
            pValues[i] = dMinValue;
            continue;
        }
        const double height = size * pValues[i] / dSum;
        if (IsZero(height))
            return nullptr; // the chart is given up; what was built goes with it
        const double x = position.x + i * m_dBarSpacing;
        if (auto bar = CreatePart<KrGeoCylinder>(KrGeometry::GeoCylinder)) {
            bar->Make(TovoPoint3D(x, position.y, position.z), m_dBarWidth * 0.5, m_dBarWidth * 0.5,
                      height);
            const KrStyle style(m_Graph.m_arrItems[static_cast<int>(i)].m_Style);
            bar->SetStyle(&style);
            bar->Offset(-half, 0.0);
            AddPart(*chart, std::move(bar));
        }
        if (m_bShowItemText)
            AddItemText(chart.get(), pValues[i], static_cast<int>(i), dSum,
                        TovoPoint3D(x - half, position.y, position.z + height));
    }
    return chart.release();
}

KrGeometry* KrTheme3DGraph::StackedBarToGeometry(double* pValues, unsigned int nCount,
                                                 const TovoPoint3D& position, const double& dMax,
                                                 const double& dMin, const double& dSum,
                                                 const double& dGraduated,
                                                 const double& dMinValue) {
    std::unique_ptr<KrGeoCompound> chart = CreateChart();
    if (!chart)
        return nullptr;
    const double size = ChartSize(dMax, dMin, dGraduated);
    double base = 0.0;
    for (unsigned int i = 0; i < nCount; ++i) {
        if (!IsDrawn(pValues[i])) {
            pValues[i] = dMinValue;
            continue;
        }
        const double height = size * pValues[i] / dSum;
        if (IsZero(height))
            return nullptr;
        if (auto segment = CreatePart<KrGeoCylinder>(KrGeometry::GeoCylinder)) {
            segment->Make(TovoPoint3D(position.x, position.y, position.z + base), m_dBarWidth * 0.5,
                          m_dBarWidth * 0.5, height);
            KrStyle style(m_Graph.m_arrItems[static_cast<int>(i)].m_Style);
            // Decided by the item index, not by which segment is drawn lowest.
            if (i != 0)
                style.SetAltitudeMode(AltitudeRelativeToGround);
            segment->SetStyle(&style);
            AddPart(*chart, std::move(segment));
        }
        base += height;
        if (m_bShowItemText)
            AddItemText(
                chart.get(), pValues[i], static_cast<int>(i), dSum,
                TovoPoint3D(position.x, position.y, position.z + base - height + height * 0.5));
    }
    return chart.release();
}

KrGeometry* KrTheme3DGraph::PieCylinderToGeometry(double* pValues, unsigned int nCount,
                                                  const TovoPoint3D& position, const double& dMax,
                                                  const double& dMin, const double& dSum,
                                                  const double& dGraduated,
                                                  const double& dMinValue) {
    std::unique_ptr<KrGeoCompound> chart = CreateChart();
    if (!chart)
        return nullptr;
    const double radius = ChartSize(dMax, dMin, dGraduated) * 0.25;
    double before = 0.0; // the values before i as they stand in the array now
    for (unsigned int i = 0; i < nCount; before += pValues[i], ++i) {
        if (!IsDrawn(pValues[i])) {
            pValues[i] = dMinValue;
            continue;
        }
        double sweep = pValues[i] / dSum * 360.0;
        if (nCount > 1)
            sweep -= kPieGap;
        if (sweep < kSmallestSweep)
            continue;
        const double start = m_dStartAngle + 360.0 * before / dSum;
        const double end = start + sweep;
        if (auto slice = CreatePart<KrGeoPieCylinder>(KrGeometry::GeoPieCylinder)) {
            slice->Make(position, radius, radius, sweep, start, end, radius * 0.5);
            const KrStyle style(m_Graph.m_arrItems[static_cast<int>(i)].m_Style);
            slice->SetStyle(&style);
            AddPart(*chart, std::move(slice));
        }
        if (m_bShowItemText) {
            const double degrees = radius * 360.0 / kEquatorMetres;
            const double middle = (start + sweep * 0.5) * kDegToRad;
            AddItemText(chart.get(), pValues[i], static_cast<int>(i), dSum,
                        TovoPoint3D(position.x + degrees * std::cos(middle),
                                    position.y + degrees * std::sin(middle),
                                    position.z + degrees * 0.5));
        }
    }
    return chart.release();
}

void KrTheme3DGraph::AddItemText(KrGeoCompound* pChart, double dValue, int nIndex, double dSum,
                                 const TovoPoint3D& point) {
    TovoMBString text = GetItemString(dValue, nIndex, dSum);
    if (!text.IsEmpty() && text[text.GetLength() - 1] == '.')
        text.TrimRight('.');
    KrSubText3D subText;
    subText.SetText(text);
    std::unique_ptr<KrGeoText3D> pText(new (std::nothrow) KrGeoText3D);
    if (!pText)
        return;
    pText->Make(m_ItemTextStyle, &point, &subText, 1);
    AddPart(*pChart, std::move(pText));
}

TovoMBString KrTheme3DGraph::GetItemString(const double& dValue, const int& nIndex,
                                           const double& dSum) {
    const TovoMBString caption = (nIndex >= 0 && nIndex < GetCount())
                                     ? m_Graph.m_arrItems[nIndex].m_strCaption
                                     : TovoMBString();
    TovoMBString text;
    switch (m_nItemTextFormat) {
    case Value:
        text.Format("%.5f", dValue);
        TrimDecimals(text);
        return text;
    case Caption:
        return caption;
    case CaptionPercent:
        if (IsZero(dSum))
            return text;
        text.Format("%s %.1f", caption, dValue / dSum * 100.0);
        return text + "%";
    case CaptionValue:
        text.Format("%s %.5f", caption, dValue);
        TrimDecimals(text);
        return text;
    default:
        if (IsZero(dSum))
            return text;
        text.Format("%.1f", dValue / dSum * 100.0);
        return text + "%";
    }
}

unsigned char KrTheme3DGraph::CalExtremumvValue(const double& dMinSum, const double& dMaxSum,
                                                const TOVO::TovoRect2D& bounds, const int& nCount,
                                                unsigned char bAbsolute) {
    m_dMinSum = dMinSum;
    m_dMaxSum = dMaxSum;
    if (nCount > 0) {
        for (const Kr3DGraphItem& item : m_Graph.m_arrItems) {
            if (item.m_nItemType != Kr3DGraphItem::ArrayItem || item.m_arrValues.IsEmpty())
                continue;
            auto measure = [bAbsolute](double d) { return bAbsolute ? std::fabs(d) : d; };
            double lowest = measure(item.m_arrValues[0]);
            double highest = lowest;
            for (double value : item.m_arrValues) {
                lowest = std::min(lowest, measure(value));
                highest = std::max(highest, measure(value));
            }
            m_dMinSum += lowest;
            m_dMaxSum += highest;
        }
    }
    if (m_dMinSum < 0.0)
        m_dMinSum = 0.0;
    if (m_dMaxSum < 0.0)
        m_dMaxSum = 0.0;
    m_dSqrtMaxSum = std::sqrt(m_dMaxSum);
    m_dSqrtMinSum = std::sqrt(m_dMinSum);
    m_dLogMaxSum = std::log(m_dMaxSum);
    m_dLogMinSum = std::log(m_dMinSum);

    // The square root of the share of the globe that the layer covers.
    const double share = std::sqrt(bounds.Width() * bounds.Height() / kGlobeSquareDegrees);
    if (IsZero(m_dBarWidth))
        m_dBarWidth = share * kEarthRadius / 50.0;
    if (IsZero(m_szMaxSize.cy) && IsZero(m_szMinSize.cy)) {
        const double maxSize = share * kEarthRadius / 10.0;
        const double minSize =
            m_dMaxSum == 0.0 ? maxSize : maxSize * std::sqrt(m_dMinSum / m_dMaxSum);
        m_szMaxSize = TOVO::TovoSize2D(maxSize * kSqrt2, maxSize);
        m_szMinSize = TOVO::TovoSize2D(minSize * kSqrt2, minSize);
    }
    SetModifiedFlag(TRUE);
    return TRUE;
}

void KrTheme3DGraph::GetThemeGraphValues(double& dValue, int nIndex, int nKey) {
    dValue = 0.0;
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    const TOVO::TovoArray<double>& values = m_Graph.m_arrItems[nIndex].m_arrValues;
    for (int pos = 0; pos < m_arrJoinArrayField.GetSize(); ++pos) {
        if (m_arrJoinArrayField[pos] == nKey) {
            if (pos < values.GetSize())
                dValue = values[pos];
            return;
        }
    }
}

int KrTheme3DGraph::GetThemeGraphItemType(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return 0;
    return m_Graph.m_arrItems[nIndex].m_nItemType;
}

} // namespace KRS
