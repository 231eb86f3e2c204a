// Feeds arbitrary bytes to the replay file reader, as a downloaded or
// damaged replay would arrive. Any crash, sanitizer report or runaway
// allocation is a fault, and so is a file that is accepted but whose
// contents do not write and read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vintrel/replay/ReplayFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vt::ReplayFile file;
    std::string error;
    if (file.decode(std::string(reinterpret_cast<const char*>(data), size), error) != 0) {
        if (error.empty() || error.find('\n') != std::string::npos)
            __builtin_trap();
        return 0;
    }
    const std::string written = file.encode();
    vt::ReplayFile again;
    if (again.decode(written, error) != 0 || again.encode() != written)
        __builtin_trap();
    return 0;
}
