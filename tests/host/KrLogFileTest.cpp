// The process log (records in memory, lines in the configured file) and the message texts.
#include "VyToolkit600/KrLogFile.h"
#include "VyToolkit600/KrStringEx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using KRS::KrLogFile;
using KRS::KrStringEx;
using TOVO::TovoMBString;

namespace {

class KrLogFileTest : public ::testing::Test {
protected:
    void SetUp() override { Log().ClearRecords(); }
    void TearDown() override {
        Log().SetLogFilePath("");
        Log().SetMaxRecords(100000);
        Log().ClearRecords();
    }
    static KrLogFile& Log() { return KrLogFile::GetInstance(false); }
};

} // namespace

TEST_F(KrLogFileTest, KeepsEveryFieldOfTheNewestRecords) {
    EXPECT_EQ(&KrLogFile::GetInstance(true), &Log());
    Log().SetMaxRecords(2); // the oldest goes beyond the limit
    Log().RecordLog(400, "OLD", "src", 1);
    Log().RecordLog(400, "EGg040", TovoMBString("bad text"), "Src/Theme3DBase/KrTheme3DGraph", 644);
    Log().RecordLog(KrLogFile::LogError, "EGi067", "Src/Theme3DBase/KrTheme3DUnique", 12);
    const std::vector<KRS::KrLogRecord> records = Log().GetRecords();
    ASSERT_EQ(records.size(), 2u);
    const KRS::KrLogRecord& r = records[0];
    EXPECT_TRUE(r.nLevel == 400 && r.strCode == "EGg040" && r.strMessage == "bad text" &&
                r.strSource == "Src/Theme3DBase/KrTheme3DGraph" && r.nLine == 644);
    // Day 25569 is 1970-01-01; local time differs from UTC by less than a day.
    const double utcDay = 25569.0 + static_cast<double>(std::time(nullptr)) / 86400.0;
    EXPECT_LT(std::fabs(r.dTime - utcDay), 1.0);
    Log().ClearRecords();
    EXPECT_TRUE(Log().GetRecords().empty());
}

TEST_F(KrLogFileTest, AppendsOneLinePerRecordToTheConfiguredFile) {
    const std::string path =
        testing::TempDir() + "KrLogFileTest" + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    Log().RecordLog(400, "BEFORE", "src", 1);
    Log().SetLogFilePath(path);
    Log().RecordLog(400, "EGg041", TovoMBString("two\nlines"), "Src/Theme3DBase/KrTheme3DGraph",
                    392);
    Log().SetLogFilePath("");
    Log().RecordLog(400, "AFTER", "src", 1);

    std::ostringstream file;
    file << std::ifstream(path, std::ios::binary).rdbuf();
    const std::string text = file.str(); // one line, with the line feed in the message replaced
    EXPECT_NE(text.find("\t400\tEGg041\ttwo lines\tSrc/Theme3DBase/KrTheme3DGraph:392"),
              std::string::npos)
        << text;
    std::remove(path.c_str());
}

TEST(KrStringEx, EveryLoggedCodeHasATextWithOneClassNameConversion) {
    for (const char* code :
         {"EGi067", "EGi069", "EEe007", "EGi055", "EGi063", "EGg040", "EGg041"}) {
        KrStringEx s;
        ASSERT_TRUE(s.LoadResString(code)) << code;
        const int first = s.Find("%s");
        ASSERT_GE(first, 0) << code;
        EXPECT_EQ(s.Find('%', first + 1), -1) << code;
    }
    KrStringEx unknown("left over");
    EXPECT_FALSE(unknown.LoadResString("XYZ001"));
    EXPECT_TRUE(unknown.IsEmpty());
}
