#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "vintrel/core/ObjectList.h"
#include "vintrel/core/ObjectListIterator.h"

namespace vt::test {
namespace {

// The list never dereferences its pointers, so addresses of plain storage do.
Object* fake(int i) {
    static char storage[16];
    return reinterpret_cast<Object*>(&storage[i]);
}

TEST(ObjectListTest, GrowsByDoubling) {
    ObjectList list;
    EXPECT_EQ(list.getCapacity(), 1);
    std::vector<int> capacities;
    for (int i = 0; i < 5; i++) {
        ASSERT_EQ(list.insert(fake(i)), 0);
        capacities.push_back(list.getCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8}));
    EXPECT_EQ(list.getCount(), 5);
}

TEST(ObjectListTest, InsertRemoveAndIndexing) {
    ObjectList list;
    EXPECT_EQ(list.insert(nullptr), -1);
    EXPECT_TRUE(list.isEmpty());
    list.insert(fake(0));
    list.insert(fake(1));
    list.insert(fake(2));
    list.insert(fake(1));
    EXPECT_EQ(list.remove(fake(1)), 0);
    EXPECT_EQ(list.getCount(), 3);
    EXPECT_EQ(list[0], fake(0));
    EXPECT_EQ(list[1], fake(2));
    EXPECT_EQ(list[2], fake(1));
    EXPECT_EQ(list.remove(fake(9)), -1);
    try {
        (void)list[3];
        FAIL() << "index 3 of 3 items did not throw";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "Invalid index!");
    }
    EXPECT_THROW((void)list[-1], std::out_of_range);
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.getCapacity(), 4);
}

TEST(ObjectListTest, CopiesAreIndependentAndSumsSkipNothingButNulls) {
    ObjectList a;
    a.insert(fake(0));
    a.insert(fake(1));
    ObjectList b = a;
    b.remove(fake(0));
    EXPECT_EQ(a.getCount(), 2);
    EXPECT_EQ(b.getCount(), 1);
    ObjectList c;
    c = a;
    c = c;
    EXPECT_EQ(c.getCount(), 2);
    const ObjectList sum = a + b;
    ASSERT_EQ(sum.getCount(), 3);
    EXPECT_EQ(sum[2], fake(1));
}

TEST(ObjectListTest, IteratorWalksAndStopsAtTheEnd) {
    ObjectList list;
    list.insert(fake(0));
    list.insert(fake(1));
    ObjectListIterator li(&list);
    std::vector<Object*> seen;
    for (li.first(); !li.isDone(); li.next())
        seen.push_back(li.currentObject());
    EXPECT_EQ(seen, (std::vector<Object*>{fake(0), fake(1)}));
    li.next();
    EXPECT_TRUE(li.isDone());
    EXPECT_EQ(li.currentObject(), nullptr);
    ObjectList empty;
    ObjectListIterator le(&empty);
    EXPECT_TRUE(le.isDone());
}

} // namespace
} // namespace vt::test
