// The array and the dictionary against the standard containers, under random operations: an
// index outside the array appends on insertion and removes nothing, a removal is cut at the end
// and says how much went, and element access outside throws before any change.
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoDict.h"
#include "VyBase600/TovoMBString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using TOVO::TovoArray;
using TOVO::TovoDict;
using TOVO::TovoMBString;

TEST(TovoContainersTest, ArrayAnswersAsAVectorUnderRandomOperations) {
    std::mt19937 gen(7);
    auto pick = [&](int nLow, int nHigh) {
        return std::uniform_int_distribution(nLow, nHigh)(gen);
    };
    for (int round = 0; round < 200; ++round) {
        TovoArray<int> array;
        std::vector<int> model;
        for (int step = 0; step < 30; ++step) {
            const int size = static_cast<int>(model.size());
            const int index = pick(-2, size + 2), count = pick(-1, 3), value = pick(0, 99);
            const auto at = [&](int i) { return model.begin() + (i < 0 || i > size ? size : i); };
            switch (pick(0, 4)) {
            case 0:
                ASSERT_EQ(array.Add(value), size);
                model.push_back(value);
                break;
            case 1: // a value from the array itself is inserted as it was
                array.InsertAt(index, size ? array[0] : value, count);
                model.insert(at(index), std::max(count, 0), size ? model[0] : value);
                break;
            case 2: {
                TovoArray<int> other, assigned;
                other.SetSize(count, 4); // zeros
                other.Add(value);
                assigned = TovoArray<int>(other); // copies keep the grow size
                ASSERT_EQ(assigned.GetGrowBy(), 4);
                array.InsertAt(index, assigned);
                model.insert(at(index), std::max(count, 0), 0);
                model.insert(at(index) + std::max(count, 0), value);
                break;
            }
            case 3: {
                const int removed =
                    count <= 0 || index < 0 || index >= size ? 0 : std::min(count, size - index);
                ASSERT_EQ(array.RemoveAt(index, count), removed) << index << " " << count;
                model.erase(model.begin() + std::max(index, 0),
                            model.begin() + std::max(index, 0) + removed);
                break;
            }
            default:
                if (index >= 0 && index < size) {
                    array.SetAt(index, value);
                    model[index] = value;
                } else {
                    EXPECT_THROW(array.SetAt(index, value), std::out_of_range);
                    EXPECT_THROW(array[index] = value, std::out_of_range);
                    EXPECT_THROW(array.GetAt(index), std::out_of_range);
                }
            }
            ASSERT_EQ(std::vector<int>(array.begin(), array.end()), model) << round << " " << step;
        }
    }
}

TEST(TovoContainersTest, DictionaryAnswersAsAMapUnderRandomOperations) {
    std::mt19937 gen(11);
    TovoDict<TovoMBString, int> dict;
    std::map<std::string, int> model;
    const char* const keys[] = {"a", "B", "b", "ab", "", "A"};
    for (int step = 0; step < 2000; ++step) {
        const std::string key = keys[gen() % 6];
        const int value = static_cast<int>(gen() % 100);
        int found = -1;
        switch (gen() % 4) {
        case 0:
            dict.SetAt(key.c_str(), value);
            model[key] = value;
            break;
        case 1:
            EXPECT_EQ(dict[key.c_str()], model[key]); // indexing inserts
            break;
        case 2:
            EXPECT_EQ(dict.RemoveKey(key.c_str()), model.erase(key) == 1);
            break;
        default:
            ASSERT_EQ(dict.Lookup(key.c_str(), found), model.count(key) == 1);
            EXPECT_EQ(found, model.count(key) ? model[key] : -1); // a miss leaves it alone
        }
        ASSERT_EQ(dict.GetCount(), static_cast<int>(model.size()));
        std::vector<std::pair<std::string, int>> entries; // in the map's order
        for (const auto& kv : dict)
            entries.emplace_back(kv.first.Str(), kv.second);
        ASSERT_EQ(entries, (std::vector<std::pair<std::string, int>>(model.begin(), model.end())));
    }
}
