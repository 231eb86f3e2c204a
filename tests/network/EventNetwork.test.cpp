#include "vintrel/network/EventNetwork.h"
#include "support/EngineTest.h"
#include "vintrel/network/EventNetworkAccept.h"
#include "vintrel/network/EventNetworkClose.h"

namespace {

using EventNetworkTest = vt::test::EngineTest;
using vt::test::countLines;

TEST_F(EventNetworkTest, LabelsOutOfRangeAreLoggedAndUndefined) {
    ASSERT_EQ(startEngine(), 0);
    EXPECT_EQ(vt::EventNetworkAccept().getLabel(), 0);
    EXPECT_EQ(vt::EventNetworkAccept().getType(), "vt-network-accept");
    EXPECT_EQ(vt::EventNetworkClose().getLabel(), 2);
    EXPECT_EQ(vt::EventNetworkClose().getType(), "vt-network-close");
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
