#include "VyToolkit600/KrLogFile.h"
#include "VyToolkit600/KrStringEx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST_F(KrLogFileTest, KeepsEveryFieldOfEveryRecord) {
    EXPECT_EQ(&KrLogFile::GetInstance(true), &Log());
    Log().RecordLog(400, "EGg040", TovoMBString("bad text"), "Src/Theme3DBase/KrTheme3DGraph", 644);
    Log().RecordLog(KrLogFile::LogError, "EGi067", "Src/Theme3DBase/KrTheme3DUnique", 12);
    Log().RecordLog(100, nullptr, nullptr, 0);

    const std::vector<KRS::KrLogRecord> records = Log().GetRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].nLevel, 400);
    EXPECT_EQ(records[0].strCode, "EGg040");
    EXPECT_EQ(records[0].strMessage, "bad text");
    EXPECT_EQ(records[0].strSource, "Src/Theme3DBase/KrTheme3DGraph");
    EXPECT_EQ(records[0].nLine, 644);
    EXPECT_EQ(records[1].strCode, "EGi067");
    EXPECT_EQ(records[1].strMessage, "");
    EXPECT_EQ(records[1].nLine, 12);
    EXPECT_EQ(records[2].strCode, "");
    // Day 25569 is 1970-01-01; local time differs from UTC by less than a day.
    const double utcDay = 25569.0 + static_cast<double>(std::time(nullptr)) / 86400.0;
    EXPECT_LT(std::fabs(records[0].dTime - utcDay), 1.0);

    Log().ClearRecords();
    EXPECT_TRUE(Log().GetRecords().empty());
}

TEST_F(KrLogFileTest, DropsTheOldestBeyondTheLimit) {
    Log().SetMaxRecords(3);
    for (const char* code : {"A", "B", "C", "D", "E"})
        Log().RecordLog(400, code, "src", 1);
    std::vector<std::string> codes;
    for (const KRS::KrLogRecord& r : Log().GetRecords())
        codes.push_back(r.strCode.Str());
    EXPECT_EQ(codes, (std::vector<std::string>{"C", "D", "E"}));
    Log().SetMaxRecords(1);
    ASSERT_EQ(Log().GetRecords().size(), 1u);
    EXPECT_EQ(Log().GetRecords()[0].strCode, "E");
}

TEST_F(KrLogFileTest, AppendsOneLinePerRecordToTheConfiguredFile) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "KrLogFileTest.log").string();
    std::remove(path.c_str());
    Log().RecordLog(400, "BEFORE", "src", 1);
    Log().SetLogFilePath(path);
    Log().RecordLog(400, "EGg041", TovoMBString("two\nlines"), "Src/Theme3DBase/KrTheme3DGraph",
                    392);
    Log().RecordLog(400, "EEe007", "Src/Theme3DBase/KrTheme3DRange", 7);
    Log().SetLogFilePath("");
    Log().RecordLog(400, "AFTER", "src", 1);

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\t400\tEGg041\ttwo lines\tSrc/Theme3DBase/KrTheme3DGraph:392"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("\tEEe007\t\tSrc/Theme3DBase/KrTheme3DRange:7"), std::string::npos)
        << lines[1];
    EXPECT_EQ(Log().GetRecords().size(), 4u);
    std::remove(path.c_str());
}

TEST_F(KrLogFileTest, RecordsFromManyThreadsAreAllKept) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 250; ++i)
                KrLogFile::GetInstance().RecordLog(400, "T", "thread", i);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(Log().GetRecords().size(), 1000u);
}

TEST(KrStringEx, EveryLoggedCodeHasATextWithOneClassNameConversion) {
    for (const char* code :
         {"EGi067", "EGi069", "EEe007", "EGi055", "EGi063", "EGg040", "EGg041"}) {
        KrStringEx s;
        ASSERT_TRUE(s.LoadResString(code)) << code;
        const int first = s.Find("%s");
        ASSERT_GE(first, 0) << code;
        EXPECT_EQ(s.Find('%', first + 1), -1) << code;
        TovoMBString message;
        message.Format(s.c_str(), "KrTheme3DGraph");
        EXPECT_EQ(message.Find("KrTheme3DGraph"), first) << code;
    }
    KrStringEx unknown("left over");
    EXPECT_FALSE(unknown.LoadResString("XYZ001"));
    EXPECT_TRUE(unknown.IsEmpty());
    EXPECT_FALSE(unknown.LoadResString(nullptr));
}
