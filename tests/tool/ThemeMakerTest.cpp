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

TEST(ThemeMaker, MethodNamesMapToTheRangeThemeCodes) {
    const std::vector<std::pair<std::string, int>> table = {
        {"equal", 0},    {"sqrt", 1},    {"stdev", 2},   {"log", 3},
        {"quantile", 4}, {"natural", 4}, {"interval", 5}};
    for (const auto& row : table)
        EXPECT_EQ(ThemeMaker::MethodCode(row.first), row.second) << row.first;
    EXPECT_THROW(ThemeMaker::MethodCode("jenks"), theme3d::ToolError);
}
