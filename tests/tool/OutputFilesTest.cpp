#include "OutputFiles.h"
#include "SignalCleanup.h"
#include "ToolError.h"

#include "ToolRun.h"

#include <csignal>
#include <sys/stat.h>

using theme3d::OutputFiles;
using namespace tooltest;

namespace {

// Writing and committing files is checked end to end by every run of the tool (and under faults
// by FaultInjectionTest); here what only a folder does.
class OutputFilesTest : public ToolTest {
protected:
    std::vector<std::string> Names() const { return List(m_strDir); }
    std::string Read(const std::string& strName) const { return ReadFile(Path(strName)); }
    const std::string& dir = m_strDir;
};

} // namespace

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
    EXPECT_THROW(outputs.Write(dir + "/no/such/folder/a.xml", "x"), theme3d::ToolError);
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
