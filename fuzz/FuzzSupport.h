// Shared by the fuzz targets: the input as a byte string, the invariant checks that stop the run
// (libFuzzer records an abort as a finding), and the round trip every theme reader must keep.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrLogFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Icon names are made relative to this path on writing and absolute on reading. It names no
// existing directory; the trailing separator makes it one without asking the file system.
inline const char* const kDocPath = "/fuzz/scene/";

// The readers' budget of values and keys in one theme (Src/Theme3DBase/KrThemeXml.h), and the
// size up to which a target checks the whole round trip.
constexpr long long kCountBudget = 1 << 20;
constexpr long long kRoundTripEntries = 1 << 16;

inline TOVO::TovoMBString InputText(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? TOVO::TovoMBString()
                     : TOVO::TovoMBString(reinterpret_cast<const char*>(data), size);
}

[[noreturn]] inline void Fail(const char* szWhat) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", szWhat);
    std::abort();
}

inline void Require(bool bHolds, const char* szWhat) {
    if (!bHolds)
        Fail(szWhat);
}

inline void RequireSame(const TOVO::TovoMBString& a, const TOVO::TovoMBString& b,
                        const char* szWhat) {
    if (a == b)
        return;
    std::fprintf(stderr, "--- first (%d bytes):\n%s\n--- second (%d bytes):\n%s\n", a.GetLength(),
                 a.c_str(), b.GetLength(), b.c_str());
    Fail(szWhat);
}

// The log keeps its records in memory; a long run must not grow it.
inline void ClearLog() {
    KRS::KrLogFile::GetInstance(false).ClearRecords();
}

// What every theme reader must keep: a theme read from any text writes a document that reads
// back into a fresh theme and writes again the same text; a copy and an assigned theme write
// that text too. Returns the first written text (empty when the input was refused).
template <class Theme>
TOVO::TovoMBString CheckThemeRoundTrip(Theme& first, const TOVO::TovoMBString& strInput) {
    if (!first.FromXML(strInput, 0, kDocPath))
        return TOVO::TovoMBString();
    const TOVO::TovoMBString written = first.ToXML(0, kDocPath);
    Require(!written.IsEmpty(), "a theme that was read writes nothing");
    Theme second;
    Require(second.FromXML(written, 0, kDocPath) != 0, "the written document is refused");
    RequireSame(written, second.ToXML(0, kDocPath), "written, read and written again differs");
    const Theme copy(first);
    RequireSame(written, copy.ToXML(0, kDocPath), "a copy writes another document");
    Theme assigned;
    assigned = first;
    RequireSame(written, assigned.ToXML(0, kDocPath), "an assigned theme writes another document");
    return written;
}

} // namespace fuzz
