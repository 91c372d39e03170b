// The ranges theme: the values of one numeric field expression are divided into consecutive
// ranges by break values, with one item (caption, style, visibility) per range. n break values
// hold n + 1 items. Ascending order b0 < b1 < ...: item 0 is X < b0, item i is b(i-1) <= X < b(i),
// item n is X >= b(n-1). Descending order b0 > b1 > ...: item 0 is X >= b0, item i is
// b(i) <= X < b(i-1), item n is X < b(n-1). The theme never sorts: break values keep the order in
// which they were added.
#pragma once

#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DStyle.h"
#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrStyle.h"

namespace KRS {

class KrMarkup;
namespace ThemeXml {
class MarkupWriter;
}

class THEME3DBASE_EXPORT KrTheme3DRange : public KrTheme3DStyle {
public:
    KrTheme3DRange();
    KrTheme3DRange(const KrTheme3DRange& other);
    ~KrTheme3DRange() override;
    KrTheme3DRange& operator=(const KrTheme3DRange& other);

    // The feature's value as a number (through the external-value table in mode 1), then the
    // style of its range. A value with no numeric reading logs "EEe007" and "EGi055": null.
    KrStyle* FindStyle(const TOVO::TovoVariant& value) const override;
    // "Theme3DRange" + alias suffix; with bAlias, the expression aliased to that name.
    TOVO::TovoMBString GetFieldName(unsigned char bAlias) const override;
    TOVO::TovoMBString GetExpression() const override;
    unsigned char CheckFieldType(int nFieldType) override;
    // Icon names are made relative to strPath; the items keep the relative names.
    TOVO::TovoMBString ToXML(int nVersion, TOVO::TovoMBString strPath) const override;
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion,
                          TOVO::TovoMBString strPath) override;
    // The two operations this class adds to the host's interface, in this slot order.
    virtual int GetValueCount() const;
    // Kept for the host's interface: always FALSE, changes nothing.
    virtual unsigned char FindStyle(KrRecordset* pRecordset, KrStyle& style) const;

    // The style of the visible item whose range holds the value, or null. No tolerance in
    // ascending order; in descending order a value less than 1e-10 below a break value still
    // belongs to the range that the break value bounds from below. NaN passes every break value
    // and gets the last range.
    KrStyle* FindStyle(double dValue) const;
    // The index of the break value equal to the value within 1e-10, or -1.
    int Find(double dValue) const;

    void SetExpression(const TOVO::TovoMBString& strExpression);

    // Break values and items. Add refuses a value within 1e-10 of one held and returns
    // GetCount(); InsertAt checks nothing and appends for an index past the end; RemoveAt returns
    // the number of break values removed (0 for a negative index). The index-based accessors
    // leave range checking to the arrays, which throw std::out_of_range.
    int Add(double dValue, const KrTheme3DItem& item);
    unsigned char InsertAt(int nIndex, double dValue, const KrTheme3DItem& item);
    int RemoveAt(int nIndex, int nCount);
    void RemoveAll();
    int GetCount() const { return m_arrItems.GetSize(); }
    unsigned char IsValidValueCount(int nCount) const { return nCount >= 1 ? TRUE : FALSE; }
    KrTheme3DItem* GetAt(int nIndex) const { return m_arrItems.GetAt(nIndex); }
    void SetAt(int nIndex, const KrTheme3DItem& item);
    double GetValueAt(int nIndex) const { return m_arrValues.GetAt(nIndex); }
    void SetValueAt(int nIndex, double dValue) { m_arrValues.SetAt(nIndex, dValue); }
    const KrStyle& GetStyleAt(int nIndex) const;
    void SetStyleAt(int nIndex, const KrStyle& style);
    TOVO::TovoMBString GetCaptionAt(int nIndex) const;
    void SetCaptionAt(int nIndex, TOVO::TovoMBString strCaption);
    unsigned char IsVisibleAt(int nIndex) const;
    void SetVisibleAt(int nIndex, unsigned char bVisible);
    KrClass3DType GetClassType() const { return static_cast<KrClass3DType>(m_nClassType); }

    // Empties the theme and classifies the values (expected in ascending order; the first is
    // taken as the minimum, the last as the maximum) into count classes by the method
    // (KrClass3DType; unknown codes mean equal distance). breaks serves the quantile method,
    // interval the custom interval. FALSE, changing nothing, for count < 2 or fewer than two
    // values. Every generated item is a default item; break values are ascending.
    unsigned char MakeDefault(int nMethod, int nCount, const TOVO::TovoArray<double>& arrValues,
                              TOVO::TovoArray<double> arrBreaks, double dInterval);

protected:
    // Copies the source into this theme (base part first); the source stays unchanged.
    void Swap(const KrTheme3DRange& other);
    // Deletes every item but leaves the pointers in the array.
    void Release();
    // Deletes and removes nCount items from nIndex; FALSE, changing nothing, when the span does
    // not lie inside the items.
    unsigned char RemoveTheme3DItems(int nIndex, int nCount);

    // Classification. None empties the theme first; each adds its break values through Add (or
    // InsertAt for the standard deviation), so values within 1e-10 of one held are dropped.
    // A count of more than 2^22 classes (whose items alone would take a gigabyte) gives a single
    // break value at min, as the custom interval does for more than 32767 classes.
    // The forms MakeDefault uses: count - 1 break values strictly between min and max.
    void ClassifyWithEqualDistanceNew(int nCount, double dMax, double dMin);
    // Equal classes in the square roots of the values. Bounds below zero take the signed root
    // -sqrt(-x), and a negative root r gives the break value -(r * r): the scale runs through
    // zero without a NaN, and for bounds that are not negative the results are those of sqrt.
    void ClassifyWithExtractionNew(int nCount, double dMax, double dMin);
    // Equal classes in log10 of the values; a min near zero starts the scale at 1. A bound below
    // zero counts as zero, so negative data starts the scale at 1 too, and when both bounds are at
    // or below zero the one break value is 1, as when both are near zero.
    void ClassifyWithLogarithmNew(int nCount, double dMax, double dMin);
    // min + interval, min + 2 * interval, ... up to the first that reaches max - interval. A zero
    // interval, a degenerate range or more than 32767 classes give one break value at min; a
    // negative interval steps away from max and gives no break value.
    void ClassifyWithCustomIntervalNew(double dInterval, double dMax, double dMin);
    // Adds each of the caller's break values in order; the counts are not used.
    void ClassifyWithQuantileNew(int nCount, int nValueCount, TOVO::TovoArray<double> arrBreaks);
    // Classes one standard deviation wide, the middle one centred on the mean, inside (min, max).
    void ClassifyWithStdev(const TOVO::TovoArray<double>& arrValues);
    // Older forms: min (and max for the custom interval) become break values themselves.
    void ClassifyWithEqualDistance(int nCount, double dMax, double dMin);
    void ClassifyWithExtraction(int nCount, double dMax, double dMin);
    void ClassifyWithLogarithm(int nCount, double dMax, double dMin);
    void ClassifyWithCustomInterval(double dInterval, double dMax, double dMin);
    // Mean and population standard deviation (divisor n); both NaN for no values.
    static void Stdev(const TOVO::TovoArray<double>& arrValues, double& dMean, double& dDeviation);

    TOVO::TovoMBString m_strExpression;
    TOVO::TovoArray<TOVO::TovoMBString> m_arrFieldExpressions;
    unsigned char m_bDescending;
    TOVO::TovoArray<double> m_arrValues;
    TOVO::TovoArray<KrTheme3DItem*> m_arrItems;
    int m_nClassType;

private:
    // How the break values of one classification or one document run so far: each value added
    // in a run that only moved one way lies beyond all earlier ones of the run, so only the last
    // one can be within the tolerance and Add's full scan is needed only when the run turns.
    struct BreakRun {
        int nFirst;     // break values held before the run; always scanned
        int nDirection; // 0 not yet known, 1 rising, -1 falling, 2 turned at least once
    };
    // The result of Add (value, item), found without rescanning the run.
    void AddInRun(double dValue, const KrTheme3DItem& item, BreakRun& run);
    // Appends the value and a copy of the item, two copies for the first value.
    void AppendBreak(double dValue, const KrTheme3DItem& item);
    KrTheme3DItem* ItemAt(int nIndex) const { return m_arrItems.GetAt(nIndex); }

    // The scales of the classification methods: a break value is f(i * step + base).
    enum ClassScale { ScaleLinear, ScaleRoot, ScalePowerOfTen };
    // Adds f(i * step + base) for i = nFirst .. nFirst + nClasses - 2 (nClasses - 1 values).
    void AddScaleBreaks(ClassScale nScale, int nClasses, int nFirst, double dStep, double dBase,
                        double dMin);
    // The equal-distance, root and logarithm layouts, over nClasses classes whose step divides
    // the scale's extent by nDivisor (no step when nDivisor < 1).
    void LayOutEqualDistance(int nClasses, int nDivisor, int nFirst, double dMax, double dMin);
    void LayOutRoot(int nClasses, int nDivisor, int nFirst, double dMax, double dMin);
    void LayOutLogarithm(int nClasses, int nDivisor, int nFirst, double dMax, double dMin);
    // Steps 1 to 3 of both custom-interval forms; FALSE when they settled the result.
    bool CheckCustomInterval(double& dInterval, double dMax, double dMin, BreakRun& run);
    TOVO::TovoMBString RangeText(int nItem) const;
    void WriteItem(ThemeXml::MarkupWriter& out, int nItem, const TOVO::TovoMBString& strPath) const;
    void ReadBreakValues(KrMarkup& markup);
    void ReadItemContents(KrMarkup& markup, const TOVO::TovoMBString& strPath);
};

} // namespace KRS
