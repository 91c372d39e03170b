// The command line where GIS users put things: common options after the subcommand, -l for the
// layer, --version.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int nExit = -1;
    std::string strOut, strErr;
};

class CommandLine : public testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/theme3d-cli-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        dir = szTemplate;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    Result Run(const std::string& strArgs) const {
        const std::string strCmd = std::string(THEME3D_EXE) + " " + strArgs + " >" +
                                   (dir / "out.txt").string() + " 2>" + (dir / "err.txt").string();
        const int nStatus = std::system(strCmd.c_str());
        return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, Read(dir / "out.txt"),
                Read(dir / "err.txt")};
    }
    static std::string Points() { return std::string(TOOL_TEST_DATA) + "/points.geojson"; }

    fs::path dir;
};

} // namespace

TEST_F(CommandLine, VersionIsTheProjects) {
    const Result result = Run("--version");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "theme3d 6.0.0\n");
}

TEST_F(CommandLine, LayerIsTakenBeforeOrAfterTheSubcommandAndAsDashL) {
    const std::string strMissing =
        "theme3d: layer 'nope' not found in '" + Points() + "' (layers: points)\n";
    for (const std::string& strArgs :
         {"-l nope classify " + Points() + " --field count -o " + (dir / "r.xml").string(),
          "classify " + Points() + " -l nope --field count -o " + (dir / "r.xml").string(),
          "classify " + Points() + " --field count --layer nope -o " + (dir / "r.xml").string()}) {
        const Result result = Run(strArgs);
        EXPECT_EQ(result.nExit, 2) << strArgs;
        EXPECT_EQ(result.strErr, strMissing) << strArgs;
        EXPECT_FALSE(fs::exists(dir / "r.xml"));
    }
    const Result result = Run("unique " + Points() + " -l points --field kind --plugin " +
                              (dir / "none.t3d").string() + " -o " + (dir / "u.xml").string());
    // --plugin after the subcommand is the common option too.
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strErr,
              "theme3d: plug-in '" + (dir / "none.t3d").string() + "' (from --plugin) not found\n");
    EXPECT_EQ(
        Run("unique " + Points() + " -l points --field kind -o " + (dir / "u.xml").string()).nExit,
        0);
    EXPECT_TRUE(fs::is_regular_file(dir / "u.xml"));
}

TEST_F(CommandLine, WhereKeepsOnlyTheMatchingFeatures) {
    // count > 5: features 2 (kind b) and 4 (kind null), so one value; without it, a and b.
    const std::string strOut = (dir / "u.xml").string();
    Result result = Run("unique " + Points() + " --field kind --where \"count > 5\" -o " + strOut);
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 1 values\n");
    result = Run("unique " + Points() + " --field kind -o " + strOut);
    EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 2 values\n");
    // A range theme over count > 5 sees 7 and 12 only: equal intervals of 2.5 from 7.
    result = Run("classify " + Points() + " --where \"count > 5\" --field count --classes 2 -o " +
                 strOut);
    EXPECT_EQ(result.strOut,
              "wrote " + strOut + ": range theme on count (equal), 2 classes, breaks: 9.5\n");

    result = Run("unique " + Points() + " --field kind --where \"count ===\" -o " +
                 (dir / "bad.xml").string());
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strErr.rfind("theme3d: --where 'count ===' on layer 'points': ", 0), 0u)
        << result.strErr;
    EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1); // one line
    EXPECT_FALSE(fs::exists(dir / "bad.xml"));
}
