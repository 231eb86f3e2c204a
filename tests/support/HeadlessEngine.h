#pragma once

#include <string>

#include "support/ScratchEngine.h"

namespace vt::test {

/// A scratch engine without a window or networking (unless the extra
/// settings say otherwise), seeded with 1, as the benchmarks run it.
class HeadlessEngine : public ScratchEngine {
  public:
    // The first occurrence of a key wins: the extra settings come first.
    explicit HeadlessEngine(const std::string& extra_config = "")
        : ScratchEngine(extra_config + "headless:true,networking:false,random_seed:1,") {}
};

} // namespace vt::test
