#pragma once

#include <gtest/gtest.h>

#include <string>

namespace vt::test {

/// A scratch directory for one test process, removed at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    /// path() + "/" + name.
    std::string file(const std::string& name) const;

  private:
    std::string m_path;
};

/// Writes a whole file; true on success.
bool writeFile(const std::string& path, const std::string& content);
/// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
/// Number of lines of text that contain the fragment.
int countLines(const std::string& text, const std::string& fragment);

/// The settings tests start the engine with unless they say otherwise:
/// no window, no networking, a fixed random seed.
std::string headlessConfig();

/// Puts back what a fresh process holds in the engine's process-wide state:
/// the default configuration, the log's level and format, the game-over flag,
/// the path manager's limits, object numbering from 1, the real clock and an
/// unopened save. The engine must be stopped.
void resetEngineState();

/// Base fixture: a fresh engine state (resetEngineState), a temporary working directory holding the
/// configuration file and the log, with VINTREL_CONFIG and VINTREL_LOG pointing there. The engine is shut
/// down at the end of every test.
class EngineTest : public ::testing::Test {
  protected:
    EngineTest();
    ~EngineTest() override;

    /// Writes the configuration file (replacing any earlier one).
    void writeConfig(const std::string& config_text);
    /// Writes the configuration and starts the game manager; its result.
    int startEngine(const std::string& config_text = headlessConfig());
    /// Shuts the game manager down if it is started.
    void stopEngine();
    /// The log file's text so far (flushes first).
    std::string logText() const;
    std::string logPath() const { return m_dir.file("test.log"); }
    std::string configPath() const { return m_dir.file("vt-config.txt"); }
    const TempDir& dir() const { return m_dir; }

  private:
    TempDir m_dir;
    std::string m_previous_cwd;
};

} // namespace vt::test
