#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/EngineTest.h"
#include "vintrel/replay/ReplayFile.h"

/// What a replay run by the real binary printed, and how it ended.
struct Replayed {
    int exit_code = -1;
    std::string out;
    std::string err;
};

/// The real shooter binary in a scratch folder that holds its data and a
/// configuration for headless runs: replays of recordings, and recordings
/// that nobody plays, ended by a signal.
class ShooterRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sprites", "sounds"}) {
            std::error_code error;
            std::filesystem::create_symlink(std::filesystem::path(VINTREL_GAME_DATA_DIR) / name,
                                            m_dir.file(name), error);
            ASSERT_FALSE(error) << error.message();
        }
        ASSERT_TRUE(vt::test::writeFile(m_dir.file("vt-config.txt"), "headless:true,frame_time:10,"));
    }

    /// Replays the file (headless and fast unless the options say otherwise);
    /// a replay that runs on and on is ended.
    Replayed replay(const std::string& file, const std::string& audio_driver = "null",
                    const std::string& options = "--headless --fast") const {
        const std::string command = "cd '" + m_dir.path() + "' && ALSOFT_DRIVERS=" + audio_driver +
                                    " timeout 100 '" + VINTREL_SHOOTER + "' --replay '" + file + "' " +
                                    options + " 2>err.txt";
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

    /// Starts the shooter with these arguments, both output streams going to
    /// out.txt; a shell command, when given, runs first in the same process.
    bool launch(vt::test::ChildProcess* p_shooter, std::vector<std::string> arguments,
                const std::string& shell = "") const {
        if (!shell.empty())
            arguments.insert(arguments.begin(), {"-c", shell + "; exec \"$0\" \"$@\"", VINTREL_SHOOTER});
        return p_shooter->start(shell.empty() ? VINTREL_SHOOTER : "/bin/sh", arguments, m_dir.path(),
                                {{"ALSOFT_DRIVERS", "null"}}, m_dir.file("out.txt"));
    }

    /// Records to the file for two seconds with the extra arguments, calling
    /// `meanwhile` after the first, then sends the signal; the exit code.
    int recordAndStop(
        const std::string& file, int signal, std::vector<std::string> arguments = {},
        const std::string& shell = "", const std::function<void()>& meanwhile = [] {}) const {
        arguments.insert(arguments.begin(), {"--record", file});
        vt::test::ChildProcess shooter;
        if (!launch(&shooter, arguments, shell))
            return -1;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        meanwhile();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        shooter.signal(signal);
        return shooter.exitCode(std::chrono::seconds(30));
    }

    vt::test::TempDir m_dir;
};
