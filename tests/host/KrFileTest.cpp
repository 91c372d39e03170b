// Path functions: both separators, lexical normalisation, and how the themes store icon names.
#include "VyStream600/KrFile.h"

#include <gtest/gtest.h>

using KRS::KrFile;
using TOVO::TovoMBString;

// 'R' the relative path of a directory from a base, 'A' the absolute path of a name against it,
// 'I' how the themes store an icon name (relative directory, then the name).
TEST(KrFile, PathTable) {
    const struct {
        char cOp;
        const char *szBase, *szPath, *szExpected;
    } cases[] = {
        {'R', "/data/project/scene.xml", "/data/other/", "../other/"},
        {'R', "/data/project/scene.xml", "/data/project/", ""},
        {'R', "/data/project/", "/data/project/icons", "icons/"},
        {'R', "/data/./project/../project/s.xml", "/data/project/a/./b/../c/", "a/c/"},
        {'R', "c:/maps/scene.xml", "C:\\Icons\\", "../Icons/"}, // in the base's separators
        {'R', "C:\\maps\\scene.xml", "D:\\icons\\", "D:\\icons\\"},
        {'R', "/data/scene.xml", "icons/./", "icons/./"},       // already relative: unchanged
        {'R', "", "/data/./icons/", "/data/./icons/"},          // no base: unchanged
        {'R', "rel/scene.xml", "/data/icons/", "/data/icons/"}, // relative base
        {'A', "/data/project/", "./a/../b.png", "/data/project/b.png"},
        {'A', "/data/scene.xml", "../../../up.png", "/up.png"},
        {'A', "C:\\maps\\scene.xml", "..\\icons\\a.png", "C:\\icons\\a.png"},
        {'A', "/data/project/scene.xml", "", "/data/project/"},
        {'A', "/data/project/scene.xml", "/abs//x/./y.png", "/abs//x/./y.png"},
        {'A', "", "a/../b.png", "a/../b.png"},
        {'I', "/data/project/scene.xml", "/data/project/icons/a.png", "icons/a.png"},
        {'I', "/data/project/scene.xml", "/data/other/b.png", "../other/b.png"},
        {'I', "/data/project/", "/d.png", "../../d.png"},
        {'I', "/data/project/", "/data/project/icons/..", "icons/.."}, // a name is never resolved
        {'I', "D:\\gis\\scene.xml", "D:\\gis\\sym\\e.png", "sym\\e.png"},
        {'I', "", "C:/odd\\.//f.png", "C:/odd\\.//f.png"},
        {'I', "rel/scene.xml", "/x/./g.png", "/x/./g.png"},
    };
    for (const auto& c : cases) {
        TovoMBString result;
        if (c.cOp == 'R')
            result = KrFile::GetRelativePath(c.szBase, c.szPath);
        else if (c.cOp == 'A')
            result = KrFile::GetAbsolutePath(c.szBase, c.szPath);
        else
            result = KrFile::GetRelativePath(c.szBase, KrFile::GetDir(c.szPath)) +
                     KrFile::GetName(c.szPath);
        EXPECT_EQ(result, c.szExpected) << c.cOp << " " << c.szBase << " | " << c.szPath;
    }
}
