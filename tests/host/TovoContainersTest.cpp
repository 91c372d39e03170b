// The array's and the dictionary's edge rules.
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoDict.h"
#include "VyBase600/TovoMBString.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using TOVO::TovoArray;
using TOVO::TovoDict;
using TOVO::TovoMBString;
using Ints = std::vector<int>;

namespace {

TovoArray<int> Make(std::initializer_list<int> values) {
    TovoArray<int> a;
    for (int v : values)
        a.Add(v);
    return a;
}

Ints Items(const TovoArray<int>& a) {
    return Ints(a.begin(), a.end());
}

} // namespace

TEST(TovoContainersTest, InsertAtBeforeThePositionOrAppends) {
    const struct {
        int index, count;
        Ints out;
    } cases[] = {
        {0, 1, {9, 1, 2, 3}}, {1, 2, {1, 9, 9, 2, 3}},  {3, 1, {1, 2, 3, 9}},
        {4, 1, {1, 2, 3, 9}}, {-1, 2, {1, 2, 3, 9, 9}}, {1, 0, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        TovoArray<int> a = Make({1, 2, 3});
        a.InsertAt(c.index, 9, c.count);
        EXPECT_EQ(Items(a), c.out) << "at " << c.index << " count " << c.count;
    }
    TovoArray<int> a = Make({1, 2, 3});
    a.InsertAt(0, a[2], 2); // a value from the array itself
    EXPECT_EQ(Items(a), (Ints{3, 3, 1, 2, 3}));
    TovoArray<int> b = Make({1, 2});
    b.InsertAt(1, b);
    b.InsertAt(-5, Make({7}));
    EXPECT_EQ(Items(b), (Ints{1, 1, 2, 2, 7}));
}

TEST(TovoContainersTest, RemoveAtReturnsHowManyWentAway) {
    const struct {
        int index, count, removed;
        Ints out;
    } cases[] = {
        {1, 2, 2, {1, 4}},        {2, 9, 2, {1, 2}},       {4, 1, 0, {1, 2, 3, 4}},
        {-1, 1, 0, {1, 2, 3, 4}}, {1, 0, 0, {1, 2, 3, 4}}, {1, -2, 0, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        TovoArray<int> a = Make({1, 2, 3, 4});
        EXPECT_EQ(a.RemoveAt(c.index, c.count), c.removed) << "at " << c.index;
        EXPECT_EQ(Items(a), c.out) << "at " << c.index << " count " << c.count;
    }
}

TEST(TovoContainersTest, OutOfRangeThrowsBeforeAnyChange) {
    TovoArray<int> a = Make({1, 2, 3});
    EXPECT_THROW(a.SetAt(3, 9), std::out_of_range);
    EXPECT_THROW(a.GetAt(-1), std::out_of_range);
    EXPECT_THROW(a.ElementAt(-1) = 9, std::out_of_range);
    EXPECT_THROW(a[3] = 9, std::out_of_range);
    EXPECT_EQ(Items(a), (Ints{1, 2, 3}));
    EXPECT_THROW(TovoArray<int>().GetAt(0), std::out_of_range);
}

TEST(TovoContainersTest, SetSizeZeroFillsAndCopiesKeepTheGrowSize) {
    TovoArray<int> a;
    a.SetSize(3, 16);
    EXPECT_EQ(a.Add(5), 3);
    TovoArray<int> copy(a), assigned;
    assigned = a;
    a.SetAt(0, 1);
    EXPECT_EQ(Items(copy), (Ints{0, 0, 0, 5}));
    EXPECT_EQ(Items(assigned), (Ints{0, 0, 0, 5}));
    EXPECT_TRUE(copy.GetGrowBy() == 16 && assigned.GetGrowBy() == 16);
    TovoArray<TovoMBString> s;
    s.SetSize(2);
    EXPECT_TRUE(s[1].IsEmpty());
}

TEST(TovoContainersTest, DictionaryLooksUpInsertsAndIteratesInKeyOrder) {
    TovoDict<TovoMBString, int> d;
    d.SetAt("b", 2);
    d["a"] = 1;
    d.SetAt("B", 3);
    d.SetAt("b", 4);
    int v = -1;
    EXPECT_TRUE(d.Lookup("b", v));
    EXPECT_FALSE(d.Lookup("c", v));
    EXPECT_EQ(v, 4);      // untouched by the failed lookup
    EXPECT_EQ(d["c"], 0); // indexing inserts
    std::string keys;
    for (const auto& kv : d)
        keys += kv.first.Str();
    EXPECT_EQ(keys, "Babc");
    EXPECT_TRUE(d.RemoveKey("a"));
    EXPECT_FALSE(d.RemoveKey("a"));
    EXPECT_EQ(d.GetCount(), 3);
}
