#include <unistd.h>

#include <chrono>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include <vintrel/input/Key.h>
#include <vintrel/network/EventNetworkSync.h>
#include <vintrel/network/NetworkManager.h>
#include <vintrel/network/WorldHost.h>
#include <vintrel/network/WorldMirror.h>

#include "GameStart.h"
#include "GameTest.h"
#include "Spectating.h"
#include "WatchScreen.h"
#include "support/ChildProcess.h"
#include "support/LoopbackPeers.h"
#include "support/StepRunner.h"
#include "support/WorldDump.h"

// The shooter played by a script in this process, serving its world; real
// watcher processes mirror it, and after every step their worlds must equal
// this one.
namespace {

// Each step of a watcher's output file: "step N" followed by the world's lines.
std::map<int, std::string> readSteps(const std::string& text) {
    std::map<int, std::string> steps;
    std::istringstream lines(text);
    std::string line;
    int step = -1;
    while (std::getline(lines, line)) {
        if (line.rfind("step ", 0) == 0)
            steps[step = std::stoi(line.substr(5))].clear();
        else if (step >= 0)
            steps[step] += line + "\n";
    }
    return steps;
}

// Runs the script at every step and writes down the world as the host sends it.
class Script : public vt::Object {
  public:
    explicit Script(std::function<void(int)> act) : m_act(std::move(act)) {
        registerInterest(vt::EVENT_STEP);
        registerInterest(vt::EVENT_NETWORK_SYNC);
    }
    int eventHandler(const vt::Event* p_event) override {
        const int step = vt::GameManager::getInstance().getStepCount();
        if (p_event->getType() == vt::EVENT_STEP)
            m_act(step);
        else
            world[step] = vt::test::describeWorld();
        return 1;
    }
    std::map<int, std::string> world;

  private:
    std::function<void(int)> m_act;
};

class WorldStreamingTest : public game_test::GameTest {
  protected:
    std::string config() const override {
        return "headless:true,\nnetworking:true,\nrandom_seed:42,\nframe_time:10,\n";
    }
};

TEST_F(WorldStreamingTest, WatchersWorldsEqualTheHostsAtEveryStepIncludingAfterAMidGameJoin) {
    auto* p_host = new vt::WorldHost;
    ASSERT_EQ(p_host->serve("0"), 0);
    const int port = vt::NetworkManager::getInstance().getPort();
    new GameStart;
    // Watchers: the shooter's own watcher set-up, writing down what it mirrors.
    auto startWatcher = [&](vt::test::ChildProcess* p_watcher, const std::string& name) {
        return p_watcher->start(VINTREL_WATCH_PROBE, {"127.0.0.1", std::to_string(port), name + ".txt"},
                                dir().path(), {{"VINTREL_LOG", name + ".log"}});
    };
    vt::test::ChildProcess first;
    vt::test::ChildProcess second;
    ASSERT_TRUE(startWatcher(&first, "first"));

    // P starts a game; the ship moves and fires now and then; a second
    // watcher joins in the middle of it. The game goes on until both have
    // watched for a while (however slowly they start, as under a sanitizer).
    int both_watching = 0;
    int last_step = 0;
    auto* p_script = new Script([&](int step) {
        if (step == 5)
            key(vt::KEY_P, vt::KEY_ACTION_PRESSED);
        if (step > 5 && step % 9 == 0)
            mouse(vt::MOUSE_ACTION_CLICKED, vt::MOUSE_BUTTON_LEFT,
                  vt::Vector(static_cast<float>(step % 80), 2));
        if (step > 20 && step < 40)
            key(vt::KEY_D, vt::KEY_ACTION_HELD);
        if (step == 60)
            startWatcher(&second, "second");
        both_watching += p_host->getWatcherCount() == 2 ? 1 : 0;
        if ((step >= 200 && both_watching > 80) || step >= 3000)
            vt::GameManager::getInstance().setGameOver();
        last_step = step;
    });
    vt::GameManager::getInstance().run();
    const std::map<int, std::string> host = p_script->world;
    // Shutting down deletes the host object, which tells the watchers the game has ended.
    stopEngine();
    EXPECT_EQ(first.exitCode(std::chrono::seconds(20)), 0) << vt::test::readFile(dir().file("first.log"));
    EXPECT_EQ(second.exitCode(std::chrono::seconds(20)), 0) << vt::test::readFile(dir().file("second.log"));

    int bullets = 0;
    // The game ran until both had watched more than 80 steps; a first watcher
    // slow to start (as under a sanitizer) may join as late as the second.
    for (const std::string name : {"first", "second"}) {
        SCOPED_TRACE(name);
        const int least = 80;
        const std::map<int, std::string> seen = readSteps(vt::test::readFile(dir().file(name + ".txt")));
        EXPECT_GE(static_cast<int>(seen.size()), least);
        // Every step from its joining to the end, each equal to the host's.
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.rbegin()->first, last_step);
        EXPECT_EQ(static_cast<int>(seen.size()), last_step + 1 - seen.begin()->first);
        for (const auto& [step, world] : seen) {
            ASSERT_EQ(world, host.at(step)) << "step " << step;
            bullets += world.find(" Bullet ") != std::string::npos ? 1 : 0;
        }
    }
    EXPECT_GT(bullets, 10) << "the script fired no bullets that the watchers saw";
}

TEST_F(WorldStreamingTest, AWatcherOfASilentHostSaysItIsWaitingThenGivesUp) {
    // A port where the system makes connections but nobody ever speaks.
    int number = 0;
    const int listener = vt::test::listenPeer(&number);
    ASSERT_NE(listener, -1);
    const std::string port = std::to_string(number);
    const std::string where = "127.0.0.1 port " + port;

    vt::WorldMirror* p_mirror = createShooterMirror();
    auto* p_screen = new WatchScreen(p_mirror, where);
    ASSERT_EQ(p_mirror->setWatchTimeout(300), 0);
    ASSERT_EQ(p_mirror->watch("127.0.0.1", port), 0);
    std::string while_connected;
    vt::test::runSteps(100000, [&](int) {
        if (p_mirror->getState() == vt::WorldMirror::WATCHING && p_screen->isVisible())
            while_connected = p_screen->getViewString();
        return p_mirror->getState() != vt::WorldMirror::FAILED;
    });
    close(listener);
    EXPECT_EQ(while_connected, "Waiting for the host at " + where + "...");
    EXPECT_EQ(p_screen->getViewString(), "Cannot watch: no game found at " + where + " (none within 1 s)");
    EXPECT_TRUE(p_screen->isVisible());
}

} // namespace
