// A progress bar on standard error for long layers, drawn only when standard error is a terminal.
// Workers may advance it from several threads.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

namespace theme3d {

class Progress {
public:
    // Quiet unless standard error is a terminal and the layer has at least kMinimum features.
    Progress(std::string strWhat, std::size_t nTotal);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Advance(std::size_t n = 1);
    void Finish();

    static constexpr std::size_t kMinimum = 1000;

private:
    void Draw(std::size_t nDone);

    std::string m_strWhat;
    std::size_t m_nTotal;
    std::atomic<bool> m_bEnabled;
    std::atomic<std::size_t> m_nDone{0};
    std::atomic<int> m_nLastPercent{-1};
    std::mutex m_mutex;
};

} // namespace theme3d
