// KrTheme3DGraph::FromXML on any bytes: no crash, no leak, no hang. A chart item without
// "dkm:ArrayFieldNum" inherits the value list of the item read before it, and the writer leaves
// that element out for an array item without values, so one write and read may give such an item
// the values of its predecessor. The invariant is therefore the second round: what a theme read
// from its own document writes reads back and writes the same text. Copies write the first text.
// The theme that was read then computes the layer's figures and draws a chart.
#include "FuzzSupport.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "VyBase600/TovoArray.h"
#include "VyGeometry600/KrGeometry.h"

#include <memory>
#include <vector>

using TOVO::TovoMBString;

namespace {

void DrawOneChart(KRS::KrTheme3DGraph& theme) {
    TOVO::TovoArray<TovoMBString> arrNames;
    theme.GetThemeQueryDef(arrNames, TRUE);
    theme.GetThemeQueryDef(arrNames, FALSE);
    const TOVO::TovoArray<int>& keys = theme.GetJoinArrayField();
    double dValue = 0.0;
    for (int i = 0; i < theme.GetCount() && i < 8; ++i) {
        theme.GetThemeGraphItemType(i);
        theme.GetThemeGraphValues(dValue, i, keys.IsEmpty() ? 0 : keys[0]);
    }
    const double dMinSum = 1.0;
    const double dMaxSum = 250.0;
    const int nCount = 10;
    theme.CalExtremumvValue(dMinSum, dMaxSum, TOVO::TovoRect2D(100.0, 20.0, 101.5, 21.0), nCount,
                            FALSE);
    std::vector<double> values;
    for (int i = 0; i < theme.GetCount() && i < 64; ++i)
        values.push_back(i % 3 == 0 ? -1.0 : 10.0 * i);
    std::unique_ptr<KRS::KrGeometry> chart(theme.ConvertToGeometry(
        values.empty() ? nullptr : values.data(), static_cast<unsigned int>(values.size()),
        TOVO::TovoPoint3D{100.5, 20.5, 0.0}));
}

// Values and keys the theme holds, the entries its reader counts against its budget.
long long Entries(KRS::KrTheme3DGraph& theme) {
    long long total = theme.GetJoinArrayField().GetSize();
    for (int i = 0; i < theme.GetCount(); ++i)
        total += theme.GetItem(i).m_arrValues.GetSize();
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KRS::KrTheme3DGraph first;
    if (!first.FromXML(fuzz::InputText(data, size), 0, fuzz::kDocPath)) {
        fuzz::ClearLog();
        return 0;
    }
    fuzz::Require(Entries(first) <= fuzz::kCountBudget, "more entries than the budget");
    // A few bytes can ask for the whole budget, and six writes of a million values take longer
    // than a fuzz run's timeout; what such a theme writes is ReaderBoundsTest's matter.
    if (Entries(first) > fuzz::kRoundTripEntries) {
        fuzz::ClearLog();
        return 0;
    }
    const TovoMBString written = first.ToXML(0, fuzz::kDocPath);
    fuzz::Require(!written.IsEmpty(), "a theme that was read writes nothing");
    KRS::KrTheme3DGraph second;
    fuzz::Require(second.FromXML(written, 0, fuzz::kDocPath) != 0,
                  "the written document is refused");
    fuzz::Require(second.GetCount() == first.GetCount(), "chart items lost or gained");
    const TovoMBString rewritten = second.ToXML(0, fuzz::kDocPath);
    KRS::KrTheme3DGraph third;
    fuzz::Require(third.FromXML(rewritten, 0, fuzz::kDocPath) != 0, "the second write is refused");
    fuzz::RequireSame(rewritten, third.ToXML(0, fuzz::kDocPath), "no fixed point after one round");
    const KRS::KrTheme3DGraph copy(first);
    fuzz::RequireSame(written, copy.ToXML(0, fuzz::kDocPath), "a copy writes another document");
    KRS::KrTheme3DGraph assigned;
    assigned = first;
    fuzz::RequireSame(written, assigned.ToXML(0, fuzz::kDocPath),
                      "an assigned theme writes another document");
    DrawOneChart(first);
    fuzz::ClearLog();
    return 0;
}
