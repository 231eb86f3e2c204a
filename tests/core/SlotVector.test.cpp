#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "vintrel/core/SlotVector.h"

namespace vt::test {
namespace {

// The vector never dereferences its pointers, so addresses of plain storage do.
Object* fake(int i) {
    static char storage[128];
    return reinterpret_cast<Object*>(&storage[i]);
}

// Removals from the front (whose gaps are dropped without renumbering), the
// back and the middle (whose gaps compact closes), each checked against the
// places the holders were told.
TEST(SlotVectorTest, EveryPointerStaysAtThePlaceItsHolderKnows) {
    SlotVector slots;
    std::map<Object*, std::size_t> places;
    std::vector<Object*> order;
    for (int i = 0; i < 100; i++) {
        places[fake(i)] = slots.nextPlace();
        ASSERT_TRUE(slots.append(fake(i)));
        order.push_back(fake(i));
    }
    // Half from the front, then enough in the middle for the gaps to outnumber the rest.
    std::vector<int> removals;
    for (int i = 0; i < 60; i++)
        removals.push_back(i);
    for (int i = 61; i < 98; i += 2)
        removals.push_back(i);
    removals.insert(removals.end(), {99, 62, 64, 66});
    int compactions = 0;
    for (int i : removals) {
        SCOPED_TRACE(i);
        ASSERT_EQ(slots.at(places[fake(i)]), fake(i));
        if (slots.vacate(places[fake(i)])) {
            compactions++;
            slots.compact([&places](Object* p_o, std::size_t place) { places[p_o] = place; });
        }
        places.erase(fake(i));
        order.erase(std::find(order.begin(), order.end(), fake(i)));
        ASSERT_EQ(slots.getCount(), order.size());
        EXPECT_EQ(slots.first(), order.front());
        for (const auto& [p_o, place] : places)
            ASSERT_EQ(slots.at(place), p_o);
        const ObjectList list = slots.toList();
        ASSERT_EQ(list.getCount(), static_cast<int>(order.size()));
        for (std::size_t k = 0; k < order.size(); k++)
            ASSERT_EQ(list[static_cast<int>(k)], order[k]);
    }
    EXPECT_GT(compactions, 0);
    EXPECT_EQ(slots.at(slots.nextPlace()), nullptr);
    for (Object* p_o : std::vector<Object*>(order))
        slots.vacate(places[p_o]);
    EXPECT_EQ(slots.getCount(), 0u);
    EXPECT_EQ(slots.first(), nullptr);
    EXPECT_EQ(slots.nextPlace(), 0u) << "emptied, places start again from 0";
}

} // namespace
} // namespace vt::test
