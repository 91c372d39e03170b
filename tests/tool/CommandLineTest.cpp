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
