#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Manager.h"
#include "vintrel/events/Event.h"
#include "vintrel/world/Object.h"

namespace vt::test {
namespace {

/// A manager that accepts every event name but "refused".
class OpenManager : public Manager {
  public:
    OpenManager() { setType("OpenManager"); }
    bool isValid(const std::string& event_type) const override { return event_type != "refused"; }
};

/// Records deliveries; may run an action from inside its handler.
class Listener : public Object {
  public:
    int eventHandler(const Event* p_event) override {
        received.push_back(p_event->getType());
        if (on_event)
            on_event();
        return 1;
    }
    std::vector<std::string> received;
    std::function<void()> on_event;
};

class ManagerTest : public EngineTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(startEngine(), 0);
        LogManager::getInstance().setLogLevel(1);
    }
    OpenManager manager;
};

TEST_F(ManagerTest, StartAndStopWarnWhenRepeated) {
    EXPECT_EQ(manager.startUp(), 0);
    EXPECT_EQ(manager.startUp(), 0);
    manager.shutDown();
    manager.shutDown();
    const std::string text = logText();
    EXPECT_EQ(countLines(text, "Manager::startUp(): Warning! OpenManager already started."), 1);
    EXPECT_EQ(countLines(text, "Manager::shutDown(): Warning! OpenManager not started."), 1);
}

TEST_F(ManagerTest, RegisteringTwiceKeepsOneEntry) {
    auto* p_a = new Listener;
    EXPECT_EQ(manager.registerInterest(p_a, "ping"), 0);
    EXPECT_EQ(manager.registerInterest(p_a, "ping"), 0);
    EXPECT_EQ(manager.getInterested("ping").getCount(), 1);
    EXPECT_EQ(countLines(logText(), "Warning! Not adding id " + std::to_string(p_a->getId()) +
                                        " ((Undefined)) twice for event ping."),
              1);
    Event ping;
    ping.setType("ping");
    EXPECT_EQ(manager.onEvent(&ping), 1);
}

TEST_F(ManagerTest, InvalidEventsAreRefused) {
    auto* p_a = new Listener;
    EXPECT_EQ(manager.registerInterest(p_a, "refused"), -1);
    EXPECT_EQ(
        countLines(logText(),
                   "Manager(OpenManager)::registerInterest(): Event 'refused' not valid for this Manager"),
        1);
    Event undefined;
    EXPECT_EQ(manager.onEvent(&undefined), 0);
    Event refused;
    refused.setType("refused");
    EXPECT_EQ(manager.onEvent(&refused), 0);
    const std::string text = logText();
    EXPECT_EQ(
        countLines(text, "Manager(OpenManager)::onEvent(): Warning! Event type vt-undefined is undefined."),
        1);
    EXPECT_EQ(countLines(text, "Manager(OpenManager)::onEvent(): Error! Event type refused not valid."), 1);
}

TEST_F(ManagerTest, EmptiedSlotsCloseTheGapInOrder) {
    auto* p_a = new Listener;
    auto* p_b = new Listener;
    ASSERT_EQ(manager.registerInterest(p_a, "zero"), 0);
    ASSERT_EQ(manager.registerInterest(p_b, "one"), 0);
    ASSERT_EQ(manager.registerInterest(p_b, "two"), 0);
    EXPECT_EQ(manager.unregisterInterest(p_b, "zero"), -1);
    EXPECT_EQ(manager.unregisterInterest(p_a, "nothing"), -1);
    EXPECT_EQ(manager.unregisterInterest(p_a, "zero"), 0);
    ASSERT_EQ(manager.getEventCount(), 2);
    EXPECT_EQ(manager.getEventName(0), "one");
    EXPECT_EQ(manager.getEventName(1), "two");
}

TEST_F(ManagerTest, AHundredEventTypesAtMost) {
    auto* p_a = new Listener;
    for (int i = 0; i < MAX_EVENTS; i++)
        ASSERT_EQ(manager.registerInterest(p_a, "event" + std::to_string(i)), 0);
    EXPECT_EQ(manager.registerInterest(p_a, "one too many"), -1);
    EXPECT_EQ(manager.getEventCount(), 100);
    Event last;
    last.setType("event99");
    EXPECT_EQ(manager.onEvent(&last), 1);
    // An existing type still takes more objects.
    EXPECT_EQ(manager.registerInterest(new Listener, "event0"), 0);
}

TEST_F(ManagerTest, DeliveryWorksOnACopySoHandlersMayChangeTheTable) {
    auto* p_a = new Listener;
    auto* p_b = new Listener;
    auto* p_c = new Listener;
    auto* p_late = new Listener;
    for (Listener* p : {p_a, p_b, p_c})
        ASSERT_EQ(manager.registerInterest(p, "ping"), 0);
    // a unregisters itself and b; and adds a newcomer.
    p_a->on_event = [&] {
        manager.unregisterInterest(p_a, "ping");
        manager.registerInterest(p_late, "ping");
    };
    Event ping;
    ping.setType("ping");
    EXPECT_EQ(manager.onEvent(&ping), 3);
    EXPECT_EQ(p_b->received.size(), 1u);
    EXPECT_EQ(p_c->received.size(), 1u);
    EXPECT_TRUE(p_late->received.empty());
    EXPECT_EQ(manager.onEvent(&ping), 3);
    EXPECT_EQ(p_a->received.size(), 1u);
    EXPECT_EQ(p_late->received.size(), 1u);
}

TEST_F(ManagerTest, InactiveObjectsAreSkippedAndNotCounted) {
    auto* p_a = new Listener;
    auto* p_b = new Listener;
    manager.registerInterest(p_a, "ping");
    manager.registerInterest(p_b, "ping");
    p_b->setActive(false);
    Event ping;
    ping.setType("ping");
    EXPECT_EQ(manager.onEvent(&ping), 1);
    EXPECT_TRUE(p_b->received.empty());
}

} // namespace
} // namespace vt::test
