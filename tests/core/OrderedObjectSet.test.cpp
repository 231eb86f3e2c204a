#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "vintrel/core/OrderedObjectSet.h"

namespace vt::test {
namespace {

// The set never dereferences its pointers, so addresses of plain storage do.
Object* fake(int i) {
    static char storage[64];
    return reinterpret_cast<Object*>(&storage[i]);
}

std::vector<Object*> items(const OrderedObjectSet& set) {
    const ObjectList list = set.toList();
    std::vector<Object*> held;
    for (int i = 0; i < list.getCount(); i++)
        held.push_back(list[i]);
    return held;
}

TEST(OrderedObjectSetTest, KeepsInsertionOrderThroughRemovalsAndHoldsEachOnce) {
    OrderedObjectSet set;
    std::vector<Object*> expected;
    for (int i = 0; i < 40; i++) {
        ASSERT_EQ(set.insert(fake(i)), 0);
        expected.push_back(fake(i));
    }
    EXPECT_EQ(set.insert(fake(3)), -1);
    EXPECT_EQ(set.insert(nullptr), -1);
    // Enough removals, first, middle and last, for the gaps to be closed.
    for (int i : {0, 39, 38, 5, 6, 7, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35}) {
        ASSERT_EQ(set.remove(fake(i)), 0);
        expected.erase(std::find(expected.begin(), expected.end(), fake(i)));
        ASSERT_EQ(items(set), expected) << "after removing " << i;
    }
    EXPECT_EQ(set.remove(fake(0)), -1);
    EXPECT_FALSE(set.contains(fake(0)));
    ASSERT_EQ(set.insert(fake(0)), 0) << "a removed pointer can come back, at the end";
    expected.push_back(fake(0));
    EXPECT_EQ(items(set), expected);
    EXPECT_EQ(set.getCount(), static_cast<int>(expected.size()));
}

} // namespace
} // namespace vt::test
