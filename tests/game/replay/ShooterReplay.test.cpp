#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/EngineTest.h"
#include "vintrel/replay/ReplayFile.h"

// The committed recording of a real game, played back by the real binary
// headless and at full speed.
namespace {

struct Replayed {
    int exit_code = -1;
    std::string out;
    std::string err;
};

class ShooterReplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sprites", "sounds"}) {
            std::error_code error;
            std::filesystem::create_symlink(std::filesystem::path(VINTREL_GAME_DATA_DIR) / name,
                                            m_dir.file(name), error);
            ASSERT_FALSE(error) << error.message();
        }
    }

    Replayed replay(const std::string& file, const std::string& audio_driver = "null",
                    const std::string& options = "--headless --fast") const {
        const std::string command = "cd '" + m_dir.path() + "' && ALSOFT_DRIVERS=" + audio_driver + " '" +
                                    VINTREL_SHOOTER + "' --replay '" + file + "' " + options + " 2>err.txt";
        Replayed run;
        FILE* p_pipe = popen(command.c_str(), "r");
        char buffer[256];
        while (p_pipe != nullptr && std::fgets(buffer, sizeof(buffer), p_pipe) != nullptr)
            run.out += buffer;
        const int status = p_pipe != nullptr ? pclose(p_pipe) : -1;
        run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = vt::test::readFile(m_dir.file("err.txt"));
        return run;
    }

    /// The committed recording with these entries before its own settings
    /// (the first entry of a key wins), written as forged.vtr.
    void forge(const std::string& entries) const {
        vt::ReplayFile file;
        std::string error;
        ASSERT_EQ(file.load(std::string(VINTREL_SOURCE_DIR) + "/game/replays/shooter.vtr", error), 0)
            << error;
        file.config = entries + file.config;
        ASSERT_EQ(file.save(m_dir.file("forged.vtr"), error), 0) << error;
    }

    vt::test::TempDir m_dir;
};

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
