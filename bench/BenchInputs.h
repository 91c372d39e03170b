// Inputs shared by the benchmark programs. Every input comes from a generator with a fixed seed,
// so that each run measures the same data, and each workload and its baseline read the very same
// inputs.
//
// Naming: a workload registers "<workload>/Ours" and "<workload>/Base" (with the size as the
// benchmark's argument); bench/run pairs the two and prints their ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace bench {

using Rng = std::mt19937_64;

// Queries are taken round-robin from a ring of this many entries: far more than the caches hold
// for the larger themes, so that a lookup pays the memory traffic a layer scan in arbitrary order
// pays, and a power of two so that stepping through the ring costs a mask.
constexpr std::size_t kRingSize = std::size_t(1) << 16;
constexpr std::size_t kRingMask = kRingSize - 1;

// Distinct field-value texts of 4 to 14 letters and digits, like codes and names.
inline std::vector<std::string> DistinctTexts(std::size_t nCount, Rng& rng,
                                              std::unordered_set<std::string>& used) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<int> length(4, 14);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    std::vector<std::string> texts;
    texts.reserve(nCount);
    while (texts.size() < nCount) {
        std::string s(static_cast<std::size_t>(length(rng)), ' ');
        for (char& c : s)
            c = kChars[pick(rng)];
        if (used.insert(s).second)
            texts.push_back(std::move(s));
    }
    return texts;
}

// The shortest text that reads back to the same double: how a host spells a number as a value.
inline std::string ShortestText(double d) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, static_cast<std::size_t>(res.ptr - buf));
}

// The share of lookups that find a value of the theme; the rest miss. Drawn at random per
// query, so that no branch predictor learns the pattern.
constexpr double kHitShare = 0.75;

} // namespace bench
