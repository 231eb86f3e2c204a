// Feeds arbitrary bytes to the reader of a font file's character map, as a
// damaged or hostile font file would reach it. Any crash, sanitizer report
// or runaway allocation is a fault, and so is a map that does not say the
// same thing twice.

#include <cstddef>
#include <cstdint>
#include <string>

#include "media/FontCoverage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vt::FontCoverage coverage;
    const bool read = coverage.read(bytes);
    vt::FontCoverage again;
    if (again.read(bytes) != read)
        __builtin_trap();
    for (const char32_t code_point : {0x0u, 0x20u, 0x41u, 0x2500u, 0xFFFDu, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        if (coverage.covers(code_point) != again.covers(code_point) ||
            (!read && !coverage.covers(code_point)))
            __builtin_trap();
    }
    return 0;
}
