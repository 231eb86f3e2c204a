#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "vintrel/core/GameManager.h"

namespace vt::bench {

/// Starts the engine headless, without networking, with its configuration
/// and log in a scratch directory named after the benchmark; true on success.
inline bool startHeadlessEngine(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("vintrel-bench-" + name);
    std::filesystem::create_directories(dir);
    const std::string config = (dir / "vt-config.txt").string();
    std::ofstream(config) << "headless:true,\nnetworking:false,\nrandom_seed:1,\n";
    setenv("VINTREL_CONFIG", config.c_str(), 1);
    setenv("VINTREL_LOG", (dir / "bench.log").string().c_str(), 1);
    return GameManager::getInstance().startUp() == 0;
}

} // namespace vt::bench
