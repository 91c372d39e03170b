#include "VyStream600/KrFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using KRS::KrFile;
using TOVO::TovoMBString;

namespace {

struct PathCase {
    const char* szBase;
    const char* szPath;
    const char* szExpected;
};

} // namespace

TEST(KrFile, DirAndNameSplitAtTheLastSeparatorOfEitherKind) {
    const PathCase cases[] = {{"", "a/b/c.png", "a/b/"},   {"", "c.png", ""},
                              {"", "/c.png", "/"},         {"", "C:\\x\\y.png", "C:\\x\\"},
                              {"", "a\\b/c.png", "a\\b/"}, {"", "dir/", "dir/"}};
    const char* const names[] = {"c.png", "c.png", "c.png", "y.png", "c.png", ""};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(KrFile::GetDir(cases[i].szPath), cases[i].szExpected) << cases[i].szPath;
        EXPECT_EQ(KrFile::GetName(cases[i].szPath), names[i]) << cases[i].szPath;
    }
}

TEST(KrFile, RelativePathFromAFileOrDirectoryBase) {
    const PathCase cases[] = {
        {"/data/project/scene.xml", "/data/project/icons/", "icons/"},
        {"/data/project/scene.xml", "/data/other/", "../other/"},
        {"/data/project/scene.xml", "/data/project/", ""},
        {"/data/project/", "/data/project/icons", "icons/"},
        {"/data/project/sub/", "/elsewhere/x/", "../../../elsewhere/x/"},
        {"/data/./project/../project/s.xml", "/data/project/a/./b/../c/", "a/c/"},
        {"C:\\maps\\scene.xml", "C:\\maps\\icons\\", "icons\\"},
        {"c:/maps/scene.xml", "C:\\Icons\\", "..\\Icons\\"},
        {"C:\\maps\\scene.xml", "D:\\icons\\", "D:\\icons\\"},
        {"/data/scene.xml", "icons/", "icons/"},           // already relative
        {"", "/data/icons/", "/data/icons/"},              // no base
        {"scene.xml", "/data/icons/", "/data/icons/"},     // base without a directory
        {"rel/scene.xml", "/data/icons/", "/data/icons/"}, // relative base
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(KrFile::GetRelativePath(c.szBase, c.szPath), c.szExpected)
            << c.szBase << " | " << c.szPath;
}

TEST(KrFile, AbsolutePathAgainstTheBaseDirectory) {
    const PathCase cases[] = {
        {"/data/project/scene.xml", "icons/a.png", "/data/project/icons/a.png"},
        {"/data/project/scene.xml", "../other/b.png", "/data/other/b.png"},
        {"/data/project/", "./a/../b.png", "/data/project/b.png"},
        {"/data/project/scene.xml", "/abs//x/./y.png", "/abs/x/y.png"},
        {"/data/scene.xml", "../../../up.png", "/up.png"},
        {"C:\\maps\\scene.xml", "..\\icons\\a.png", "C:\\icons\\a.png"},
        {"", "a/../b.png", "b.png"},
        {"", "../b.png", "../b.png"},
        {"/data/project/scene.xml", "", "/data/project/"},
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(KrFile::GetAbsolutePath(c.szBase, c.szPath), c.szExpected)
            << c.szBase << " | " << c.szPath;
}

// How the themes store an icon name and read it back.
TEST(KrFile, IconNameRoundTripRestoresTheAbsoluteName) {
    const PathCase cases[] = {
        {"/data/project/scene.xml", "/data/project/icons/a.png", "icons/a.png"},
        {"/data/project/scene.xml", "/data/other/b.png", "../other/b.png"},
        {"/data/project/scene.xml", "/data/project/c.png", "c.png"},
        {"/data/project/", "/d.png", "../../d.png"},
        {"D:\\gis\\scene.xml", "D:\\gis\\sym\\e.png", "sym\\e.png"},
    };
    for (const PathCase& c : cases) {
        const TovoMBString stored =
            KrFile::GetRelativePath(c.szBase, KrFile::GetDir(c.szPath)) + KrFile::GetName(c.szPath);
        EXPECT_EQ(stored, c.szExpected) << c.szPath;
        EXPECT_EQ(KrFile::GetAbsolutePath(c.szBase, stored), c.szPath) << c.szPath;
    }
}

TEST(KrFile, ExistingDirectoryBaseCountsAsADirectory) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "KrFileTestDir";
    std::filesystem::create_directories(dir);
    const std::string base = dir.string(); // no trailing separator
    EXPECT_TRUE(KrFile::IsDirectory(base));
    EXPECT_TRUE(KrFile::IsExist(base));
    EXPECT_EQ(KrFile::GetRelativePath(base, base + "/icons/"), "icons/");
    EXPECT_EQ(KrFile::GetAbsolutePath(base, "a.png"), base + "/a.png");
    std::filesystem::remove(dir);
    EXPECT_FALSE(KrFile::IsExist(base));
    // Now only a file name: its directory part is the base.
    EXPECT_EQ(KrFile::GetAbsolutePath(base, "a.png"), KrFile::GetDir(base) + "a.png");
    EXPECT_FALSE(KrFile::IsDirectory(""));
}

TEST(KrFile, AbsolutePathsByForm) {
    for (const char* p : {"/a", "\\a", "C:\\a", "c:/a", "//server/share"})
        EXPECT_TRUE(KrFile::IsAbsolute(p)) << p;
    for (const char* p : {"", "a/b", "./a", "..\\a", "C:a"})
        EXPECT_FALSE(KrFile::IsAbsolute(p)) << p;
}
