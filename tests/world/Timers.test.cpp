#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "support/RecordingObject.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventCollision.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/events/EventTimer.h"
#include "vintrel/network/EventNetworkAccept.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

class TimerTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }

    // An object that writes "<what>@<step>" for each timer, step and
    // collision event it gets into the journal, then calls `then`.
    RecordingObject* journaled(std::function<void(const Event*)> then = nullptr) {
        auto* p_o = new RecordingObject;
        p_o->on_event = [this, then](RecordingObject*, const Event* p_event) {
            const std::string at = "@" + std::to_string(GameManager::getInstance().getStepCount());
            if (const auto* p_timer = eventAs<EventTimer>(p_event))
                journal.push_back(p_timer->getName() + at);
            else if (eventAs<EventCollision>(p_event))
                journal.push_back("collision" + at);
            else if (eventAs<EventStep>(p_event))
                journal.push_back("step" + at);
            if (then)
                then(p_event);
        };
        return p_o;
    }

    WorldManager& world() { return WorldManager::getInstance(); }

    std::vector<std::string> journal;
};

// In the real loop: timers fire at the start of the step they fall due in,
// before the step event and the collisions of that step, in the order they
// were started; cancelled ones never fire, restarted ones count from the
// restart, and a repeating one stops when its handler cancels it.
TEST_F(TimerTest, TimersFireAtTheStartOfTheirStepInTheOrderTheyWereStarted) {
    RecordingObject* p_mover = nullptr;
    int every_count = 0;
    p_mover = journaled([&p_mover, &every_count](const Event* p_event) {
        if (const auto* p_step = eventAs<EventStep>(p_event)) {
            if (p_step->getStepCount() == 0) {
                EXPECT_EQ(p_mover->startTimer("once", 3), 0);
                EXPECT_EQ(p_mover->startTimer("every", 2, TIMER_REPEATING), 0);
                EXPECT_EQ(p_mover->startTimer("gone", 2), 0);
                EXPECT_EQ(p_mover->startTimer("again", 2), 0);
            }
            if (p_step->getStepCount() == 1) {
                EXPECT_EQ(p_mover->cancelTimer("gone"), 0);
                EXPECT_EQ(p_mover->startTimer("again", 3), 0);
            }
            if (p_step->getStepCount() == 7)
                GameManager::getInstance().setGameOver();
        }
        const auto* p_timer = eventAs<EventTimer>(p_event);
        if (p_timer && p_timer->getName() == "every" && ++every_count == 3) {
            EXPECT_EQ(p_mover->cancelTimer("every"), 0);
        }
    });
    p_mover->registerInterest(EVENT_STEP);
    // It runs into a wall from step 2 on.
    p_mover->setPosition(Vector(5, 5));
    p_mover->setVelocity(Vector(1, 0));
    (new Object)->setPosition(Vector(8, 5));

    GameManager::getInstance().run();

    EXPECT_EQ(journal, (std::vector<std::string>{
                           "step@0",                                               //
                           "step@1",                                               //
                           "every@2", "step@2",      "collision@2",                //
                           "once@3",  "step@3",      "collision@3",                //
                           "every@4", "again@4",     "step@4",      "collision@4", //
                           "step@5",  "collision@5",                               //
                           "every@6", "step@6",      "collision@6",                //
                           "step@7",  "collision@7",                               //
                       }));
    EXPECT_EQ(world().getTimerCount(p_mover), 0);
    EXPECT_EQ(world().getTimerCount(), 0);
}

TEST_F(TimerTest, RefusalsAndThePerObjectLimit) {
    Object* p_o = new Object;
    for (int i = 0; i < MAX_OBJECT_TIMERS; i++)
        ASSERT_EQ(p_o->startTimer("t" + std::to_string(i), 100 + i), 0);

    struct Case {
        const char* name;
        Object* p_o;
        std::string timer;
        int steps;
        TimerRepeat repeat;
        int result;
        const char* logged;
    };
    const Case cases[] = {
        {"one past the limit", p_o, "extra", 5, TIMER_ONCE, -1, "has 64 timers already; 'extra'"},
        {"restarting a name at the limit", p_o, "t3", 5, TIMER_REPEATING, 0, nullptr},
        {"no steps", new Object, "soon", 0, TIMER_ONCE, -1, "Timer 'soon' of 0 steps"},
        {"negative steps", new Object, "past", -4, TIMER_ONCE, -1, "Timer 'past' of -4 steps"},
        {"no name", new Object, "", 3, TIMER_ONCE, -1, "Timer '' of 3 steps"},
        {"an unknown repetition", new Object, "odd", 3, static_cast<TimerRepeat>(7), -1,
         "(repeat 7) refused"},
        {"no object", nullptr, "lost", 3, TIMER_ONCE, -1, "is not in the world; timer 'lost'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(world().startTimer(c.p_o, c.timer, c.steps, c.repeat), c.result);
        if (c.logged) {
            EXPECT_EQ(countLines(logText(), c.logged), 1) << logText();
        }
    }
    EXPECT_EQ(world().getTimerCount(p_o), MAX_OBJECT_TIMERS);
    EXPECT_EQ(world().getTimerCount(), MAX_OBJECT_TIMERS);
    EXPECT_EQ(p_o->cancelTimer("never started"), -1);
}

// Deleting an object takes its timers with it, and a later object (possibly
// at the same address) hears nothing of them; the others' timers go on.
TEST_F(TimerTest, DeletedObjectTakesItsTimersWithIt) {
    RecordingObject* p_doomed = journaled();
    RecordingObject* p_kept = journaled();
    ASSERT_EQ(p_doomed->startTimer("a", 2), 0);
    ASSERT_EQ(p_doomed->startTimer("b", 3, TIMER_REPEATING), 0);
    ASSERT_EQ(p_kept->startTimer("kept", 3), 0);
    world().markForDelete(p_doomed);
    world().update();
    EXPECT_EQ(world().getTimerCount(), 1);

    RecordingObject* p_newcomer = journaled();
    for (int i = 0; i < 4; i++)
        world().fireTimers();
    EXPECT_EQ(p_newcomer->count(EVENT_TIMER), 0);
    EXPECT_EQ(p_kept->count(EVENT_TIMER), 1);
    EXPECT_EQ(world().getTimerCount(), 0);
}

// Timers started, restarted and cancelled by the thousand: those pending
// still fire, in the order of their due steps, and the rest never do.
TEST_F(TimerTest, ChurnOfStartsAndCancelsKeepsThePendingTimersInOrder) {
    RecordingObject* p_o = journaled();
    for (int round = 0; round < 5000; round++) {
        const std::string name = "churn" + std::to_string(round % 60);
        ASSERT_EQ(p_o->startTimer(name, 1000 + round), 0);
        if (round % 2 == 0) {
            ASSERT_EQ(p_o->cancelTimer(name), 0);
        }
    }
    EXPECT_EQ(world().getTimerCount(p_o), 30);
    ASSERT_EQ(p_o->startTimer("z", 1), 0);
    ASSERT_EQ(p_o->startTimer("y", 1), 0);
    for (int step = 0; step < 6000; step++)
        world().fireTimers();

    // The last start of each name was in rounds 4940 to 4999; the odd ones stand.
    std::vector<std::string> expected = {"z@0", "y@0"};
    for (int round = 4941; round < 5000; round += 2)
        expected.push_back("churn" + std::to_string(round % 60) + "@0");
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(world().getTimerCount(), 0);
}

TEST_F(TimerTest, InactiveObjectsMissTheirTimersAndRepeatingOnesKeepTheirRhythm) {
    RecordingObject* p_o = journaled();
    ASSERT_EQ(p_o->startTimer("tick", 2, TIMER_REPEATING), 0);
    ASSERT_EQ(p_o->startTimer("once", 1), 0);
    ASSERT_EQ(p_o->setActive(false), 0);
    world().fireTimers();
    world().fireTimers();
    ASSERT_EQ(p_o->setActive(true), 0);
    world().fireTimers();
    world().fireTimers();
    EXPECT_EQ(journal, (std::vector<std::string>{"tick@0"}));
    EXPECT_EQ(world().getTimerCount(p_o), 1);
}

TEST(EventAsTest, GivesTheConcreteClassOrNull) {
    const EventTimer timer("t", 4, TIMER_REPEATING);
    const EventNetworkAccept accept;
    const Event plain;
    EXPECT_EQ(eventAs<EventTimer>(&timer), &timer);
    EXPECT_EQ(eventAs<EventTimer>(timer), &timer);
    EXPECT_EQ(eventAs<EventStep>(&timer), nullptr);
    EXPECT_EQ(eventAs<EventTimer>(&plain), nullptr);
    EXPECT_EQ(eventAs<EventTimer>(static_cast<const Event*>(nullptr)), nullptr);
    // A derived class passes for its base.
    EXPECT_EQ(eventAs<EventNetwork>(&accept), &accept);
    EXPECT_EQ(eventAs<EventNetworkAccept>(static_cast<const Event&>(accept)), &accept);
    EXPECT_EQ(timer.getType(), EVENT_TIMER);
}

} // namespace
} // namespace vt::test
