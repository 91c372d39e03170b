// Path functions: both separators, lexical normalisation, and how the themes store icon names.
#include "VyStream600/KrFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

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
    EXPECT_EQ(KrFile::GetDir("a\\b/c.png") + "|" + KrFile::GetName("a\\b/c.png"), "a\\b/|c.png");
    EXPECT_EQ(KrFile::GetDir("c.png") + "|" + KrFile::GetName("c.png") + "|" +
                  KrFile::GetName("d/"),
              "|c.png|");
}

TEST(KrFile, RelativePathFromAFileOrDirectoryBase) {
    const PathCase cases[] = {
        {"/data/project/scene.xml", "/data/other/", "../other/"},
        {"/data/project/scene.xml", "/data/project/", ""},
        {"/data/project/", "/data/project/icons", "icons/"},
        {"/data/./project/../project/s.xml", "/data/project/a/./b/../c/", "a/c/"},
        {"c:/maps/scene.xml", "C:\\Icons\\", "../Icons/"}, // in the base's separators
        {"C:\\maps\\scene.xml", "D:\\icons\\", "D:\\icons\\"},
        {"/data/scene.xml", "icons/./", "icons/./"},       // already relative: unchanged
        {"", "/data/./icons/", "/data/./icons/"},          // no base: unchanged
        {"rel/scene.xml", "/data/icons/", "/data/icons/"}, // relative base
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(KrFile::GetRelativePath(c.szBase, c.szPath), c.szExpected)
            << c.szBase << " | " << c.szPath;
}

TEST(KrFile, AbsolutePathAgainstTheBaseDirectory) {
    const PathCase cases[] = {
        {"/data/project/", "./a/../b.png", "/data/project/b.png"},
        {"/data/scene.xml", "../../../up.png", "/up.png"},
        {"C:\\maps\\scene.xml", "..\\icons\\a.png", "C:\\icons\\a.png"},
        {"/data/project/scene.xml", "", "/data/project/"},
        {"/data/project/scene.xml", "/abs//x/./y.png", "/abs//x/./y.png"}, // absolute: unchanged
        {"", "a/../b.png", "a/../b.png"},                                  // no base: unchanged
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(KrFile::GetAbsolutePath(c.szBase, c.szPath), c.szExpected)
            << c.szBase << " | " << c.szPath;
}

// How the themes store an icon name (relative directory, then the name) and read it back.
TEST(KrFile, IconNameRoundTripRestoresTheName) {
    const PathCase cases[] = {
        {"/data/project/scene.xml", "/data/project/icons/a.png", "icons/a.png"},
        {"/data/project/scene.xml", "/data/other/b.png", "../other/b.png"},
        {"/data/project/", "/d.png", "../../d.png"},
        {"/data/project/", "/data/project/icons/..", "icons/.."}, // a name is never resolved
        {"D:\\gis\\scene.xml", "D:\\gis\\sym\\e.png", "sym\\e.png"},
        {"", "C:/odd\\.//f.png", "C:/odd\\.//f.png"},
        {"rel/scene.xml", "/x/./g.png", "/x/./g.png"},
    };
    for (const PathCase& c : cases) {
        const TovoMBString stored =
            KrFile::GetRelativePath(c.szBase, KrFile::GetDir(c.szPath)) + KrFile::GetName(c.szPath);
        EXPECT_EQ(stored, c.szExpected) << c.szPath;
        EXPECT_EQ(KrFile::GetAbsolutePath(c.szBase, stored), c.szPath) << c.szPath;
    }
}

TEST(KrFile, ExistingDirectoryBaseCountsAsADirectory) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("KrFileTest" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string base = dir.generic_string(); // no trailing separator
    EXPECT_EQ(KrFile::GetRelativePath(base, base + "/icons/"), "icons/");
    EXPECT_EQ(KrFile::GetAbsolutePath(base, "a.png"), base + "/a.png");
    std::filesystem::remove(dir);
    // Now only a file name: its directory part is the base.
    EXPECT_EQ(KrFile::GetAbsolutePath(base, "a.png"), KrFile::GetDir(base) + "a.png");
}
