#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

#include "support/EngineTest.h"
#include "support/StepRunner.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventTimer.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/input/Key.h"
#include "vintrel/replay/ReplayManager.h"
#include "vintrel/world/SceneManager.h"
#include "vintrel/world/WorldManager.h"

namespace vt {
namespace {

constexpr int LAST_STEP = 150;

float randomTenths() { return static_cast<float>(std::rand() % 9 - 4) * 0.1f; }

// A rock turns at random every few steps, on a timer of random period, and
// goes when its lifetime runs out.
class Rock : public Object {
  public:
    Rock() {
        setType("Rock");
        setSolidness(SOFT);
        setPosition(Vector(static_cast<float>(std::rand() % 80), static_cast<float>(std::rand() % 24)));
        startTimer("turn", 2 + std::rand() % 5, TIMER_REPEATING);
        startTimer("expire", 30 + std::rand() % 20);
    }
    int eventHandler(const Event* p_event) override {
        const auto* p_timer = eventAs<EventTimer>(p_event);
        if (!p_timer)
            return 0;
        fired()++;
        if (p_timer->getName() == "expire")
            WorldManager::getInstance().markForDelete(this);
        else
            setVelocity(Vector(randomTenths(), randomTenths()));
        return 1;
    }
    static int& fired() {
        static int count = 0;
        return count;
    }
};

class Play : public Scene {
  public:
    Play() : Scene("Play") {}
    void onEnter() override { new Rock; }
};

// Space sends a rock after a random delay; P pauses the play under a menu
// and brings it back.
class Spawner : public Object {
  public:
    Spawner() {
        setSolidness(SPECTRAL);
        registerInterest(EVENT_KEYBOARD);
    }
    int eventHandler(const Event* p_event) override {
        if (const auto* p_key = eventAs<EventKeyboard>(p_event)) {
            if (p_key->getKeyboardAction() != KEY_ACTION_PRESSED)
                return 1;
            if (p_key->getKey() == KEY_SPACE)
                startTimer("spawn", 1 + std::rand() % 7);
            SceneManager& scenes = SceneManager::getInstance();
            if (p_key->getKey() == KEY_P && scenes.getSceneCount() == 1)
                scenes.pushScene(std::make_unique<Scene>("Menu"));
            else if (p_key->getKey() == KEY_P)
                scenes.popScene();
        } else if (eventAs<EventTimer>(p_event)) {
            new Rock;
        }
        return 1;
    }
};

void playScript(int step) {
    EventKeyboard key;
    key.setKeyboardAction(KEY_ACTION_PRESSED);
    key.setKey(step == 50 || step == 80 ? KEY_P : KEY_SPACE);
    if (step % 11 == 3 || step == 50 || step == 80)
        InputManager::getInstance().queueInput(key);
}

class TimerReplayTest : public test::EngineTest {
  protected:
    // Plays the scripted game in a child process (ids and the random
    // generator start afresh, as in any new program) and writes what it saw
    // to outcome.txt: the timer events fired, then whether the replay matched
    // and its checkpoints.
    int playInChild(const std::function<int()>& prepare) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (prepare() != 0 ||
                startEngine("headless:true,networking:false,random_seed:0,frame_time:1,") != 0)
                _exit(1);
            new Spawner;
            SceneManager::getInstance().pushScene(std::make_unique<Play>());
            test::runSteps(LAST_STEP, [](int step) {
                playScript(step);
                return true;
            });
            GameManager::getInstance().shutDown();
            const ReplayManager& replay = ReplayManager::getInstance();
            std::ofstream(dir().file("outcome.txt"))
                << Rock::fired() << " " << replay.hasMatched() << " " << replay.getCheckpointCount();
            _exit(replay.getError().empty() ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }

    std::string path() const { return dir().file("timers.vtr"); }
};

// Timers of random periods, rocks they create and delete, and a pause that
// freezes the play scene's timers: the replay matches every checkpoint.
TEST_F(TimerReplayTest, RecordingWithTimersAndScenesReplaysMatching) {
    ASSERT_EQ(playInChild([this] { return ReplayManager::getInstance().startRecording(path(), 5); }), 0)
        << logText();
    int recorded_fired = 0;
    std::ifstream(dir().file("outcome.txt")) >> recorded_fired;
    EXPECT_GT(recorded_fired, 50) << "the run fires timers enough to matter";

    ASSERT_EQ(playInChild([this] { return ReplayManager::getInstance().startReplay(path()); }), 0)
        << logText();
    int replayed_fired = 0;
    int matched = 0;
    int checkpoints = 0;
    std::ifstream(dir().file("outcome.txt")) >> replayed_fired >> matched >> checkpoints;
    EXPECT_EQ(matched, 1) << logText();
    EXPECT_EQ(replayed_fired, recorded_fired);
    EXPECT_GE(checkpoints, LAST_STEP / 5);
}

} // namespace
} // namespace vt
