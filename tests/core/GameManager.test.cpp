#include <gtest/gtest.h>

#include <signal.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/SystemClock.h"
#include "support/EngineTest.h"
#include "support/RecordingObject.h"
#include "vintrel/core/Clock.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// A clock the test drives: time moves only when a step does work or the loop sleeps.
std::int32_t g_now = 0;
int g_oversleep_us = 0;
std::vector<std::int64_t> g_sleeps; // microseconds

std::int32_t fakeNow() { return g_now; }

void fakeSleep(std::int64_t microseconds) {
    g_sleeps.push_back(microseconds);
    g_now += static_cast<std::int32_t>(microseconds) + g_oversleep_us;
}

using Sleeps = std::vector<std::int64_t>;

/// Spends the given microseconds of "work" in each step and ends the run after the last.
class Worker : public Object {
  public:
    explicit Worker(std::vector<int> work_us) : m_work_us(std::move(work_us)) {
        setType("Worker");
        registerInterest(EVENT_STEP);
    }
    int eventHandler(const Event* p_event) override {
        const auto* p_step = dynamic_cast<const EventStep*>(p_event);
        if (!p_step)
            return 0;
        const auto index = static_cast<std::size_t>(p_step->getStepCount());
        steps_seen.push_back(p_step->getStepCount());
        if (index < m_work_us.size())
            g_now += m_work_us[index];
        if (index + 1 >= m_work_us.size())
            GameManager::getInstance().setGameOver();
        return 1;
    }
    std::vector<int> steps_seen;

  private:
    std::vector<int> m_work_us;
};

class GameLoopTest : public EngineTest {
  protected:
    void SetUp() override {
        g_now = 1000;
        g_oversleep_us = 0;
        g_sleeps.clear();
        platform::overrideTime(fakeNow, fakeSleep);
    }
    void TearDown() override { platform::overrideTime(nullptr, nullptr); }
};

TEST_F(GameLoopTest, SleepsTheRestOfEachStepToTheMicrosecond) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    auto* p_worker = new Worker({1000, 2500, 32999});
    GameManager::getInstance().run();
    EXPECT_EQ(p_worker->steps_seen, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(g_sleeps, (Sleeps{32000, 30500, 1}));
    EXPECT_EQ(GameManager::getInstance().getStepCount(), 3);
}

TEST_F(GameLoopTest, OversleepIsTakenOffTheNextStep) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    g_oversleep_us = 700;
    new Worker({1000, 1000, 1000});
    GameManager::getInstance().run();
    // 32000 us asked, 32700 slept: 700 carried. Next: 33000 - 1000 - 700 = 31300,
    // slept 32000: 700 carried again.
    EXPECT_EQ(g_sleeps, (Sleeps{32000, 31300, 31300}));
}

TEST_F(GameLoopTest, LateStepsWarnExceptOnStepZeroAndRightAfterAnOversleep) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    g_oversleep_us = 2000;
    // Step 0 late: silent. Step 1 sleeps and oversleeps. Step 2 late right after
    // the oversleep: silent, carry cleared. Step 3 late: warned.
    new Worker({40000, 1000, 40000, 45500});
    GameManager::getInstance().run();
    EXPECT_EQ(g_sleeps, (Sleeps{32000}));
    const std::string text = logText();
    EXPECT_EQ(countLines(text, "Can't keep up!"), 1);
    EXPECT_EQ(countLines(text, "   3 GameManager::run(): Can't keep up! frame_time 33 ms, split 45 ms"), 1);
}

TEST_F(GameLoopTest, AOneMillisecondStepSleepsItsRestBelowAMillisecond) {
    ASSERT_EQ(startEngine(headlessConfig() + "frame_time:1,"), 0);
    // 300 us of work per step: the other 700 us are slept, not truncated to 0 ms.
    new Worker({300, 300, 300});
    GameManager::getInstance().run();
    EXPECT_EQ(g_sleeps, (Sleeps{700, 700, 700}));
    EXPECT_EQ(countLines(logText(), "Can't keep up!"), 0);
}

TEST_F(GameLoopTest, ZeroFrameTimeRunsTheLoopWithoutSleeping) {
    ASSERT_EQ(startEngine(headlessConfig() + "frame_time:0,"), 0);
    EXPECT_EQ(GameManager::getInstance().getFrameTime(), 0);
    new Worker({5000, 5000, 5000});
    GameManager::getInstance().run();
    EXPECT_EQ(g_sleeps, Sleeps());
    EXPECT_EQ(countLines(logText(), "Can't keep up!"), 0);
}

TEST_F(GameLoopTest, EveryRunStartsAgainAtStepZero) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    auto* p_worker = new Worker({100, 100});
    GameManager::getInstance().run();
    EXPECT_EQ(p_worker->steps_seen, (std::vector<int>{0, 1}));
    p_worker->steps_seen.clear();
    GameManager::getInstance().run();
    EXPECT_EQ(p_worker->steps_seen, (std::vector<int>{0, 1}));
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
}

TEST(ClockTest, DifferencesSurviveTheThirtyTwoBitWrap) {
    g_now = 2147483000;
    platform::overrideTime(fakeNow, fakeSleep);
    Clock clock;
    g_now = static_cast<std::int32_t>(static_cast<std::uint32_t>(g_now) + 1000u);
    EXPECT_EQ(clock.split(), 1000);
    EXPECT_EQ(clock.split(), 1000);
    EXPECT_EQ(clock.delta(), 1000);
    g_now += 5;
    EXPECT_EQ(clock.delta(), 5);
    EXPECT_EQ(clock.split(), 0);
    platform::overrideTime(nullptr, nullptr);
}

class GameManagerTest : public EngineTest {};

TEST_F(GameManagerTest, TheFirstStopSignalEndsTheLoopAfterItsStepAndShutDownRuns) {
    for (int signal_number : {SIGTERM, SIGINT}) {
        ASSERT_EQ(startEngine(headlessConfig() + "frame_time:1,"), 0);
        auto* p_interrupter = new RecordingObject;
        p_interrupter->registerInterest(EVENT_STEP);
        p_interrupter->on_event = [signal_number](RecordingObject*, const Event* p_event) {
            const int step = static_cast<const EventStep*>(p_event)->getStepCount();
            if (step == 2)
                raise(signal_number);
            if (step == 12) // only if the signal did not end the run
                GameManager::getInstance().setGameOver();
        };
        GameManager::getInstance().run();
        EXPECT_EQ(GameManager::getInstance().getStepCount(), 3);
        GameManager::getInstance().run(); // a later run ends after its first step
        EXPECT_EQ(GameManager::getInstance().getStepCount(), 1);
        stopEngine();
        const std::string text = readFile(logPath());
        EXPECT_EQ(
            countLines(text, "Signal " + std::to_string(signal_number) + " received; ending the game loop."),
            2);
        EXPECT_EQ(countLines(text, "** Game engine stopped **"), 1);
    }
}

TEST_F(GameManagerTest, ASecondStopSignalOrSignalsFalseEndTheProcessAtOnce) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    for (const char* config : {"", "signals:false,"}) {
        EXPECT_EXIT(
            {
                startEngine(headlessConfig() + config);
                if (*config == '\0')
                    raise(SIGINT);
                raise(SIGTERM);
                std::exit(0);
            },
            testing::KilledBySignal(SIGTERM), "");
    }
}

TEST_F(GameManagerTest, AWorldBoundaryTheWorldRefusesFailsStartUpInOneLineOnStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(startEngine(headlessConfig() + "window_horizontal_chars:100000,window_vertical_chars:100000,"),
              -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(GameManager::getInstance().isStarted());
    EXPECT_EQ(countLines(logText(), "GameManager::startUp(): Error! The world refused the boundary"), 1);
    EXPECT_EQ(countLines(err, "GameManager::startUp(): Error! The world refused the boundary"), 1) << err;
    EXPECT_EQ(countLines(err, "Cause: WorldManager::setBoundary(): Error! Boundary"), 1) << err;
}

TEST_F(GameManagerTest, StartUpWritesBannerAndShutDownClosesIt) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    EXPECT_TRUE(GameManager::getInstance().isStarted());
    EXPECT_EQ(GameManager::getInstance().getFrameTime(), 33);
    EXPECT_FALSE(GameManager::getInstance().getGameOver());
    stopEngine();
    const std::string text = readFile(logPath());
    const std::string stars(52, '*');
    EXPECT_EQ(countLines(text, "    0 " + stars), 3);
    EXPECT_EQ(countLines(text, "    0 ** Vintrel version 4.21 **"), 1);
    EXPECT_EQ(countLines(text, "    0 ** Game engine started **"), 1);
    EXPECT_EQ(countLines(text, "    0 ** Game engine stopped **"), 1);
    EXPECT_LT(text.find("Game engine started"), text.find("Game engine stopped"));
    EXPECT_FALSE(GameManager::getInstance().isStarted());
}

TEST_F(GameManagerTest, SecondStartUpIsRefused) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    EXPECT_EQ(GameManager::getInstance().startUp(), -1);
    EXPECT_EQ(countLines(logText(), "GameManager::startup(): Warning! GameManager already started."), 1);
}

TEST_F(GameManagerTest, RestoreDefaultsGivesASecondStartTheCleanStateOfTheFirst) {
    ASSERT_EQ(startEngine(headlessConfig() + "frame_time:10,\n"), 0);
    LogManager& log_manager = LogManager::getInstance();
    PathManager& path_manager = PathManager::getInstance();
    log_manager.setLogLevel(4);
    log_manager.setFlush(true);
    log_manager.setLogStepCount(false);
    path_manager.setMaxSearches(1);
    path_manager.setCellBudget(10);
    path_manager.setSearchCellLimit(10);
    new Object;
    new Object;
    GameManager::getInstance().setGameOver(true);

    EXPECT_EQ(GameManager::getInstance().restoreDefaults(), -1);
    EXPECT_EQ(log_manager.getLogLevel(), 4) << "nothing is restored while the engine runs";
    EXPECT_EQ(countLines(logText(), "GameManager::restoreDefaults(): Error! The engine is running"), 1);
    stopEngine();

    ASSERT_EQ(GameManager::getInstance().restoreDefaults(), 0);
    EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
    EXPECT_EQ(log_manager.getLogLevel(), 0);
    EXPECT_FALSE(log_manager.getFlush());
    EXPECT_EQ(path_manager.getMaxSearches(), PathManager::MAX_SEARCHES);
    EXPECT_EQ(path_manager.getCellBudget(), PathManager::CELL_BUDGET);
    EXPECT_EQ(path_manager.getSearchCellLimit(), PathFind::MAX_CELLS);
    EXPECT_FALSE(GameManager::getInstance().getGameOver());

    ASSERT_EQ(startEngine(), 0);
    EXPECT_EQ((new Object)->getId(), 1);
}

TEST_F(GameManagerTest, NetworkingFalseLeavesTheNetworkManagerAlone) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    EXPECT_FALSE(NetworkManager::getInstance().isStarted());
    EXPECT_TRUE(WorldManager::getInstance().isStarted());
}

TEST_F(GameManagerTest, FailedLogStartFailsStartUpAndShutDownStillCloses) {
    writeConfig(headlessConfig());
    setenv("VINTREL_LOG", dir().file("no/such/dir.log").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GameManager::getInstance().startUp(), -1);
    GameManager::getInstance().shutDown();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("GameManager::startUp(): Error! Starting log manager."), std::string::npos);
    EXPECT_NE(err.find("** Game engine stopped **"), std::string::npos);
    EXPECT_FALSE(WorldManager::getInstance().isStarted());
}

TEST_F(GameManagerTest, WorldIsAsLargeAsTheWindow) {
    ASSERT_EQ(startEngine(headlessConfig() + "window_horizontal_chars:40,window_vertical_chars:12,"), 0);
    const Box boundary = WorldManager::getInstance().getBoundary();
    EXPECT_TRUE(boundary == Box(Vector(0, 0), 40, 12));
    EXPECT_TRUE(WorldManager::getInstance().getView() == boundary);
    EXPECT_EQ(WorldManager::getInstance().getViewSlack(), Vector(1.0f / 3.0f, 1.0f / 3.0f));
}

TEST_F(GameManagerTest, StepEventsOnlyReachActiveObjectsRegisteredForThem) {
    ASSERT_EQ(startEngine(headlessConfig() + "frame_time:1,"), 0);
    auto* p_worker = new Worker({0, 0, 0});
    auto* p_idle = new Worker({0});
    p_idle->setActive(false);
    auto* p_plain = new Object;
    EXPECT_EQ(p_plain->registerInterest(EVENT_STEP), 0);
    GameManager::getInstance().run();
    EXPECT_EQ(p_worker->steps_seen.size(), 3u);
    EXPECT_TRUE(p_idle->steps_seen.empty());
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
}

} // namespace
} // namespace vt::test
