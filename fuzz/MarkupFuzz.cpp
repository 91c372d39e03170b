// KrMarkup on any bytes: loading, walking every element with FindChildElem / IntoElem /
// OutOfElem, and writing. Invariants: the written text walks to the same elements and is a fixed
// point from the second write on (loading it and writing again gives the same text); every
// element's sub-document loads on its own with the same name and text; a copy of the markup keeps
// its cursors; and a document rebuilt through AddElem / IntoElem / OutOfElem from the names and
// texts walked gives the same walk again, so every text, whitespace, line ends and any bytes
// included, survives writing.
#include "FuzzSupport.h"
#include "VyToolkit600/KrMarkup.h"

#include <vector>

using KRS::KrMarkup;
using TOVO::TovoMBString;

namespace {

// One element met in a walk: its depth below the root, name and text.
struct Step {
    int nDepth;
    TovoMBString strName;
    TovoMBString strData;
    bool operator==(const Step& o) const {
        return nDepth == o.nDepth && strName == o.strName && strData == o.strData;
    }
};

// Sub-documents are printed per element; checking them only near the root keeps the walk linear.
const int kSubDocDepth = 3;
const int kSubDocChecks = 64;

void CheckSubDoc(const KrMarkup& markup) {
    const TovoMBString strName = markup.GetChildTagName();
    KrMarkup sub(markup.GetChildSubDoc());
    fuzz::Require(sub.FindElem(strName.c_str()) != 0, "a sub-document lost its element");
    fuzz::RequireSame(markup.GetChildData(), sub.GetData(), "a sub-document lost its text");
    const KrMarkup copy(markup);
    fuzz::RequireSame(markup.GetChildSubDoc(), copy.GetChildSubDoc(), "a copy moved its cursor");
}

// The root (depth 0) and every element below it in document order, without recursion, so that
// deep nesting costs no stack.
std::vector<Step> Walk(KrMarkup& markup, bool bCheck) {
    std::vector<Step> steps;
    markup.ResetPos();
    if (!markup.FindElem())
        return steps;
    steps.push_back({0, markup.GetTagName(), markup.GetData()});
    int nDepth = 0;
    int nChecks = 0;
    for (;;) {
        if (markup.FindChildElem()) {
            steps.push_back({nDepth + 1, markup.GetChildTagName(), markup.GetChildData()});
            if (bCheck && nDepth < kSubDocDepth && nChecks++ < kSubDocChecks)
                CheckSubDoc(markup);
            fuzz::Require(markup.IntoElem() != 0, "no way into a child found");
            ++nDepth;
        } else if (markup.OutOfElem()) {
            --nDepth;
        } else {
            break;
        }
    }
    fuzz::Require(nDepth == 0, "the walk did not come back to the root");
    return steps;
}

// The same names and texts through the writing operations; FALSE when a name is refused.
bool Rebuild(const std::vector<Step>& steps, KrMarkup& out) {
    int nDepth = 0;
    for (const Step& step : steps) {
        if (step.nDepth == 0) {
            if (!out.AddElem(step.strName.c_str(), step.strData, FALSE, FALSE))
                return false;
            continue;
        }
        for (; nDepth >= step.nDepth; --nDepth)
            out.OutOfElem();
        if (!out.AddElem(step.strName.c_str(), step.strData, FALSE, TRUE))
            return false;
        out.IntoElem();
        nDepth = step.nDepth;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KrMarkup markup(fuzz::InputText(data, size));
    const TovoMBString written = markup.GetDoc();
    const std::vector<Step> steps = Walk(markup, true);
    fuzz::Require(written.IsEmpty() == steps.empty(), "a document without a root, or the reverse");
    if (steps.empty())
        return 0;
    // A character reference to NUL (which XML does not allow) ends the text it stands in and
    // leaves an empty text, written "<a></a>" the first time and "<a/>" from then on: the text is
    // a fixed point from the second write.
    KrMarkup again(written);
    const TovoMBString rewritten = again.GetDoc();
    fuzz::RequireSame(rewritten, KrMarkup(rewritten).GetDoc(), "writing is no fixed point");
    fuzz::Require(Walk(again, false) == steps, "the written document walks differently");
    KrMarkup rebuilt;
    if (Rebuild(steps, rebuilt)) {
        KrMarkup reread(rebuilt.GetDoc());
        fuzz::Require(Walk(reread, false) == steps, "names or texts did not survive writing");
    }
    return 0;
}
