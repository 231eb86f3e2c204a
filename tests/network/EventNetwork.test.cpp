#include "vintrel/network/EventNetwork.h"
#include "support/EngineTest.h"
#include "vintrel/network/EventNetworkAccept.h"
#include "vintrel/network/EventNetworkClose.h"

namespace {

using EventNetworkTest = vt::test::EngineTest;
using vt::test::countLines;

TEST_F(EventNetworkTest, EventsCarryTheirTypeAndLabel) {
    const vt::EventNetwork plain;
    EXPECT_EQ(plain.getType(), "vt-network");
    EXPECT_EQ(plain.getLabel(), -1);
    EXPECT_EQ(plain.getSocket(), -1);
    EXPECT_EQ(plain.getBytes(), 0);
    EXPECT_EQ(plain.getMessage(), nullptr);

    const vt::EventNetworkAccept accept;
    EXPECT_EQ(accept.getType(), "vt-network-accept");
    EXPECT_EQ(accept.getLabel(), 0);
    const vt::EventNetworkClose closing;
    EXPECT_EQ(closing.getType(), "vt-network-close");
    EXPECT_EQ(closing.getLabel(), 2);
}

TEST_F(EventNetworkTest, LabelOutOfRangeIsLoggedAndUndefined) {
    ASSERT_EQ(startEngine(), 0);
    vt::EventNetwork seven(7);
    EXPECT_EQ(seven.getLabel(), -1);
    EXPECT_EQ(countLines(logText(), "EventNetwork::setLabel(): Undefined type (7)."), 1);
    seven.setLabel(3);
    EXPECT_EQ(seven.getLabel(), 3);
    seven.setLabel(-2);
    EXPECT_EQ(seven.getLabel(), -1);
    EXPECT_EQ(countLines(logText(), "EventNetwork::setLabel(): Undefined type (-2)."), 1);
}

} // namespace
