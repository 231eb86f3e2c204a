#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/EngineTest.h"
#include "support/StepRunner.h"
#include "vintrel/network/EventNetworkGameOver.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/network/WorldHost.h"
#include "vintrel/network/WorldMirror.h"

// A watcher of a game made of plain objects, hosted by another process over
// 127.0.0.1: when the host's game ends, the watcher's game loop ends too,
// unless the game hears of it or has turned that off.
namespace vt::test {
namespace {

constexpr int STEP_LIMIT = 3000;
const char* const CONFIG = "headless:true,\nnetworking:true,\nframe_time:10,\nrandom_seed:7,\n";

// Hears of the end of watching and ends the loop itself a few steps later.
class EndListener : public Object {
  public:
    EndListener() {
        setSolidness(SPECTRAL);
        registerInterest(EVENT_NETWORK_GAME_OVER);
        registerInterest(EVENT_STEP);
    }
    int eventHandler(const Event* p_event) override {
        if (const auto* p_over = eventAs<EventNetworkGameOver>(p_event)) {
            heard_at = GameManager::getInstance().getStepCount();
            host_ended = p_over->getHostEnded();
            return 1;
        }
        if (heard_at >= 0 && GameManager::getInstance().getStepCount() == heard_at + 5)
            GameManager::getInstance().setGameOver();
        return 1;
    }
    int heard_at = -1;
    bool host_ended = false;
};

class WatcherEndTest : public EngineTest {
  protected:
    void TearDown() override {
        if (m_host > 0) {
            kill(m_host, SIGKILL);
            waitpid(m_host, nullptr, 0);
        }
        EngineTest::TearDown();
    }

    // Forks a process that serves a game of two drifting plain objects, ends
    // it 20 steps after a watcher has come and exits; its port.
    int startPlainHost() {
        int fds[2];
        if (pipe(fds) != 0)
            return -1;
        m_host = fork();
        if (m_host == 0) {
            close(fds[0]);
            setenv("VINTREL_LOG", "host.log", 1);
            GameManager& game = GameManager::getInstance();
            auto* p_host = game.startUp() == 0 ? new WorldHost : nullptr;
            int port =
                p_host != nullptr && p_host->serve("0") == 0 ? NetworkManager::getInstance().getPort() : -1;
            if (write(fds[1], &port, sizeof(port)) != static_cast<ssize_t>(sizeof(port)) || port < 0)
                _exit(1);
            for (int i = 0; i < 2; i++)
                (new Object)->setVelocity(Vector(0.1f, 0.05f * static_cast<float>(i)));
            int watched = 0;
            runSteps(STEP_LIMIT,
                     [&](int) { return (watched += p_host->getWatcherCount() > 0 ? 1 : 0) < 20; });
            game.shutDown();
            _exit(0);
        }
        close(fds[1]);
        int port = -1;
        if (m_host < 0 || read(fds[0], &port, sizeof(port)) != static_cast<ssize_t>(sizeof(port)))
            port = -1;
        close(fds[0]);
        return port;
    }

    pid_t m_host = 0;
};

TEST_F(WatcherEndTest, TheWatcherEndsWithItsHostUnlessTheGameHearsOfItOrSaysNo) {
    struct Case {
        const char* name;
        bool listener;
        bool ends_game_loop;
        bool ended_by_mirror;
    };
    const Case cases[] = {
        {"a plain game", false, true, true},
        {"a game that hears of it", true, true, false},
        {"a game that turned it off", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeConfig(CONFIG);
        const int port = startPlainHost();
        ASSERT_GT(port, 0);
        ASSERT_EQ(startEngine(CONFIG), 0);
        auto* p_mirror = new WorldMirror;
        p_mirror->setEndsGameLoop(c.ends_game_loop);
        EndListener* p_listener = c.listener ? new EndListener : nullptr;
        ASSERT_EQ(p_mirror->watch("127.0.0.1", std::to_string(port)), 0);
        int ended_at = -1;
        runSteps(STEP_LIMIT, [&](int step) {
            if (ended_at < 0 && p_mirror->getState() == WorldMirror::ENDED)
                ended_at = step;
            // Left to the game, the loop goes on: ten more steps show it.
            return c.ends_game_loop || ended_at < 0 || step < ended_at + 10;
        });
        const int last_step = GameManager::getInstance().getStepCount() - 1;
        EXPECT_EQ(p_mirror->getState(), WorldMirror::ENDED) << p_mirror->getReason();
        EXPECT_EQ(countLines(logText(), "WorldMirror::stop(): Nobody handles vt-network-game-over"),
                  c.ended_by_mirror ? 1 : 0);
        if (c.ended_by_mirror)
            EXPECT_LT(last_step, STEP_LIMIT);
        else if (p_listener != nullptr)
            EXPECT_TRUE(p_listener->host_ended && last_step == p_listener->heard_at + 5) << last_step;
        else
            EXPECT_EQ(last_step, ended_at + 10);
        int status = -1;
        waitpid(m_host, &status, 0);
        m_host = 0;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        stopEngine();
        resetEngineState();
    }
}

} // namespace
} // namespace vt::test
