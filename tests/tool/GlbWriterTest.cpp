#include "GlbWriter.h"
#include "CheckedFile.h"
#include "OutputFiles.h"
#include "ToolError.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using theme3d::GlbWriter;

namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t n = 0;
    std::memcpy(&n, bytes.data() + at, 4);
    return n;
}

} // namespace

TEST(GlbWriter, SizeCountsHeaderChunksAndPadding) {
    EXPECT_EQ(GlbWriter::Size(8, 0), 28u);                     // 12 + 8 + 8, no binary chunk
    EXPECT_EQ(GlbWriter::Size(10, 0), 32u);                    // the JSON padded to 12
    EXPECT_EQ(GlbWriter::Size(10, 5), 48u);                    // + 8 + 8
    EXPECT_EQ(GlbWriter::Size(4, 4294967268u), 4294967300ull); // past 32 bits, not wrapped
}

TEST(GlbWriter, ASceneOf4GiBOrMoreIsRefusedWithItsSize) {
    EXPECT_NO_THROW(GlbWriter::CheckSize(4294967295ull, "s.glb"));
    try {
        GlbWriter::CheckSize(6442450944ull, "s.glb");
        FAIL() << "a 6 GiB GLB was accepted";
    } catch (const theme3d::ToolError& e) {
        EXPECT_STREQ(e.what(), "cannot write 's.glb': scene too large for a GLB file: it would be "
                               "6442450944 bytes (6.00 GiB); a GLB holds at most 4 GiB");
    }
}

TEST(GlbWriter, WritesHeaderChunksAndPaddingAsGlbDefinesThem) {
    char szDir[] = "/tmp/theme3d-glb-XXXXXX";
    ASSERT_NE(mkdtemp(szDir), nullptr);
    const std::string strTarget = std::string(szDir) + "/s.glb";
    {
        theme3d::OutputFiles outputs;
        const auto pFile = outputs.Open(strTarget);
        GlbWriter::Write("{\"a\":1}xy", {1, 2, 3, 4, 5}, *pFile);
        pFile->Close();
        outputs.Commit();
    }
    std::ifstream in(strTarget, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string bytes = text.str();
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(U32(bytes, 4), 2u);
    EXPECT_EQ(U32(bytes, 8), 48u);
    EXPECT_EQ(U32(bytes, 12), 12u);
    EXPECT_EQ(bytes.substr(16, 4), "JSON");
    EXPECT_EQ(bytes.substr(20, 12), std::string("{\"a\":1}xy   "));
    EXPECT_EQ(U32(bytes, 32), 8u);
    EXPECT_EQ(bytes.substr(36, 4), std::string("BIN\0", 4));
    EXPECT_EQ(bytes.substr(40, 8), std::string("\1\2\3\4\5\0\0\0", 8));
    std::system(("rm -rf '" + std::string(szDir) + "'").c_str());
}
