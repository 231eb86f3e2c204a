#include "support/AudioFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace vt::test {

bool makeTone(const std::string& path, double seconds, int frequency) {
    char command[1024];
    std::snprintf(command, sizeof(command), "sox -q -n -r 22050 -c 1 '%s' synth %.3f sine %d 2>&1",
                  path.c_str(), seconds, frequency);
    return std::system(command) == 0 && std::filesystem::exists(path);
}

} // namespace vt::test
