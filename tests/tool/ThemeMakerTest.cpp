#include "ThemeMaker.h"
#include "ToolError.h"

#include <gtest/gtest.h>

using theme3d::ThemeMaker;

TEST(ThemeMaker, CaptionsNameEachRange) {
    EXPECT_EQ(ThemeMaker::RangeCaptions({15}), (std::vector<std::string>{"< 15", ">= 15"}));
    EXPECT_EQ(ThemeMaker::RangeCaptions({1.5, 72.77123, 1e6}),
              (std::vector<std::string>{"< 1.5", "1.5 - 72.7712", "72.7712 - 1e+06", ">= 1e+06"}));
    EXPECT_TRUE(ThemeMaker::RangeCaptions({}).empty());
}

TEST(ThemeMaker, ChartBoundsAreTheExtentWidenedToAMinimum) {
    const TOVO::TovoRect2D wide = ThemeMaker::ChartBounds({0.0, 10.0, 20.0, 30.0});
    EXPECT_EQ(wide.xmin, 0.0);
    EXPECT_EQ(wide.ymax, 30.0);
    const TOVO::TovoRect2D point = ThemeMaker::ChartBounds({5.0, 6.0, 5.0, 6.0});
    EXPECT_DOUBLE_EQ(point.xmin, 4.995);
    EXPECT_DOUBLE_EQ(point.xmax, 5.005);
    EXPECT_NEAR(point.Height(), 0.01, 1e-12);
    EXPECT_EQ(ThemeMaker::ChartBounds({1.0, 1.0, -1.0, -1.0}).Width(), 0.0); // no geometry
}
