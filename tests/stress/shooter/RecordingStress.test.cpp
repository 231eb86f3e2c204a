#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include <vintrel/replay/ReplayFile.h>

#include "game/replay/ShooterRunTest.h"

// Hostile recordings and targets, and recordings cut short, with the real
// binary and real files.
namespace {

using RecordingStressTest = ShooterRunTest;

// Files in the folder whose names start with `prefix`.
long countFiles(const std::string& folder, const std::string& prefix) {
    return std::count_if(std::filesystem::directory_iterator(folder), {}, [&prefix](const auto& entry) {
        return entry.path().filename().string().rfind(prefix, 0) == 0;
    });
}

TEST_F(RecordingStressTest, ForgedLengthsAndStrippedCheckpointsAreRefusedBeforeAnythingRuns) {
    vt::ReplayFile good;
    std::string error;
    ASSERT_EQ(good.load(std::string(VINTREL_SOURCE_DIR) + "/game/replays/shooter.vtr", error), 0) << error;
    const struct {
        const char* name;
        std::function<void(vt::ReplayFile&)> forge;
    } forgeries[] = {
        {"no input and the longest run there is",
         [](vt::ReplayFile& f) {
             f.inputs.clear();
             f.checkpoints.clear();
             f.step_count = INT_MAX;
         }},
        {"every checkpoint removed", [](vt::ReplayFile& f) { f.checkpoints.clear(); }},
        {"one checkpoint removed",
         [](vt::ReplayFile& f) { f.checkpoints.erase(f.checkpoints.begin() + 20); }},
    };
    for (const auto& forgery : forgeries) {
        SCOPED_TRACE(forgery.name);
        vt::ReplayFile forged = good;
        forgery.forge(forged);
        ASSERT_EQ(forged.save(m_dir.file("forged.vtr"), error), 0) << error;
        const Replayed run = replay("forged.vtr");
        EXPECT_EQ(run.exit_code, 2) << run.out;
        EXPECT_EQ(
            run.err.rfind("vintrel-shooter: cannot replay forged.vtr: corrupted: no checkpoint by step ", 0),
            0u)
            << run.err;
        EXPECT_EQ(vt::test::countLines(run.err, ""), 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("vintrel.log")));
}

TEST_F(RecordingStressTest, TargetsThatCannotHoldARecordingAreRefusedBeforeTheEngineStarts) {
    // Root, as the tests run, may write nearly anything: /proc takes no new file from anyone.
    for (const std::string target : {"/proc/version", "/proc/run.vtr", "missing/run.vtr", "."}) {
        SCOPED_TRACE(target);
        std::filesystem::remove(m_dir.file("vintrel.log"));
        vt::test::ChildProcess shooter;
        ASSERT_TRUE(launch(&shooter, {"--record", target}));
        EXPECT_EQ(shooter.exitCode(std::chrono::seconds(30)), 2);
        const std::string out = vt::test::readFile(m_dir.file("out.txt"));
        EXPECT_EQ(out.rfind("vintrel-shooter: cannot record: " + target + ": ", 0), 0u) << out;
        EXPECT_EQ(vt::test::countLines(out, ""), 1) << out;
        EXPECT_FALSE(std::filesystem::exists(m_dir.file("vintrel.log")));
    }
}

TEST_F(RecordingStressTest, AnEarlierRecordingStaysWholeUntilTheNewOneIsComplete) {
    const std::string earlier =
        vt::test::readFile(std::string(VINTREL_SOURCE_DIR) + "/game/replays/shooter.vtr");
    const std::string target = m_dir.file("run.vtr");
    const struct {
        const char* name;
        int signal;
        std::string shell;
        std::function<void()> meanwhile;
        int exit_code;
        const char* message;
    } cases[] = {
        {"killed", SIGKILL, "", [] {}, 128 + SIGKILL, ""},
        {"out of room", SIGTERM, "trap '' XFSZ; ulimit -f 1", [] {}, 1,
         "File too large (the file is left as it was)"},
        {"turned into a folder", SIGTERM, "",
         [&target] {
             std::filesystem::remove(target);
             std::filesystem::create_directory(target);
         },
         1, "the new recording is kept in "},
        {"stopped", SIGTERM, "", [] {}, 0, ""},
    };
    for (const auto& run : cases) {
        SCOPED_TRACE(run.name);
        std::filesystem::remove_all(target);
        ASSERT_TRUE(vt::test::writeFile(target, earlier));
        EXPECT_EQ(recordAndStop("run.vtr", run.signal, {}, run.shell, run.meanwhile), run.exit_code);
        const std::string out = vt::test::readFile(m_dir.file("out.txt"));
        EXPECT_NE(out.find(run.message), std::string::npos) << out;
        // A whole recording, the earlier one unless the new one is complete;
        // beside the target, nothing but a new one the message names.
        const std::size_t kept_at = out.find("kept in ");
        const bool kept = kept_at != std::string::npos;
        const std::string written =
            kept ? m_dir.file(out.substr(kept_at + 8, out.find(')', kept_at) - kept_at - 8)) : target;
        vt::ReplayFile file;
        std::string error;
        EXPECT_EQ(file.load(written, error), 0) << error;
        EXPECT_EQ(vt::test::readFile(written) == earlier, run.exit_code != 0 && !kept);
        EXPECT_EQ(countFiles(m_dir.path(), "run.vtr."), kept ? 1 : 0);
        if (kept) {
            std::filesystem::remove(written);
        }
    }
}

} // namespace
