#include "OutputFiles.h"
#include "SignalCleanup.h"
#include "ToolError.h"

#include "ToolRun.h"

#include <csignal>
#include <sys/stat.h>

using theme3d::OutputFiles;
using namespace tooltest;

// Writing and committing files is checked end to end by every run of the tool (and under faults
// by FaultInjectionTest); here what only a folder does.
using OutputFilesTest = ToolTest;

// A tileset folder is filled in a temporary folder: dropped with everything in it, or put in
// place of the previous tileset on commit.
TEST_F(OutputFilesTest, AFolderIsDroppedWholeOrReplacesThePreviousTileset) {
    WriteFile(Path("t/tileset.json"), "old");
    WriteFile(Path("t/tiles/0.glb"), "old");
    {
        OutputFiles outputs;
        WriteFile(outputs.AddFolder(Path("t")) + "/tiles/0.glb", "x");
        EXPECT_EQ(List(m_strDir).size(), 2u);
    }
    EXPECT_EQ(List(m_strDir), std::vector<std::string>{"t"});
    EXPECT_EQ(ReadFile(Path("t/tileset.json")) + ReadFile(Path("t/tiles/0.glb")), "oldold");
    OutputFiles outputs;
    WriteFile(outputs.AddFolder(Path("t")) + "/tileset.json", "new");
    outputs.Commit();
    EXPECT_EQ(List(m_strDir), std::vector<std::string>{"t"});
    EXPECT_EQ(ReadFile(Path("t/tileset.json")), "new");
    EXPECT_EQ(List(Path("t")), std::vector<std::string>{"tileset.json"}); // none of the old one

    WriteFile(Path("file"), "x");
    EXPECT_THROW(outputs.AddFolder(Path("file")), theme3d::ToolError);
    EXPECT_THROW(outputs.Write(Path("no/such/folder/a.xml"), "x"), theme3d::ToolError);
}

// A temporary folder as deep as the viewer's assets goes with its contents when the tool is
// terminated while filling it.
TEST_F(OutputFilesTest, TerminationRemovesADeepTemporaryFolder) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        theme3d::SignalCleanup::Install();
        int nSlot = -1;
        std::string strPath = theme3d::SignalCleanup::MakeTempFolder(Path("assets"), nSlot);
        for (int i = 0; i < 6; ++i) {
            strPath += "/level";
            mkdir(strPath.c_str(), 0777);
            WriteFile(strPath + "/file.js", "x");
        }
        raise(SIGTERM);
        _exit(0);
    }
    EXPECT_EQ(Wait(pid).nSignal, SIGTERM);
    EXPECT_EQ(List(m_strDir), std::vector<std::string>{});
}
