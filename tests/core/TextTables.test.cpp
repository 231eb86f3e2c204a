#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/TextTables.h"
#include "support/EngineTest.h"
#include "vintrel/events/Event.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// Configuration values and sprite numbers are read alike: atoi's prefix,
// saturated instead of overflowing.
TEST(TextTables, NumbersReadAsAtoiDoesWithoutOverflowing) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},
        {"  \t\n\v\f\r7", 7},
        {"+3", 3},
        {"-12abc", -12},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(text::toInt(c.text), c.expected);
    }
}

class NetworkEventRouting : public EngineTest {};

// An object's interest goes to the manager that accepts the name, so the
// two must agree on every network event name.
TEST_F(NetworkEventRouting, EveryNetworkEventGoesToTheNetworkManagerAndNoOtherName) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_o = new Object;
    for (const char* name :
         {EVENT_NETWORK, EVENT_NETWORK_ACCEPT, EVENT_NETWORK_CLOSE, EVENT_NETWORK_CONNECT,
          EVENT_NETWORK_CREATE, EVENT_NETWORK_DELETE, EVENT_NETWORK_SYNC, EVENT_NETWORK_GAME_OVER,
          EVENT_KEYBOARD_NETWORK, EVENT_MOUSE_NETWORK, EVENT_CUSTOM_NETWORK}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(p_o->registerInterest(name), 0);
        EXPECT_EQ(NetworkManager::getInstance().getInterested(name).getCount(), 1);
    }
    for (const char* name : {"vt-network-", "vt-networking", "VT-NETWORK"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(p_o->registerInterest(name), 0);
        EXPECT_EQ(WorldManager::getInstance().getInterested(name).getCount(), 1);
    }
}

} // namespace
} // namespace vt::test
