// The replay driver a fuzz target links in a build without libFuzzer: every file named on the
// command line, and every file inside every directory named there, goes once through the
// target's entry point. Options in libFuzzer's form ("-runs=0") are accepted and ignored, so one
// command line replays a corpus with either build of a target.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool ReadFile(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Files of a directory in name order, so that a replay is the same on every machine. Hidden
// files (".gitkeep" in a corpus that is still empty) are no inputs.
std::vector<fs::path> FilesOf(const fs::path& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool Replay(const fs::path& file) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(file, bytes)) {
        std::fprintf(stderr, "replay: cannot read %s\n", file.string().c_str());
        return false;
    }
    // A copy of exactly the file's size, so that a read past the end is seen by the sanitizers.
    std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t nRun = 0;
    bool bOk = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!arg.empty() && arg[0] == '-')
            continue;
        const fs::path path(arg);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            for (const fs::path& file : FilesOf(path)) {
                bOk = Replay(file) && bOk;
                ++nRun;
            }
        } else if (fs::is_regular_file(path, ec)) {
            bOk = Replay(path) && bOk;
            ++nRun;
        } else {
            std::fprintf(stderr, "replay: no such file or directory: %s\n", arg.c_str());
            bOk = false;
        }
    }
    std::printf("replay: %zu inputs\n", nRun);
    return bOk ? 0 : 1;
}
