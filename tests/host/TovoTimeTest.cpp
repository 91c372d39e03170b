// Day numbers, their calendar parts, rounding to the second, validity and strftime-style text.
#include "VyBase600/TovoTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using TOVO::TovoTime;

namespace {

struct Parts {
    int y, mo, d, h, mi, s;
};

} // namespace

// Day numbers worked out by counting days from 1899-12-30; times as seconds / 86400. The last
// four round to the nearest second (rolling over into the next day) and are read one way only.
TEST(TovoTimeTest, DayNumbersAndPartsAgreeBothWays) {
    const struct {
        double day;
        Parts parts;
    } cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0}},
        {41222.0 + 29103.0 / 86400.0, {2012, 11, 9, 8, 5, 3}},
        {-1.25, {1899, 12, 29, 6, 0, 0}},
        {-36522.5, {1800, 1, 1, 12, 0, 0}},
        {61.0, {1900, 3, 1, 0, 0, 0}},
        {36585.0 + 86399.0 / 86400.0, {2000, 2, 29, 23, 59, 59}},
        {-693593.0, {1, 1, 1, 0, 0, 0}},
        {2958465.0 + 86399.0 / 86400.0, {9999, 12, 31, 23, 59, 59}},
        {41222.5 + 0.4 / 86400.0, {2012, 11, 9, 12, 0, 0}},
        {41222.5 + 0.6 / 86400.0, {2012, 11, 9, 12, 0, 1}},
        {36585.0 + 86399.7 / 86400.0, {2000, 3, 1, 0, 0, 0}},
        {-1.9999999999, {1899, 12, 30, 0, 0, 0}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.day);
        const Parts& p = c.parts;
        const TovoTime t(c.day);
        EXPECT_EQ((std::vector<int>{t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(),
                                    t.GetMinute(), t.GetSecond()}),
                  (std::vector<int>{p.y, p.mo, p.d, p.h, p.mi, p.s}));
        if (i < std::size(cases) - 4) {
            EXPECT_NEAR(TovoTime(p.y, p.mo, p.d, p.h, p.mi, p.s).GetDayNumber(), c.day, 1e-9);
        }
    }
}

TEST(TovoTimeTest, ValidOnlyForRealDatesOfTheYearsOneTo9999) {
    for (double day : {-693594.0, 2958465.0 + 86399.9 / 86400.0, 1e300, HUGE_VAL, std::nan("")}) {
        const TovoTime t(day);
        EXPECT_EQ(t.GetYear() + t.GetMonth() + t.GetDay() + t.GetHour(), 0) << day;
    }
    for (const Parts& p :
         {Parts{1900, 2, 29, 0, 0, 0}, Parts{2012, 4, 31, 0, 0, 0}, Parts{2012, 13, 1, 0, 0, 0},
          Parts{0, 1, 1, 0, 0, 0}, Parts{2012, 1, 1, 24, 0, 0}, Parts{2012, 1, 1, 0, 0, -1}})
        EXPECT_EQ(TovoTime(p.y, p.mo, p.d, p.h, p.mi, p.s).GetDayNumber(), 0.0)
            << p.y << '-' << p.mo;
    // Every month's last day is a date and the day after it none, in common and leap years.
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int year : {1900, 2000, 2023, 2024})
        for (int month = 1; month <= 12; ++month) {
            const int last = lengths[month - 1] + (month == 2 && (year == 2000 || year == 2024));
            EXPECT_TRUE(TovoTime(year, month, last).IsValid()) << year << "-" << month;
            EXPECT_FALSE(TovoTime(year, month, last + 1).IsValid()) << year << "-" << month;
        }
}

TEST(TovoTimeTest, FormatsLikeStrftime) {
    const TovoTime t(2012, 11, 9, 8, 5, 3);
    EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "2012-11-09 08:05:03");
    EXPECT_EQ(t.Format("%y %j %a %A %b %B %p %I %w %%"),
              "12 314 Fri Friday Nov November AM 08 5 %");
    EXPECT_EQ(TovoTime(2012, 1, 5, 12, 0, 0).Format("%I%p %j"), "12PM 005");
    EXPECT_EQ(TovoTime(1, 1, 1).Format("%Y|%y|%a"), "1|01|Mon");
    EXPECT_EQ(TovoTime(0.0).Format("%a %j"), "Sat 364");
    EXPECT_EQ(t.Format(nullptr), "");
}
