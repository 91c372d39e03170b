// A geometry made of parts, kept in the order they were added.
//
// Ownership: a part added with bOwn TRUE belongs to the compound, which deletes it when it is
// destroyed or emptied. A part added with bOwn FALSE is only referred to: the caller keeps it and
// must keep it alive while the compound holds it. The compound's own Offset is its own shift: the
// parts keep theirs, and a host places a part at its parameters plus its shift plus the shifts of
// the compounds around it.
#pragma once

#include "VyGeometry600/KrGeometry3D.h"
#include "VyGeometry600/VyGeometry600_export.h"

#include <unordered_set>
#include <vector>

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeoCompound : public KrGeometry3D {
public:
    KrGeoCompound();
    ~KrGeoCompound() override;

    int GetGeometryType() const override { return GeoCompound; }

    // Appends the part. FALSE, and nothing changes (the part is not deleted), for a null part, a
    // part this compound already holds directly, the compound itself, or a compound that holds
    // this one at any depth (a cycle). A part must not be owned by two compounds; that is the
    // caller's rule, as it is for any owner.
    unsigned char AddCompound(KrGeometry* pPart, unsigned char bOwn);
    int GetCount() const { return static_cast<int>(m_parts.size()); }
    // The part at the position, or null outside 0 .. GetCount() - 1.
    KrGeometry* GetAt(int nIndex) const;
    // Whether the compound owns the part at the position (FALSE outside the parts).
    unsigned char IsOwnerAt(int nIndex) const;
    // Whether the geometry is this compound or held by it at any depth.
    bool Contains(const KrGeometry* pGeometry) const;
    // Whether the compound holds the geometry as one of its own parts.
    bool HoldsDirectly(const KrGeometry* pGeometry) const;
    // Removes every part, deleting the owned ones.
    void RemoveAll();

private:
    struct Part {
        KrGeometry* pGeometry;
        bool bOwn;
    };
    // Up to this many parts the duplicate test scans them: a chart has a few dozen parts at most,
    // and a scan is cheaper than hashing each one in.
    static constexpr std::size_t kScanLimit = 32;

    std::vector<Part> m_parts;
    // The parts, for a constant-time duplicate test once there are more than kScanLimit of them;
    // empty until then.
    std::unordered_set<const KrGeometry*> m_held;
};

} // namespace KRS
