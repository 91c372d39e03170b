// Classification of a ranges theme. Break values are computed in the order of operations of the
// formulas, one operation per statement, so that no compiler contracts a multiply and an add into
// one rounding and the values stay those of the formulas bit for bit.
#include "KrTheme3DRange.h"

#include <cmath>
#include <limits>
#include <utility>

using TOVO::TovoArray;

namespace KRS {

namespace {

// The largest ratio of range to interval that the custom interval lays out.
const int kMaxIntervalClasses = 32767;
// The largest class count that the count-driven methods lay out. Each class costs an item of
// about 200 bytes, so this is already about a gigabyte; a larger count could not be allocated
// reliably and gets what the custom interval gives for too many classes.
const int kMaxCountClasses = 1 << 22;

inline bool IsNearZero(double d) {
    return -1e-10 < d && d < 1e-10;
}

// The square root extended to negative numbers as an odd function, and its inverse. For numbers
// that are not negative they are sqrt and r * r (a root of -0 squares to +0, as r * r does).
inline double SignedRoot(double d) {
    return d < 0.0 ? -std::sqrt(-d) : std::sqrt(d);
}
inline double SignedSquare(double r) {
    const double dSquare = r * r;
    return r < 0.0 ? -dSquare : dSquare;
}

// The logarithmic scale has nothing below zero: a bound below zero counts as zero.
inline double LogBound(double d) {
    return d < 0.0 ? 0.0 : d;
}

} // namespace

unsigned char KrTheme3DRange::MakeDefault(int nMethod, int nCount,
                                          const TovoArray<double>& arrValues,
                                          TovoArray<double> arrBreaks, double dInterval) {
    const int n = arrValues.GetSize();
    if (nCount < 2 || n < 2)
        return FALSE;
    RemoveAll();
    const double dMin = arrValues[0];
    const double dMax = arrValues[n - 1];
    switch (nMethod) {
    case ClassExtraction:
        m_nClassType = ClassExtraction;
        ClassifyWithExtractionNew(nCount, dMax, dMin);
        break;
    case ClassStdev:
        m_nClassType = ClassStdev;
        ClassifyWithStdev(arrValues);
        break;
    case ClassLogarithm:
        m_nClassType = ClassLogarithm;
        ClassifyWithLogarithmNew(nCount, dMax, dMin);
        break;
    case ClassQuantile:
        m_nClassType = ClassQuantile;
        ClassifyWithQuantileNew(nCount, n, std::move(arrBreaks));
        break;
    case ClassCustomInterval:
        m_nClassType = ClassCustomInterval;
        ClassifyWithCustomIntervalNew(dInterval, dMax, dMin);
        break;
    default:
        m_nClassType = ClassEqualDistance;
        ClassifyWithEqualDistanceNew(nCount, dMax, dMin);
        break;
    }
    return TRUE;
}

// ---- equal distance, square root, logarithm ----

void KrTheme3DRange::AddScaleBreaks(ClassScale nScale, int nClasses, int nFirst, double dStep,
                                    double dBase, double dMin) {
    BreakRun run{GetValueCount(), 0};
    const KrTheme3DItem item;
    if (nClasses > kMaxCountClasses) {
        AddInRun(dMin, item, run);
        return;
    }
    for (int k = 0; k < nClasses - 1; ++k) {
        const double dScaled = (nFirst + k) * dStep;
        const double dPosition = dScaled + dBase;
        double dValue = dPosition;
        if (nScale == ScaleRoot)
            dValue = SignedSquare(dPosition);
        else if (nScale == ScalePowerOfTen)
            dValue = std::pow(10.0, dPosition);
        AddInRun(dValue, item, run);
    }
}

void KrTheme3DRange::LayOutEqualDistance(int nClasses, int nDivisor, int nFirst, double dMax,
                                         double dMin) {
    double dStep = 0.0;
    if (nDivisor >= 1) {
        const double dExtent = dMax - dMin;
        dStep = dExtent / nDivisor;
    }
    AddScaleBreaks(ScaleLinear, nClasses, nFirst, dStep, dMin, dMin);
}

void KrTheme3DRange::LayOutRoot(int nClasses, int nDivisor, int nFirst, double dMax, double dMin) {
    const double dRootMin = SignedRoot(dMin);
    double dStep = 0.0;
    if (nDivisor >= 1) {
        const double dExtent = SignedRoot(dMax) - dRootMin;
        dStep = dExtent / nDivisor;
    }
    AddScaleBreaks(ScaleRoot, nClasses, nFirst, dStep, dRootMin, dMin);
}

void KrTheme3DRange::LayOutLogarithm(int nClasses, int nDivisor, int nFirst, double dMax,
                                     double dMin) {
    const double dLogMax = LogBound(dMax);
    const double dLogMin = LogBound(dMin);
    // A min near zero starts the scale at 10 to the power 0: the exponent is i * step alone.
    // i * step + 0 is i * step (or +0 for -0, which gives the same power).
    const bool bFromOne = IsNearZero(dLogMin);
    double dStep = 0.0;
    if (nDivisor >= 1) {
        if (bFromOne) {
            if (!IsNearZero(dLogMax))
                dStep = std::log10(dLogMax) / nDivisor;
        } else {
            const double dExtent = std::log10(dLogMax) - std::log10(dLogMin);
            dStep = dExtent / nDivisor;
        }
    }
    const double dBase = bFromOne ? 0.0 : std::log10(dLogMin);
    AddScaleBreaks(ScalePowerOfTen, nClasses, nFirst, dStep, dBase, dMin);
}

void KrTheme3DRange::ClassifyWithEqualDistanceNew(int nCount, double dMax, double dMin) {
    LayOutEqualDistance(nCount, nCount >= 2 ? nCount : 0, 1, dMax, dMin);
}

void KrTheme3DRange::ClassifyWithExtractionNew(int nCount, double dMax, double dMin) {
    LayOutRoot(nCount, nCount >= 2 ? nCount : 0, 1, dMax, dMin);
}

void KrTheme3DRange::ClassifyWithLogarithmNew(int nCount, double dMax, double dMin) {
    LayOutLogarithm(nCount, nCount >= 2 ? nCount : 0, 1, dMax, dMin);
}

// The older forms divide the data range into count - 2 classes and put min itself first.
void KrTheme3DRange::ClassifyWithEqualDistance(int nCount, double dMax, double dMin) {
    LayOutEqualDistance(nCount, nCount > 2 ? nCount - 2 : 0, 0, dMax, dMin);
}

void KrTheme3DRange::ClassifyWithExtraction(int nCount, double dMax, double dMin) {
    LayOutRoot(nCount, nCount > 2 ? nCount - 2 : 0, 0, dMax, dMin);
}

void KrTheme3DRange::ClassifyWithLogarithm(int nCount, double dMax, double dMin) {
    LayOutLogarithm(nCount, nCount > 2 ? nCount - 2 : 0, 0, dMax, dMin);
}

// ---- custom interval ----

bool KrTheme3DRange::CheckCustomInterval(double& dInterval, double dMax, double dMin,
                                         BreakRun& run) {
    const double dRange = dMax - dMin;
    if (IsNearZero(dRange))
        dInterval = 0.0;
    if (IsNearZero(dInterval) || dRange / dInterval > kMaxIntervalClasses) {
        AddInRun(dMin, KrTheme3DItem(), run);
        return false;
    }
    // A negative interval steps away from max and would never reach it.
    return !(dInterval < 0.0);
}

void KrTheme3DRange::ClassifyWithCustomIntervalNew(double dInterval, double dMax, double dMin) {
    BreakRun run{GetValueCount(), 0};
    if (!CheckCustomInterval(dInterval, dMax, dMin, run))
        return;
    const double dLimit = dMax - dInterval;
    if (!(dLimit > dMin))
        return;
    const KrTheme3DItem item;
    // At most about 32767 steps: the ratio of range to interval was checked.
    for (int k = 1;; ++k) {
        const double dScaled = dInterval * k;
        const double dValue = dScaled + dMin;
        AddInRun(dValue, item, run);
        if (!(dLimit > dValue))
            break;
    }
}

void KrTheme3DRange::ClassifyWithCustomInterval(double dInterval, double dMax, double dMin) {
    BreakRun run{GetValueCount(), 0};
    if (!CheckCustomInterval(dInterval, dMax, dMin, run) || !(dMax > dMin))
        return;
    const KrTheme3DItem item;
    for (int k = 0;; ++k) {
        const double dScaled = dInterval * k;
        const double dValue = dScaled + dMin;
        AddInRun(dValue, item, run);
        if (!(dMax > dValue))
            break;
    }
}

// ---- quantile ----

void KrTheme3DRange::ClassifyWithQuantileNew(int, int, TovoArray<double> arrBreaks) {
    BreakRun run{GetValueCount(), 0};
    const KrTheme3DItem item;
    for (double dBreak : arrBreaks)
        AddInRun(dBreak, item, run);
}

// ---- standard deviation ----

void KrTheme3DRange::Stdev(const TovoArray<double>& arrValues, double& dMean, double& dDeviation) {
    const int n = arrValues.GetSize();
    if (n == 0) {
        dMean = dDeviation = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    const double* pValues = arrValues.GetData();
    double dSum = 0.0;
    for (int i = 0; i < n; ++i)
        dSum += pValues[i];
    dMean = dSum / n;
    double dSquares = 0.0;
    for (int i = 0; i < n; ++i) {
        const double dDiff = pValues[i] - dMean;
        const double dSquare = dDiff * dDiff;
        dSquares += dSquare;
    }
    const double dVariance = dSquares / n;
    dDeviation = std::sqrt(dVariance);
}

// The number of classes is bounded by the data: no value lies more than sqrt(n) deviations from
// the mean, so each part takes at most about sqrt(n) steps.
void KrTheme3DRange::ClassifyWithStdev(const TovoArray<double>& arrValues) {
    double dMean = 0.0;
    double dDeviation = 0.0;
    Stdev(arrValues, dMean, dDeviation);
    // No values: the mean is NaN, so neither part runs whatever min and max are, but the first
    // and last break values still go as the steps say.
    const int n = arrValues.GetSize();
    const double dMin = n > 0 ? arrValues[0] : dMean;
    const double dMax = n > 0 ? arrValues[n - 1] : dMean;
    const double dHalf = 0.5 * dDeviation;
    const double dLow = dMean - dHalf;
    const KrTheme3DItem item;
    if (dMin < dLow) {
        double dCurrent = dLow;
        int k = 0;
        do {
            const double dScaled = k++ * dDeviation;
            dCurrent = dLow - dScaled;
            if (dCurrent - dMin < 1e-10)
                dCurrent = dMin;
            InsertAt(0, dCurrent, item);
        } while (dMin < dCurrent);
    }
    if (GetValueCount() > 0)
        RemoveAt(0, 1); // min itself, inserted last
    if (dMax > dLow) {
        const double dHigh = dMean + dHalf;
        double dCurrent = dHigh;
        int k = 0;
        do {
            const double dScaled = k++ * dDeviation;
            dCurrent = dScaled + dHigh;
            if (dMax - dCurrent < 1e-10)
                dCurrent = dMax;
            InsertAt(GetValueCount(), dCurrent, item);
        } while (dMax > dCurrent);
    }
    if (GetValueCount() > 0)
        RemoveAt(GetValueCount() - 1, 1); // max itself, inserted last
}

} // namespace KRS
