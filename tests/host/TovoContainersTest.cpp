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

namespace {

TovoArray<int> Make(std::initializer_list<int> values) {
    TovoArray<int> a;
    for (int v : values)
        a.Add(v);
    return a;
}

std::vector<int> Items(const TovoArray<int>& a) {
    return std::vector<int>(a.begin(), a.end());
}

} // namespace

TEST(TovoContainersTest, InsertAtPositionsAndCounts) {
    const struct {
        int index, count;
        std::vector<int> out;
    } cases[] = {
        {0, 1, {9, 1, 2, 3}}, {1, 2, {1, 9, 9, 2, 3}},  {3, 1, {1, 2, 3, 9}},
        {4, 1, {1, 2, 3, 9}}, {-1, 2, {1, 2, 3, 9, 9}}, {1, 0, {1, 2, 3}},
        {1, -3, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        TovoArray<int> a = Make({1, 2, 3});
        a.InsertAt(c.index, 9, c.count);
        EXPECT_EQ(Items(a), c.out) << "at " << c.index << " count " << c.count;
    }
    TovoArray<int> a = Make({1, 2, 3});
    a.InsertAt(0, a[2], 2); // a value from the array itself
    EXPECT_EQ(Items(a), (std::vector<int>{3, 3, 1, 2, 3}));
    TovoArray<int> b = Make({1, 2});
    b.InsertAt(1, b);
    EXPECT_EQ(Items(b), (std::vector<int>{1, 1, 2, 2}));
    b.InsertAt(-5, Make({7, 8}));
    EXPECT_EQ(Items(b), (std::vector<int>{1, 1, 2, 2, 7, 8}));
}

TEST(TovoContainersTest, RemoveAtReturnsHowManyWentAway) {
    const struct {
        int index, count, removed;
        std::vector<int> out;
    } cases[] = {
        {1, 1, 1, {1, 3, 4}},    {1, 2, 2, {1, 4}},        {2, 9, 2, {1, 2}},
        {0, 4, 4, {}},           {4, 1, 0, {1, 2, 3, 4}},  {-1, 1, 0, {1, 2, 3, 4}},
        {1, 0, 0, {1, 2, 3, 4}}, {1, -2, 0, {1, 2, 3, 4}},
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
    EXPECT_THROW(a.SetAt(-1, 9), std::out_of_range);
    EXPECT_THROW(a.GetAt(3), std::out_of_range);
    EXPECT_THROW(a.ElementAt(-1) = 9, std::out_of_range);
    EXPECT_THROW(a[3] = 9, std::out_of_range);
    const TovoArray<int>& c = a;
    EXPECT_THROW(c[-1], std::out_of_range);
    EXPECT_EQ(Items(a), (std::vector<int>{1, 2, 3}));
    EXPECT_THROW(TovoArray<int>().GetAt(0), std::out_of_range);
}

TEST(TovoContainersTest, SizesAndCopies) {
    TovoArray<int> a;
    a.SetSize(3, 16);
    EXPECT_EQ(Items(a), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(a.Add(5), 3);
    const TovoArray<int> copy(a);
    TovoArray<int> assigned;
    assigned = a;
    TovoArray<int> copied;
    copied.Copy(a);
    const std::vector<const TovoArray<int>*> copies{&copy, &assigned, &copied};
    for (const TovoArray<int>* x : copies) {
        EXPECT_EQ(x->GetGrowBy(), 16);
        EXPECT_EQ(Items(*x), (std::vector<int>{0, 0, 0, 5}));
    }
    a.SetAt(0, 1);
    EXPECT_EQ(copy.GetAt(0), 0);
    a.SetSize(-4);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetGrowBy(), 16);
    TovoArray<TovoMBString> s;
    s.SetSize(2);
    EXPECT_TRUE(s[1].IsEmpty());
    TovoArray<int> self = Make({1, 2});
    EXPECT_EQ(self.Append(self), 2);
    EXPECT_EQ(Items(self), (std::vector<int>{1, 2, 1, 2}));
}

TEST(TovoContainersTest, DictionaryLooksUpInsertsAndIteratesInKeyOrder) {
    TovoDict<TovoMBString, int> d;
    d.SetAt("b", 2);
    d["a"] = 1;
    d.SetAt("B", 3);
    d.SetAt("b", 4);
    int v = -1;
    EXPECT_TRUE(d.Lookup("b", v));
    EXPECT_EQ(v, 4);
    v = -1;
    EXPECT_FALSE(d.Lookup("c", v));
    EXPECT_EQ(v, -1);
    EXPECT_EQ(d.PLookup("c"), nullptr);
    EXPECT_EQ(d["c"], 0); // indexing inserts
    EXPECT_EQ(d.GetCount(), 4);
    std::string keys;
    for (const auto& kv : d)
        keys += kv.first.Str();
    EXPECT_EQ(keys, "Babc");
    EXPECT_TRUE(d.RemoveKey("a"));
    EXPECT_FALSE(d.RemoveKey("a"));
    EXPECT_EQ(d.GetCount(), 3);
    d.RemoveAll();
    EXPECT_TRUE(d.IsEmpty());
}
