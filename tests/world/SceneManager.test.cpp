#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "support/RecordingObject.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/events/EventTimer.h"
#include "vintrel/world/SceneManager.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// Writes its hooks into the journal as "<name> enter" and so on, and runs
// `on_enter` when it comes on top.
class JournalScene : public Scene {
  public:
    JournalScene(const std::string& name, std::vector<std::string>* p_journal,
                 std::function<void()> on_enter = nullptr)
        : Scene(name), m_p_journal(p_journal), m_on_enter(std::move(on_enter)) {}
    void onEnter() override {
        m_p_journal->push_back(getName() + " enter");
        if (m_on_enter)
            m_on_enter();
    }
    void onLeave() override { m_p_journal->push_back(getName() + " leave"); }
    void onCovered() override { m_p_journal->push_back(getName() + " covered"); }
    void onUncovered() override { m_p_journal->push_back(getName() + " uncovered"); }

  private:
    std::vector<std::string>* m_p_journal;
    std::function<void()> m_on_enter;
};

// Counts the times the world asks it to draw itself.
class Drawn : public RecordingObject {
  public:
    using RecordingObject::RecordingObject;
    int draw() override {
        draws++;
        return 0;
    }
    int draws = 0;
};

class SceneManagerTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
    // Before the journal goes: the objects note their deletion in it.
    void TearDown() override { stopEngine(); }

    // An object of the given type that notes its deletion in the journal.
    Drawn* make(const std::string& type, const Vector& at = Vector(5, 5)) {
        auto* p_o = new Drawn(nullptr, type);
        p_o->setPosition(at);
        p_o->on_destroy = [this](RecordingObject* p_gone) {
            journal.push_back("deleted " + p_gone->getType());
        };
        return p_o;
    }
    std::unique_ptr<Scene> scene(const std::string& name, std::function<void()> on_enter = nullptr) {
        return std::make_unique<JournalScene>(name, &journal, std::move(on_enter));
    }
    int countOf(const std::string& type) { return world().objectsOfType(type).getCount(); }

    WorldManager& world() { return WorldManager::getInstance(); }
    SceneManager& scenes() { return SceneManager::getInstance(); }

    std::vector<std::string> journal;
};

// Each scene's objects go when it leaves, exactly those and at the end of the
// update that applies the change; objects outside scenes and those of the
// scene below stay.
TEST_F(SceneManagerTest, LeavingSceneDeletesExactlyItsOwnObjects) {
    Drawn* p_outside = make("Outside");
    ASSERT_EQ(scenes().pushScene(scene("Play",
                                       [this] {
                                           for (int i = 0; i < 3; i++)
                                               make("Play");
                                       })),
              0);
    EXPECT_EQ(scenes().getTopScene(), nullptr) << "a change waits for the end of the update";
    world().update();
    Scene* p_play = scenes().getTopScene();
    ASSERT_NE(p_play, nullptr);
    Drawn* p_late = make("Play"); // made in play, outside any hook
    EXPECT_EQ(p_late->getScene(), p_play);
    EXPECT_EQ(p_play->getObjects().getCount(), 4);
    EXPECT_EQ(p_outside->getScene(), nullptr);

    Scene* p_menu = nullptr;
    ASSERT_EQ(scenes().pushScene(scene("Menu",
                                       [this, &p_menu] {
                                           p_menu = scenes().getTopScene();
                                           make("Menu");
                                           make("Menu");
                                       })),
              0);
    world().update();
    ASSERT_EQ(scenes().getSceneCount(), 2);
    EXPECT_EQ(p_menu->getObjects().getCount(), 2);
    journal.push_back("popping");
    ASSERT_EQ(scenes().popScene(), 0);
    world().update();
    EXPECT_EQ(countOf("Menu"), 0);
    EXPECT_EQ(countOf("Play"), 4);
    journal.push_back("replacing");
    ASSERT_EQ(scenes().replaceScene(scene("Over", [this] { make("Over"); })), 0);
    world().update();

    EXPECT_EQ(journal, (std::vector<std::string>{
                           "Play enter", "Play covered", "Menu enter", "popping", "Menu leave",
                           "Play uncovered", "deleted Menu", "deleted Menu", "replacing", "Play leave",
                           "Over enter", "deleted Play", "deleted Play", "deleted Play", "deleted Play"}));
    EXPECT_EQ(countOf("Outside"), 1);
    EXPECT_EQ(countOf("Over"), 1);
    EXPECT_EQ(scenes().getSceneCount(), 1);
}

// Under a menu the game's objects hear nothing, stand still, meet nothing and
// their timers wait; they are drawn only when the menu shows the scene below.
TEST_F(SceneManagerTest, CoveredSceneIsFrozenAndDrawnOnlyWhenTheSceneAboveShowsIt) {
    for (const bool shows_below : {true, false}) {
        SCOPED_TRACE(shows_below ? "a menu that shows the game" : "a screen that hides it");
        Drawn* p_ship = nullptr;
        Drawn* p_rock = nullptr;
        ASSERT_EQ(scenes().replaceScene(scene("Game",
                                              [&] {
                                                  p_ship = make("Ship", Vector(10, 5));
                                                  p_ship->setVelocity(Vector(1, 0));
                                                  p_ship->registerInterest(EVENT_STEP);
                                                  EXPECT_EQ(p_ship->startTimer("reload", 3), 0);
                                                  p_rock = make("Rock", Vector(30, 5));
                                              })),
                  0);
        world().update();
        world().fireTimers(); // one of the timer's three steps

        auto menu = scene("Menu", [&] {
            Drawn* p_cursor = make("Cursor", Vector(29, 5)); // moves through the rock
            p_cursor->setVelocity(Vector(1, 0));
        });
        menu->setShowsSceneBelow(shows_below);
        ASSERT_EQ(scenes().pushScene(std::move(menu)), 0);
        world().update();
        ASSERT_TRUE(p_ship->isFrozen());
        const Vector ship_at = p_ship->getPosition();
        const int ship_draws = p_ship->draws;
        for (int step = 0; step < 5; step++) {
            world().fireTimers();
            const EventStep event(step);
            GameManager::getInstance().onEvent(&event);
            world().update();
            world().draw();
        }
        EXPECT_EQ(p_ship->getPosition(), ship_at);
        EXPECT_TRUE(p_ship->events.empty());
        EXPECT_TRUE(p_rock->events.empty());
        EXPECT_EQ(world().objectsOfType("Cursor")[0]->getPosition(), Vector(34, 5));
        EXPECT_EQ(p_ship->draws - ship_draws, shows_below ? 5 : 0);

        ASSERT_EQ(scenes().popScene(), 0);
        world().update();
        EXPECT_FALSE(p_ship->isFrozen());
        const EventStep event(5);
        GameManager::getInstance().onEvent(&event);
        world().update();
        EXPECT_EQ(p_ship->getPosition(), ship_at + Vector(1, 0));
        EXPECT_EQ(p_ship->count(EVENT_STEP), 1);
        world().fireTimers();
        EXPECT_EQ(p_ship->count(EVENT_TIMER), 0);
        world().fireTimers();
        EXPECT_EQ(p_ship->count(EVENT_TIMER), 1) << "the third step of the timer's own scene";
    }
}

TEST_F(SceneManagerTest, SceneTimersEndWithTheScene) {
    Drawn* p_outside = make("Outside");
    ASSERT_EQ(p_outside->startTimer("tick", 2, TIMER_REPEATING), 0);
    ASSERT_EQ(scenes().pushScene(scene("Play",
                                       [this] {
                                           Drawn* p_o = make("Play");
                                           EXPECT_EQ(p_o->startTimer("a", 1), 0);
                                           EXPECT_EQ(p_o->startTimer("b", 2, TIMER_REPEATING), 0);
                                       })),
              0);
    world().update();
    EXPECT_EQ(world().getTimerCount(), 3);
    ASSERT_EQ(scenes().replaceScene(scene("Over")), 0);
    world().update();
    EXPECT_EQ(world().getTimerCount(), 1);
    for (int step = 0; step < 4; step++)
        world().fireTimers();
    EXPECT_EQ(p_outside->count(EVENT_TIMER), 2);
}

TEST_F(SceneManagerTest, RequestsPastTheLimitsAreRefusedWithALogLine) {
    struct Case {
        const char* name;
        std::function<int()> request;
        const char* logged;
    };
    const Case cases[] = {
        {"a pop with nothing to pop", [this] { return scenes().popScene(); }, "No scene to pop."},
        {"no scene", [this] { return scenes().pushScene(nullptr); }, "pushScene(): Error! No scene given."},
        {"one scene too many",
         [this] {
             for (int i = 0; i < MAX_SCENES; i++)
                 EXPECT_EQ(scenes().pushScene(scene("S" + std::to_string(i))), 0);
             world().update();
             return scenes().pushScene(scene("Extra"));
         },
         "16 scenes on the stack already; 'Extra' refused."},
        {"one change too many in a step",
         [this] {
             for (int i = 0; i < MAX_SCENES; i++)
                 EXPECT_EQ(scenes().replaceScene(scene("R" + std::to_string(i))), 0);
             return scenes().replaceScene(scene("Late"));
         },
         "16 scene changes wait for the end of the step already; 'Late' refused."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.request(), -1);
        EXPECT_EQ(countLines(logText(), c.logged), 1) << logText();
    }

    // With the log closed the refusal goes to standard error.
    stopEngine();
    testing::internal::CaptureStderr();
    EXPECT_EQ(scenes().pushScene(scene("Stopped")), -1);
    EXPECT_EQ(
        countLines(testing::internal::GetCapturedStderr(), "SceneManager not started; 'Stopped' refused."),
        1);
}

} // namespace
} // namespace vt::test
