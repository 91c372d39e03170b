#include "ClassBreaks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace theme3d {

namespace {

// Weighted prefix sums over the distinct values, shifted by their median so that the sums of
// squares stay small and the differences below lose little to cancellation.
class PrefixSums {
public:
    PrefixSums(const std::vector<double>& values, const std::vector<double>& weights) {
        const double shift = values[values.size() / 2];
        m_w.assign(values.size() + 1, 0.0);
        m_s1.assign(values.size() + 1, 0.0);
        m_s2.assign(values.size() + 1, 0.0);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double y = values[i] - shift;
            m_w[i + 1] = m_w[i] + weights[i];
            m_s1[i + 1] = m_s1[i] + weights[i] * y;
            m_s2[i + 1] = m_s2[i] + weights[i] * y * y;
        }
    }

    // Sum of squared deviations from their mean of distinct values j .. i (inclusive).
    double Cost(std::size_t j, std::size_t i) const {
        const double w = m_w[i + 1] - m_w[j];
        const double s1 = m_s1[i + 1] - m_s1[j];
        const double cost = (m_s2[i + 1] - m_s2[j]) - s1 * s1 / w;
        return cost > 0.0 ? cost : 0.0;
    }

private:
    std::vector<double> m_w, m_s1, m_s2;
};

// One row q of the programme: cur[i] = min over j in [q, i] of prev[j - 1] + Cost(j, i), and
// the smallest best j in split[i]. The best j never decreases as i grows.
class RowFiller {
public:
    RowFiller(const PrefixSums& sums, const std::vector<double>& prev, std::vector<double>& cur,
              std::vector<std::uint32_t>& split)
        : m_sums(sums), m_prev(prev), m_cur(cur), m_split(split) {}

    void Fill(std::size_t iLow, std::size_t iHigh, std::size_t jLow, std::size_t jHigh) {
        while (iLow <= iHigh) {
            const std::size_t i = iLow + (iHigh - iLow) / 2;
            double best = std::numeric_limits<double>::infinity();
            std::size_t bestJ = jLow;
            for (std::size_t j = jLow; j <= std::min(jHigh, i); ++j) {
                const double d = m_prev[j - 1] + m_sums.Cost(j, i);
                if (d < best) {
                    best = d;
                    bestJ = j;
                }
            }
            m_cur[i] = best;
            m_split[i] = static_cast<std::uint32_t>(bestJ);
            if (i > iLow)
                Fill(iLow, i - 1, jLow, bestJ); // the left half recurses, the right half loops
            iLow = i + 1;
            jLow = bestJ;
        }
    }

private:
    const PrefixSums& m_sums;
    const std::vector<double>& m_prev;
    std::vector<double>& m_cur;
    std::vector<std::uint32_t>& m_split;
};

} // namespace

std::vector<double> ClassBreaks::Quantiles(const std::vector<double>& sorted, int k) {
    std::vector<double> breaks;
    if (sorted.empty() || k < 2)
        return breaks;
    const double last = static_cast<double>(sorted.size() - 1);
    for (int i = 1; i < k; ++i) {
        const double h = last * i / k;
        const auto lo = static_cast<std::size_t>(std::floor(h));
        const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
        breaks.push_back(sorted[lo] + (h - static_cast<double>(lo)) * (sorted[hi] - sorted[lo]));
    }
    return breaks;
}

std::vector<double> ClassBreaks::NaturalBreaks(const std::vector<double>& sorted, int k) {
    std::vector<double> values, weights;
    for (double d : sorted) {
        if (!values.empty() && values.back() == d)
            weights.back() += 1.0;
        else {
            values.push_back(d);
            weights.push_back(1.0);
        }
    }
    const std::size_t n = values.size();
    if (n < 2 || k < 2)
        return {};
    const std::size_t classes = std::min<std::size_t>(static_cast<std::size_t>(k), n);
    const PrefixSums sums(values, weights);

    std::vector<double> prev(n), cur(n);
    for (std::size_t i = 0; i < n; ++i)
        prev[i] = sums.Cost(0, i);
    std::vector<std::vector<std::uint32_t>> split(classes);
    for (std::size_t q = 1; q < classes; ++q) {
        split[q].assign(n, 0);
        RowFiller(sums, prev, cur, split[q]).Fill(q, n - 1, q, n - 1);
        std::swap(prev, cur);
    }

    std::vector<double> breaks(classes - 1);
    std::size_t i = n - 1;
    for (std::size_t q = classes - 1; q >= 1; --q) {
        const std::size_t j = split[q][i];
        breaks[q - 1] = values[j];
        i = j - 1;
    }
    return breaks;
}

double ClassBreaks::WithinClassSquares(const std::vector<double>& sorted,
                                       const std::vector<double>& breaks) {
    double total = 0.0;
    std::size_t begin = 0;
    for (std::size_t c = 0; c <= breaks.size(); ++c) {
        std::size_t end = begin;
        while (end < sorted.size() && (c == breaks.size() || sorted[end] < breaks[c]))
            ++end;
        double mean = 0.0;
        for (std::size_t t = begin; t < end; ++t)
            mean += sorted[t];
        if (end > begin)
            mean /= static_cast<double>(end - begin);
        for (std::size_t t = begin; t < end; ++t)
            total += (sorted[t] - mean) * (sorted[t] - mean);
        begin = end;
    }
    return total;
}

} // namespace theme3d
