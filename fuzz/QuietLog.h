#pragma once

#include <cstdlib>

#include "vintrel/core/LogManager.h"

namespace vt::fuzz {

/// For targets that need only the log: starts it on /dev/null at the finest
/// level, so that every refusal's message is formatted as it would be in a
/// game, while the millions of them a run produces fill no disk.
inline void startQuietLog() {
    setenv("VINTREL_LOG", "/dev/null", 1);
    if (LogManager::getInstance().startUp() != 0)
        std::abort();
    LogManager::getInstance().setLogLevel(30);
}

} // namespace vt::fuzz
