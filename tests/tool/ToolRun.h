// Running the theme3d program from the tool tests: a temporary folder per test, the program's
// exit status, signal and output under optional resource limits, and the Khronos validator on
// the scenes it writes.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gdal_utils.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tooltest {

struct Outcome {
    int nExit = -1;  // exit status, or -1 when a signal ended it
    int nSignal = 0; // the signal that ended it
    std::string strOut, strErr;
};

inline std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool Has(const std::string& strText, const std::string& strPart) {
    return strText.find(strPart) != std::string::npos;
}

// Writes the text to the file, making its folders first.
inline void WriteFile(const std::string& strPath, const std::string& strText) {
    std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
    std::ofstream(strPath, std::ios::binary) << strText;
}

// The names in a folder, sorted; none for a missing folder.
inline std::vector<std::string> List(const std::string& strDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(strDir, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A .glb is whole (its header's length is its size), and the validator reports no error
// in any scene (when node and the validator are installed).
inline void ExpectValidGltf(const std::string& strScene) {
    const std::string bytes = ReadFile(strScene);
    if (strScene.size() > 4 && strScene.compare(strScene.size() - 4, 4, ".glb") == 0) {
        ASSERT_GE(bytes.size(), 20u) << strScene;
        std::uint32_t nLength = 0;
        std::memcpy(&nLength, bytes.data() + 8, 4);
        EXPECT_EQ(nLength, bytes.size()) << strScene;
    }
    const std::string strNode = NODE_EXECUTABLE;
    if (strNode.empty())
        return;
    const int nStatus = std::system(
        (strNode + " " + GLTF_VALIDATE_SCRIPT + " '" + strScene + "' >/dev/null 2>&1").c_str());
    if (WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 2)
        return; // the validator is not installed (scripts/setup --tools)
    EXPECT_EQ(nStatus, 0) << "validator errors in " << strScene;
}

class ToolTest : public testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/theme3d-test-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_strDir = szTemplate;
    }
    void TearDown() override {
        if (!HasFailure())
            std::filesystem::remove_all(m_strDir);
    }

    std::string Path(const std::string& strName) const { return m_strDir + "/" + strName; }
    static std::string Data(const std::string& strName) {
        return std::string(TOOL_TEST_DATA) + "/" + strName;
    }

    // Starts theme3d with the arguments as shell words (quotes; environment assignments in
    // strEnv), its file size and address space limited when given, its output into files of the
    // test's folder.
    pid_t Start(const std::string& strArgs, rlim_t nFileSize = RLIM_INFINITY,
                rlim_t nAddressSpace = RLIM_INFINITY, const std::string& strEnv = "") const {
        std::remove(Path(".err").c_str()); // what an earlier run said is not this run's
        const pid_t pid = fork();
        if (pid != 0)
            return pid;
        const rlimit fsize{nFileSize, nFileSize}, as{nAddressSpace, nAddressSpace};
        setrlimit(RLIMIT_FSIZE, &fsize);
        setrlimit(RLIMIT_AS, &as);
        dup2(open(Path(".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        dup2(open(Path(".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        const std::string strCommand = strEnv + " exec " + THEME3D_EXE + " " + strArgs;
        execl("/bin/sh", "sh", "-c", strCommand.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Waits for the run to end: its exit status or signal, and its output.
    Outcome Wait(pid_t pid) const {
        int nStatus = 0;
        while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
        }
        Outcome outcome;
        outcome.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        outcome.nSignal = WIFSIGNALED(nStatus) ? WTERMSIG(nStatus) : 0;
        outcome.strErr = ReadFile(Path(".err"));
        outcome.strOut = ReadFile(Path(".out"));
        std::remove(Path(".err").c_str());
        std::remove(Path(".out").c_str());
        return outcome;
    }
    Outcome Run(const std::string& strArgs, rlim_t nFileSize = RLIM_INFINITY,
                rlim_t nAddressSpace = RLIM_INFINITY, const std::string& strEnv = "") const {
        return Wait(Start(strArgs, nFileSize, nAddressSpace, strEnv));
    }
    // Runs, and expects success without a word on standard error.
    Outcome RunOk(const std::string& strArgs) const {
        const Outcome outcome = Run(strArgs);
        EXPECT_EQ(outcome.nExit, 0) << strArgs << "\n" << outcome.strErr;
        EXPECT_EQ(outcome.strErr, "");
        return outcome;
    }
    // Fails with exit status 2 and exactly this one line on standard error.
    void ExpectRefused(const std::string& strArgs, const std::string& strMessage) const {
        const Outcome outcome = Run(strArgs);
        EXPECT_EQ(outcome.nExit, 2) << strArgs;
        EXPECT_EQ(outcome.strErr, "theme3d: " + strMessage + "\n") << strArgs;
    }

    // A layer converted by GDAL into the named driver's format, in the test's folder (added to
    // the file when it exists).
    std::string Convert(const std::string& strSource, const char* szDriver,
                        const std::string& strName) const {
        GDALAllRegister();
        const std::string strTarget = Path(strName);
        GDALDatasetH hSource =
            GDALOpenEx(strSource.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
        const bool bAdd = std::filesystem::exists(strTarget);
        char* args[] = {const_cast<char*>("-f"), const_cast<char*>(szDriver),
                        const_cast<char*>(bAdd ? "-update" : nullptr), nullptr};
        GDALVectorTranslateOptions* pOptions = GDALVectorTranslateOptionsNew(args, nullptr);
        GDALClose(GDALVectorTranslate(strTarget.c_str(), nullptr, 1, &hSource, pOptions, nullptr));
        GDALVectorTranslateOptionsFree(pOptions);
        GDALClose(hSource);
        return strTarget;
    }

    std::string m_strDir;
};

} // namespace tooltest
