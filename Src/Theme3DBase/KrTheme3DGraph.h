// The graph (chart) theme: for every feature a 3D chart built from several numeric values of that
// feature: a row of bars, a stack of bar segments or a pie cylinder, sized between a minimum and a
// maximum size by the feature's sum of values, with optional item texts.
//
// Items take their values from a field of the feature (FieldItem) or from a list supplied in
// advance (ArrayItem): position j of every array item's list belongs to join key j. Operations on
// array items and on join keys never shift the other side; keeping them aligned is the caller's
// task. Only the operations listed at SetModifiedFlag set the modified flag.
#pragma once

#include "Kr3DGraph.h"
#include "KrTheme3DSymbol.h"
#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoGeometryTypes.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

namespace KRS {

class KrGeoCompound;
class KrMarkup;
namespace ThemeXml {
class CountBudget;
}

class THEME3DBASE_EXPORT KrTheme3DGraph : public KrTheme3DSymbol {
public:
    // Graph types; any other code makes no geometry and is written as "Pie".
    enum KrGraph3DType { Bar = 4, Pie = 6, StackedBar = 12 };
    // How chart sizes follow chart sums; any code but 0 and 2 works as SquareRoot.
    enum KrGraduatedMode { Constant = 0, SquareRoot = 1, Logarithm = 2 };
    // What an item text shows; any code outside 1..5 works as Percent.
    enum KrGraphTextFormat {
        Percent = 1,
        Value = 2,
        Caption = 3,
        CaptionPercent = 4,
        CaptionValue = 5
    };

    KrTheme3DGraph();
    KrTheme3DGraph(const KrTheme3DGraph& other);
    KrTheme3DGraph& operator=(const KrTheme3DGraph& other);
    ~KrTheme3DGraph() override;

    // Chart items. The index-based ones need 0 <= nIndex < GetCount() (std::out_of_range outside).
    int GetCount() const { return m_Graph.GetCount(); }
    void SetCount(int nCount);
    int Add(const TOVO::TovoMBString& strExpression);
    // A copy inserted before nIndex; a position past the end, or negative, appends.
    void Insert(int nIndex, const Kr3DGraphItem& item);
    // 1 when an item was removed, else 0.
    int RemoveAt(int nIndex);
    void RemoveAll();
    const Kr3DGraphItem& GetItem(int nIndex) const;
    TOVO::TovoMBString GetExpressionAt(int nIndex) const;
    void SetExpressionAt(int nIndex, const TOVO::TovoMBString& strExpression);
    void SetCaptionAt(int nIndex, const TOVO::TovoMBString& strCaption);
    // Makes the item an array item with that caption and a copy of the values (also when empty).
    void SetCaptionAt(int nIndex, const TOVO::TovoMBString& strCaption,
                      const TOVO::TovoArray<double>& arrValues);
    // Sets the modified flag too: a caller that asks for the style is taken to change it.
    const KrStyle& GetStyleAt(int nIndex);
    void SetStyleAt(int nIndex, const KrStyle& style);
    // The first item whose expression equals the text ignoring case; -1 if none.
    int IndexOf(const TOVO::TovoMBString& strExpression) const;
    // Swaps two items through Kr3DGraphItem::operator=, so when only one of them has values both
    // end up holding them. FALSE when either index is outside the items.
    unsigned char ExchangeItem(int nIndex1, int nIndex2);

    // Array items (known by caption, compared case-sensitively) and join keys.
    int AddArrayField(TOVO::TovoMBString strCaption, const TOVO::TovoArray<double>& arrValues);
    // When an item has the caption, nIndex is a value position in its list; otherwise a new array
    // item is inserted at item position nIndex. Past the end or negative appends.
    void InsertArrayFieldAt(TOVO::TovoMBString strCaption, int nIndex,
                            const TOVO::TovoArray<double>& arrValues);
    // A null pValues or a count of 0 or less inserts no values.
    void InsertArrayFieldAt(TOVO::TovoMBString strCaption, int nIndex, const double* pValues,
                            int nCount);
    unsigned char RemoveArrayField(TOVO::TovoMBString strCaption);
    void RemoveArrayFieldAt(TOVO::TovoMBString strCaption, int nIndex, int nCount);
    // The keys themselves; changes made through the reference set no flag.
    TOVO::TovoArray<int>& GetJoinArrayField() { return m_arrJoinArrayField; }
    void SetJoinArrayField(TOVO::TovoArray<int> arrKeys);
    void InsertJoinArrayFieldAt(int nIndex, const TOVO::TovoArray<int>& arrKeys);
    // A null pKeys or a count of 0 or less inserts nothing (the flag is still set).
    void InsertJoinArrayFieldAt(int nIndex, const int* pKeys, int nCount);
    int RemoveJoinArrayFieldAt(int nIndex, int nCount);

    // Chart-wide settings.
    void SetGraphType(int nType);
    int GetGraphType() const { return m_Graph.GetGraphType(); }
    void SetBarWidth(double dWidth) { m_dBarWidth = dWidth; }
    double GetBarWidth() const { return m_dBarWidth; }
    void SetStartAngle(double dAngle) { m_dStartAngle = dAngle; }
    double GetStartAngle() const { return m_dStartAngle; }
    // Keeps the low 8 bits: 258 reads back as 2.
    void SetGraduatedMode(int nMode) {
        m_nGraduatedMode = static_cast<unsigned char>(nMode & 0xFF);
    }
    int GetGraduatedMode() const { return m_nGraduatedMode; }
    void SetShowItemText(unsigned char bShow) { m_bShowItemText = bShow; }
    unsigned char IsShowItemText() const { return m_bShowItemText; }
    void SetItemTextStyle(const KrTextStyle& style) { m_ItemTextStyle = style; }
    const KrTextStyle& GetItemTextStyle() const { return m_ItemTextStyle; }
    void SetItemTextFormat(int nFormat) { m_nItemTextFormat = nFormat; }
    int GetItemTextFormat() const { return m_nItemTextFormat; }
    // The size is cy; cx becomes cy times the square root of 2. Sets the flag.
    void SetMinSumSize(double dSize);
    double GetMinSumSize() const { return m_szMinSize.cy; }
    void SetMaxSumSize(double dSize);
    double GetMaxSumSize() const { return m_szMaxSize.cy; }
    // Set by SetGraphType, SetStyleAt, GetStyleAt, Add, RemoveAll, SetMinSumSize, SetMaxSumSize,
    // AddArrayField, RemoveArrayField and RemoveArrayFieldAt when they find their item,
    // InsertArrayFieldAt when the caption exists, SetJoinArrayField, both InsertJoinArrayFieldAt,
    // RemoveJoinArrayFieldAt, CalExtremumvValue and FromXML. Only this setter clears it.
    void SetModifiedFlag(unsigned char bModified) { m_bModified = bModified; }
    unsigned char IsModified() const { return m_bModified; }

    // Read-only views of the computed figures, for hosts and tests.
    const TOVO::TovoSize2D& GetMinSize() const { return m_szMinSize; }
    const TOVO::TovoSize2D& GetMaxSize() const { return m_szMaxSize; }
    double GetMinSum() const { return m_dMinSum; }
    double GetMaxSum() const { return m_dMaxSum; }
    double GetSqrtMinSum() const { return m_dSqrtMinSum; }
    double GetSqrtMaxSum() const { return m_dSqrtMaxSum; }
    double GetLogMinSum() const { return m_dLogMinSum; }
    double GetLogMaxSum() const { return m_dLogMaxSum; }
    // Distance between neighbouring bars in degrees of longitude, as the last chart made it.
    double GetBarSpacing() const { return m_dBarSpacing; }

    // Query definition. Slot 2: "ThemeGraph" followed by the alias suffix.
    TOVO::TovoMBString GetFieldName(unsigned char bAlias) const override;
    // Appends "<expression> as <alias><i+1>" for every item with an expression; TRUE when
    // something was appended.
    unsigned char GetFieldName(TOVO::TovoArray<TOVO::TovoMBString>& arrNames) const;
    // bQueryFields not 0: the form above. 0: the alias of every item, array items included; TRUE.
    unsigned char GetThemeQueryDef(TOVO::TovoArray<TOVO::TovoMBString>& arrNames,
                                   unsigned char bQueryFields) override;

    // XML: the base document with the graph elements appended inside "dkm:Theme3D". A version
    // other than 20090106 (0 stands for it) writes the base document alone. The path is unused.
    TOVO::TovoMBString ToXML(int nVersion, TOVO::TovoMBString strPath) const override;
    // Reads a document written by ToXML (of any theme type); TRUE once the base part was read.
    // Counts are bounded by the document: at most as many join keys as it has bytes, and the
    // chart items read from it hold, together, at most as many values as it has bytes. An item
    // that would pass that bound (only possible when many items inherit a long value list from
    // the working item) is appended with an empty value list.
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion,
                          TOVO::TovoMBString strPath) override;

    // Geometry. The chart of one feature, owned by the caller, or null (see the builders).
    // Values beyond the chart items are ignored: they count neither in the sum nor in the row,
    // and they are not overwritten. A null pValues counts as no values. Non-positive values
    // among the first GetCount() are overwritten in the caller's array with 0.001.
    KrGeometry* ConvertToGeometry(double* pValues, unsigned int nCount,
                                  const TOVO::TovoPoint3D& position) override;
    // Sets the six sums, and the bar width and the sizes when they are unset; always TRUE.
    // When the maximum sum is 0 the ratio of the sums is undefined; the minimum size is then
    // taken equal to the maximum size (every chart has the same sum, so the same size).
    unsigned char CalExtremumvValue(const double& dMinSum, const double& dMaxSum,
                                    const TOVO::TovoRect2D& bounds, const int& nCount,
                                    unsigned char bAbsolute);
    // The value of an array item for a join key; 0 for a key that is not a join key, a position
    // beyond the item's values, or an index outside the items.
    void GetThemeGraphValues(double& dValue, int nIndex, int nKey) override;
    // The item's type code; 0 for an index outside the items.
    int GetThemeGraphItemType(int nIndex) const override;
    // Nothing to compute.
    void CalculateGraphProperty(double dValue) override;

protected:
    // Copies the source into this theme (base part first); the source is unchanged.
    void Swap(const KrTheme3DGraph& other);

    // The chart builders: values and their count (at most GetCount()), the anchor point, the
    // maximum and minimum extremes of the graduated mode, the chart sum, the graduated sum and
    // the minimum value.
    KrGeometry* BarToGeometry(double* pValues, unsigned int nCount,
                              const TOVO::TovoPoint3D& position, const double& dMax,
                              const double& dMin, const double& dSum, const double& dGraduated,
                              const double& dMinValue);
    KrGeometry* StackedBarToGeometry(double* pValues, unsigned int nCount,
                                     const TOVO::TovoPoint3D& position, const double& dMax,
                                     const double& dMin, const double& dSum,
                                     const double& dGraduated, const double& dMinValue);
    KrGeometry* PieCylinderToGeometry(double* pValues, unsigned int nCount,
                                      const TOVO::TovoPoint3D& position, const double& dMax,
                                      const double& dMin, const double& dSum,
                                      const double& dGraduated, const double& dMinValue);
    // The text of one item; the caption of an index outside the items is empty.
    TOVO::TovoMBString GetItemString(const double& dValue, const int& nIndex, const double& dSum);

    Kr3DGraph m_Graph;
    double m_dBarWidth;
    double m_dMinSum;
    double m_dMaxSum;
    double m_dSqrtMinSum;
    double m_dSqrtMaxSum;
    double m_dLogMinSum;
    double m_dLogMaxSum;
    TOVO::TovoSize2D m_szMinSize;
    TOVO::TovoSize2D m_szMaxSize;
    unsigned char m_bModified;
    double m_dBarSpacing;
    unsigned char m_nGraduatedMode;
    unsigned char m_bShowItemText;
    KrTextStyle m_ItemTextStyle;
    int m_nItemTextFormat;
    TOVO::TovoArray<int> m_arrJoinArrayField;
    double m_dStartAngle;

private:
    double ChartSize(double dMax, double dMin, double dGraduated) const;
    // The item text of value i at the point, added to the chart.
    void AddItemText(KrGeoCompound* pChart, double dValue, int nIndex, double dSum,
                     const TOVO::TovoPoint3D& point);
    int FindCaption(const TOVO::TovoMBString& strCaption) const;
    TOVO::TovoMBString WriteXML(int nVersion) const;
    void ReadGraphElements(KrMarkup& xml, int nVersion, ThemeXml::CountBudget& budget);
    void ReadGraphItems(KrMarkup& xml, int nVersion, ThemeXml::CountBudget& budget);
};

} // namespace KRS
