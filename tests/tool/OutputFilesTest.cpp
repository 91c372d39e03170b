#include "OutputFiles.h"
#include "SignalCleanup.h"
#include "ToolError.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using theme3d::OutputFiles;

namespace {

class OutputFilesTest : public testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/theme3d-out-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        dir = szTemplate;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        DIR* pDir = opendir(dir.c_str());
        while (dirent* pEntry = readdir(pDir)) {
            if (pEntry->d_name[0] != '.')
                names.push_back(pEntry->d_name);
        }
        closedir(pDir);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Read(const std::string& strName) const {
        std::ifstream in(dir + "/" + strName);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string dir;
};

} // namespace

TEST_F(OutputFilesTest, NothingAppearsBeforeCommit) {
    {
        OutputFiles outputs;
        outputs.Write(dir + "/a.xml", "<a/>");
        outputs.Write(dir + "/b.glb", "glTF");
        EXPECT_EQ(Names().size(), 2u); // the two temporary files
        EXPECT_EQ(Names()[0].rfind("a.xml.tmp", 0), 0u);
    }
    EXPECT_TRUE(Names().empty()); // dropped without a commit
}

TEST_F(OutputFilesTest, CommitRenamesEveryFileIntoPlace) {
    std::ofstream(dir + "/a.xml") << "old";
    OutputFiles outputs;
    outputs.Write(dir + "/a.xml", "<a/>");
    outputs.Write(dir + "/b.glb", "glTF");
    EXPECT_EQ(Read("a.xml"), "old");
    outputs.Commit();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.xml", "b.glb"}));
    EXPECT_EQ(Read("a.xml"), "<a/>");
    EXPECT_EQ(Read("b.glb"), "glTF");
}

TEST_F(OutputFilesTest, AFolderThatCannotBeWrittenIsAToolError) {
    OutputFiles outputs;
    EXPECT_THROW(outputs.Write(dir + "/no/such/folder/a.xml", "x"), theme3d::ToolError);
}

// A tileset folder is filled in a temporary folder: dropped with everything in it, or put in
// place of the previous tileset on commit.
TEST_F(OutputFilesTest, AFolderIsDroppedWholeOrReplacesThePreviousTileset) {
    std::system(
        ("mkdir -p '" + dir + "/t/tiles' && echo old > '" + dir + "/t/tileset.json'").c_str());
    {
        OutputFiles outputs;
        const std::string strTemp = outputs.AddFolder(dir + "/t");
        std::system(
            ("mkdir '" + strTemp + "/tiles' && echo x > '" + strTemp + "/tiles/0.glb'").c_str());
        EXPECT_EQ(Names().size(), 2u);
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"t"});
    EXPECT_EQ(Read("t/tileset.json"), "old\n");
    OutputFiles outputs;
    const std::string strTemp = outputs.AddFolder(dir + "/t");
    std::ofstream(strTemp + "/tileset.json") << "new";
    outputs.Commit();
    EXPECT_EQ(Names(), std::vector<std::string>{"t"});
    EXPECT_EQ(Read("t/tileset.json"), "new");
    EXPECT_FALSE(std::ifstream(dir + "/t/tiles/0.glb").good()); // nothing of the old one is left

    std::ofstream(dir + "/file") << "x";
    EXPECT_THROW(outputs.AddFolder(dir + "/file"), theme3d::ToolError);
}

// A temporary folder as deep as the viewer's assets goes with its contents when the tool is
// terminated while filling it.
TEST_F(OutputFilesTest, TerminationRemovesADeepTemporaryFolder) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        theme3d::SignalCleanup::Install();
        int nSlot = -1;
        std::string strPath = theme3d::SignalCleanup::MakeTempFolder(dir + "/assets", nSlot);
        for (int i = 0; i < 6; ++i) {
            strPath += "/level";
            mkdir(strPath.c_str(), 0777);
            std::ofstream(strPath + "/file.js") << "x";
        }
        raise(SIGTERM);
        _exit(0);
    }
    int nStatus = 0;
    ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGTERM);
    EXPECT_EQ(Names(), std::vector<std::string>{});
}
