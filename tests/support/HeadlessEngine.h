#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "vintrel/core/GameManager.h"

namespace vt::test {

/// Starts the engine without a window or networking (unless the extra
/// settings say otherwise) for programs that are not tests (benchmarks), with
/// its configuration and log in a fresh temporary directory. The directory is removed on destruction; the
/// engine is left to the caller.
class HeadlessEngine {
  public:
    explicit HeadlessEngine(const std::string& extra_config = "") {
        std::string pattern = (std::filesystem::temp_directory_path() / "vintrel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        m_dir = pattern;
        const std::string config = m_dir + "/vt-config.txt";
        // The first occurrence of a key wins: the extra settings come first.
        std::ofstream(config) << extra_config << "headless:true,networking:false,random_seed:1,";
        setenv("VINTREL_CONFIG", config.c_str(), 1);
        setenv("VINTREL_LOG", (m_dir + "/vintrel.log").c_str(), 1);
        m_result = GameManager::getInstance().startUp();
    }
    ~HeadlessEngine() {
        if (!m_dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_dir, ignored);
        }
    }
    HeadlessEngine(const HeadlessEngine&) = delete;
    HeadlessEngine& operator=(const HeadlessEngine&) = delete;

    /// The start-up's result: 0, or -1 (also when no directory could be made).
    int result() const { return m_result; }

  private:
    std::string m_dir;
    int m_result = -1;
};

} // namespace vt::test
