#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/EngineTest.h"
#include "support/StepRunner.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/ObjectListIterator.h"
#include "vintrel/network/Mirror.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/network/WorldHost.h"
#include "vintrel/network/WorldMirror.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

const char* const STREAMING_CONFIG = "headless:true,\nnetworking:true,\nframe_time:5,\n";
// Steps the host plays once a watcher has joined: the pebble goes at the
// first mark, the game ends at the second.
constexpr int PEBBLE_GONE_AFTER = 20;
constexpr int GAME_OVER_AFTER = 40;

Tile wall() {
    Tile tile;
    tile.ch = U'█';
    tile.color = BLUE;
    tile.solid = true;
    return tile;
}

// A host and a watcher in two processes, each with its own engine, talking
// through real sockets on 127.0.0.1.
class WorldStreamingTest : public EngineTest {
  protected:
    ~WorldStreamingTest() override {
        if (m_host_pid > 0) {
            kill(m_host_pid, SIGKILL);
            waitpid(m_host_pid, nullptr, 0);
        }
    }

    // Forks a host serving a rock that moves one space a step and a pebble
    // that stands still, with a tile map when asked (a wall at (3,2); when
    // the pebble goes, a second one at (5,4)); the port it listens on, or -1.
    int startHost(bool with_map = false) {
        int fds[2];
        if (pipe(fds) != 0)
            return -1;
        m_host_pid = fork();
        if (m_host_pid == 0) {
            close(fds[0]);
            _exit(hostGame(fds[1], with_map));
        }
        close(fds[1]);
        int port = -1;
        if (read(fds[0], &port, sizeof(port)) != static_cast<ssize_t>(sizeof(port)))
            port = -1;
        close(fds[0]);
        return port;
    }

    // The host's exit code: 0 when its game ran to its end with a watcher.
    int hostGame(int port_fd, bool with_map) {
        setenv("VINTREL_LOG", dir().file("host.log").c_str(), 1);
        int port = -1;
        auto* p_host = startEngine(STREAMING_CONFIG) == 0 ? new WorldHost : nullptr;
        if (p_host && p_host->serve("0", "127.0.0.1") == 0)
            port = NetworkManager::getInstance().getPort();
        if (write(port_fd, &port, sizeof(port)) != static_cast<ssize_t>(sizeof(port)) || port < 0)
            return 1;
        auto* p_rock = new Object;
        p_rock->setType("Rock");
        p_rock->setPosition(Vector(10, 5));
        p_rock->setVelocity(Vector(1, 0));
        auto* p_pebble = new Object;
        p_pebble->setType("Pebble");
        p_pebble->setPosition(Vector(30, 8));
        TileMap* p_map =
            with_map ? WorldManager::getInstance().setTileMap(std::make_unique<TileMap>(40, 10)) : nullptr;
        if (p_map)
            p_map->setTile(3, 2, wall());

        int joined_at = -1;
        runSteps(2000, [&](int step) {
            if (joined_at < 0 && p_host->getWatcherCount() > 0)
                joined_at = step;
            if (joined_at >= 0 && step == joined_at + PEBBLE_GONE_AFTER) {
                WorldManager::getInstance().markForDelete(p_pebble);
                if (p_map)
                    p_map->setTile(5, 4, wall());
            }
            return joined_at < 0 || step < joined_at + GAME_OVER_AFTER;
        });
        // Shutting down deletes the host, which tells the watcher the game has ended.
        GameManager::getInstance().shutDown();
        return joined_at >= 0 ? 0 : 2;
    }

    int hostExitCode() {
        int status = 0;
        waitpid(m_host_pid, &status, 0);
        m_host_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }

  private:
    pid_t m_host_pid = -1;
};

const ObjectMirror* mirrorOfType(const WorldMirror& watcher, const std::string& type) {
    ObjectList mirrors = watcher.getMirrors();
    for (ObjectListIterator it(&mirrors); !it.isDone(); it.next())
        if (it.currentObject()->getType() == type)
            return dynamic_cast<const ObjectMirror*>(it.currentObject());
    return nullptr;
}

TEST_F(WorldStreamingTest, AWatcherFollowsTheHostsPlainObjectsFromSnapshotToEnd) {
    const int port = startHost();
    ASSERT_GT(port, 0);
    ASSERT_EQ(startEngine(STREAMING_CONFIG), 0);
    auto* p_watcher = new WorldMirror;
    ASSERT_EQ(p_watcher->watch("127.0.0.1", std::to_string(port)), 0);

    // Per applied host step: the rock's mirror, whether the pebble's is there.
    int steps_applied = 0;
    int pebble_steps = 0;
    int pebble_gone_steps = 0;
    bool rock_kept_pace = true;
    float rock_offset = 0;
    p_watcher->setOnHostStep([&](int host_step) {
        const ObjectMirror* p_rock = mirrorOfType(*p_watcher, "Rock");
        const ObjectMirror* p_pebble = mirrorOfType(*p_watcher, "Pebble");
        if (p_rock == nullptr) {
            rock_kept_pace = false;
            return;
        }
        // The rock moves one space a step on the host: its mirror's x less
        // the host's step stays the same, while the mirror itself stays put.
        const float offset = p_rock->getPosition().getX() - static_cast<float>(host_step);
        if (steps_applied == 0)
            rock_offset = offset;
        rock_kept_pace = rock_kept_pace && offset == rock_offset && p_rock->getPosition().getY() == 5 &&
                         p_rock->getSourceVelocity() == Vector(1, 0) && p_rock->getVelocity() == Vector(0, 0);
        if (p_pebble != nullptr) {
            pebble_steps++;
            EXPECT_EQ(pebble_gone_steps, 0) << "the pebble came back";
            EXPECT_EQ(p_pebble->getPosition(), Vector(30, 8));
        } else {
            pebble_gone_steps++;
        }
        steps_applied++;
    });
    runSteps(3000, [&](int) {
        const WorldMirror::State state = p_watcher->getState();
        return state == WorldMirror::CONNECTING || state == WorldMirror::WATCHING;
    });

    EXPECT_EQ(p_watcher->getState(), WorldMirror::ENDED) << p_watcher->getReason();
    EXPECT_EQ(p_watcher->getReason(), "the host has ended the game");
    EXPECT_TRUE(rock_kept_pace);
    EXPECT_GE(steps_applied, GAME_OVER_AFTER - 5);
    EXPECT_GE(pebble_steps, PEBBLE_GONE_AFTER - 5);
    EXPECT_GE(pebble_gone_steps, GAME_OVER_AFTER - PEBBLE_GONE_AFTER - 5);
    EXPECT_EQ(hostExitCode(), 0);
}

// The host's map reaches the watcher's world with the snapshot, its change
// in the step it is made, and goes when the watching ends.
TEST_F(WorldStreamingTest, AWatcherHoldsTheHostsTileMapAndItsChanges) {
    const int port = startHost(true);
    ASSERT_GT(port, 0);
    ASSERT_EQ(startEngine(STREAMING_CONFIG), 0);
    auto* p_watcher = new WorldMirror;
    ASSERT_EQ(p_watcher->watch("127.0.0.1", std::to_string(port)), 0);
    WorldManager& world_manager = WorldManager::getInstance();
    int steps_with_map = 0;
    int steps_with_second_wall = 0;
    p_watcher->setOnHostStep([&](int) {
        const TileMap* p_map = world_manager.getTileMap();
        if (!p_map || p_map->getWidth() != 40 || p_map->getHeight() != 10 ||
            !(p_map->getTile(3, 2) == wall()))
            return;
        steps_with_map++;
        if (p_map->getTile(5, 4) == wall())
            steps_with_second_wall++;
        else
            EXPECT_EQ(steps_with_second_wall, 0) << "the second wall went again";
        EXPECT_FALSE(p_map->isSolid(4, 2));
    });
    runSteps(3000, [&](int) {
        const WorldMirror::State state = p_watcher->getState();
        return state == WorldMirror::CONNECTING || state == WorldMirror::WATCHING;
    });

    EXPECT_EQ(p_watcher->getState(), WorldMirror::ENDED) << p_watcher->getReason();
    EXPECT_GE(steps_with_map, GAME_OVER_AFTER - 5);
    EXPECT_GE(steps_with_second_wall, GAME_OVER_AFTER - PEBBLE_GONE_AFTER - 5);
    EXPECT_EQ(world_manager.getTileMap(), nullptr);
    EXPECT_EQ(hostExitCode(), 0);
}

} // namespace
} // namespace vt::test
