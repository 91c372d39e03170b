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

TEST(GlbWriter, SizeCountsHeaderChunksAndPadding) {
    EXPECT_EQ(GlbWriter::Size(10, 5), 48u); // 12 + 8 + 12 (JSON padded) + 8 + 8 (binary padded)
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
