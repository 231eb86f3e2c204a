#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "vintrel/core/GameManager.h"

namespace vt::test {

/// Starts the engine for programs that are not tests (benchmarks, fuzz
/// targets) with the given configuration text, written to a fresh temporary
/// directory. The log goes to that directory unless a log file is named (for
/// example "/dev/null"). The directory is removed on destruction; the engine
/// is left to the caller, since it reads its configuration only at start-up.
class ScratchEngine {
  public:
    explicit ScratchEngine(const std::string& config_text, const std::string& log_file = "") {
        std::string pattern = (std::filesystem::temp_directory_path() / "vintrel-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        m_dir = pattern;
        const std::string config = m_dir + "/vt-config.txt";
        std::ofstream(config) << config_text;
        setenv("VINTREL_CONFIG", config.c_str(), 1);
        setenv("VINTREL_LOG", log_file.empty() ? (m_dir + "/vintrel.log").c_str() : log_file.c_str(), 1);
        m_result = GameManager::getInstance().startUp();
    }
    ~ScratchEngine() {
        if (!m_dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_dir, ignored);
        }
    }
    ScratchEngine(const ScratchEngine&) = delete;
    ScratchEngine& operator=(const ScratchEngine&) = delete;

    /// The start-up's result: 0, or -1 (also when no directory could be made).
    int result() const { return m_result; }

  private:
    std::string m_dir;
    int m_result = -1;
};

} // namespace vt::test
