#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace theme3d {

Progress::Progress(std::string strWhat, std::size_t nTotal)
    : m_strWhat(std::move(strWhat)), m_nTotal(nTotal),
      m_bEnabled(nTotal >= kMinimum && isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    Finish();
}

void Progress::Advance(std::size_t n) {
    if (!m_bEnabled)
        return;
    const std::size_t nDone = m_nDone.fetch_add(n) + n;
    const int nPercent = static_cast<int>(100.0 * double(nDone) / double(m_nTotal));
    int nLast = m_nLastPercent.load();
    // Only the thread that moves the percentage on redraws, so the terminal sees at most 100 lines.
    if (nPercent > nLast && m_nLastPercent.compare_exchange_strong(nLast, nPercent))
        Draw(nDone);
}

void Progress::Finish() {
    if (!m_bEnabled.exchange(false))
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

void Progress::Draw(std::size_t nDone) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int width = 40;
    const int filled = static_cast<int>(width * double(nDone) / double(m_nTotal));
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(width - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %zu/%zu", m_strWhat.c_str(), bar.c_str(), nDone, m_nTotal);
    std::fflush(stderr);
}

} // namespace theme3d
