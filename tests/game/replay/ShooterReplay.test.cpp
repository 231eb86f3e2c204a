#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/replay/ShooterRunTest.h"
#include "network/WorldStreamFormat.h"
#include "support/LoopbackPeers.h"

// The committed recording of a real game, played back by the real binary
// headless and at full speed.
namespace {

using ShooterReplayTest = ShooterRunTest;

TEST_F(ShooterReplayTest, RecordedGameReplaysToTheScoreItEndedWith) {
    const std::string replays = std::string(VINTREL_SOURCE_DIR) + "/game/replays/";
    const std::string score = vt::test::readFile(replays + "shooter.score");
    ASSERT_FALSE(score.empty());
    // Also without an audio device: the game must still end cleanly.
    for (const char* driver : {"null", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        const Replayed run = replay(replays + "shooter.vtr", driver);
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(run.out.rfind("Final score " + score.substr(0, score.find('\n')) + " after ", 0), 0u)
            << run.out;
        EXPECT_NE(run.out.find("Replay matched its recording"), std::string::npos) << run.out;
        EXPECT_EQ(run.err.find("diverged"), std::string::npos) << run.err;
        // A minute of play at 30 steps a second.
        EXPECT_GE(std::stoi(run.out.substr(run.out.find(" after ") + 7)), 1800);
    }
}

TEST_F(ShooterReplayTest, BadReplayFilesAreRefusedBeforeTheGameStarts) {
    const std::string good =
        vt::test::readFile(std::string(VINTREL_SOURCE_DIR) + "/game/replays/shooter.vtr");
    ASSERT_GT(good.size(), 100u);
    std::string changed = good;
    changed[good.size() / 2] = static_cast<char>(changed[good.size() / 2] ^ 1);
    std::string newer = good;
    newer[8] = 9;
    const struct {
        const char* name;
        std::string bytes;
        const char* why;
    } files[] = {
        {"truncated", good.substr(0, good.size() / 2), "truncated"},
        {"corrupted", changed, "corrupted"},
        {"another version", newer, "version 9"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(vt::test::writeFile(m_dir.file("bad.vtr"), file.bytes));
        const Replayed run = replay("bad.vtr");
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_EQ(run.err.rfind("vintrel-shooter: cannot replay bad.vtr: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(file.why), std::string::npos) << run.err;
        EXPECT_EQ(vt::test::countLines(run.err, ""), 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const Replayed missing = replay("missing.vtr");
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_EQ(missing.err, "vintrel-shooter: cannot replay missing.vtr: No such file or directory\n");
    // Nothing ran: no engine, no log.
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("vintrel.log")));
}

TEST_F(ShooterReplayTest, GameRecordedWhileHostingReplaysWithoutTheHost) {
    // A watcher joins once the host serves (after the title sequence) and
    // stays, so that the host sends every step's changes.
    int watcher = -1;
    std::string received;
    const int stopped = recordAndStop("hosted.vtr", SIGTERM, {"--host", "127.0.0.1:0"}, "", [&] {
        std::string out;
        vt::test::waitFor(
            [&] {
                return (out = vt::test::readFile(m_dir.file("out.txt"))).find(" port ") != std::string::npos;
            },
            std::chrono::seconds(30));
        watcher = vt::test::connectPeer(std::atoi(out.substr(out.find(" port ") + 6).c_str()));
        const std::string hello = vt::stream::hello();
        EXPECT_EQ(send(watcher, hello.data(), hello.size(), MSG_NOSIGNAL), static_cast<long>(hello.size()));
        vt::test::waitFor([&] { return !(received += vt::test::peerReceiveAll(watcher)).empty(); },
                          std::chrono::seconds(10));
    });
    close(watcher);
    EXPECT_FALSE(received.empty()) << vt::test::readFile(m_dir.file("out.txt"));
    ASSERT_EQ(stopped, 0) << vt::test::readFile(m_dir.file("out.txt"));
    const Replayed run = replay("hosted.vtr");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("Replay matched its recording"), std::string::npos) << run.out;
}

// A shared recording names files, ports and signals in its settings: the
// replay takes from it only what decides the run, and the rest from the
// replayer's own configuration.
TEST_F(ShooterReplayTest, ARecordingNeitherWritesTheFilesItNamesNorSetsUpTheProcess) {
    const std::string victim = m_dir.file("victim.txt");
    ASSERT_TRUE(vt::test::writeFile(victim, "keep me\n"));
    ASSERT_TRUE(vt::test::writeFile(m_dir.file("vt-config.txt"), "logfile:mine.log,\n"));
    forge("logfile:" + victim + ",logfile_max_mb:1,signals:false,networking:true,network_backlog:1024,");
    unsetenv("VINTREL_LOG");
    unsetenv("VINTREL_CONFIG");
    const Replayed run = replay("forged.vtr");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("Replay matched its recording"), std::string::npos) << run.out;
    EXPECT_EQ(vt::test::readFile(victim), "keep me\n");
    EXPECT_EQ(vt::test::countLines(vt::test::readFile(m_dir.file("mine.log")), "** Game engine stopped **"),
              1);
}

TEST_F(ShooterReplayTest, SettingsTheEngineCannotStartWithAreRefusedBeforeAnyWindowOpens) {
    const std::pair<const char*, const char*> settings[] = {
        {"window_vertical_chars:0,", "window_vertical_chars:0"},
        {"grid_width:0,", "grid_width:0"},
        {"window_horizontal_pixels:100000000,", "window_horizontal_pixels:100000000"},
        {"window_horizontal_chars:5000,window_vertical_chars:5000,grid_width:1,grid_height:1,", "grid"},
    };
    // Without a display: a replay that got as far as opening its window would end with 1.
    unsetenv("DISPLAY");
    for (const auto& [entries, named] : settings) {
        SCOPED_TRACE(entries);
        forge(entries);
        const Replayed run = replay("forged.vtr", "null", "");
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_EQ(run.err.rfind("vintrel-shooter: cannot replay forged.vtr: its settings ", 0), 0u)
            << run.err;
        EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
        EXPECT_EQ(vt::test::countLines(run.err, ""), 1) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(m_dir.file("vintrel.log")));
    }
}

} // namespace
