// Feeds arbitrary bytes to the save file reader, as a damaged or hand-edited
// save would arrive. Any crash, sanitizer report or runaway allocation is a
// fault, and so is a file that is accepted but whose values do not write and
// read back the same.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "save/SaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::map<std::string, std::string> values;
    std::string error;
    if (!vt::save::decodeSave(std::string(reinterpret_cast<const char*>(data), size), &values, &error)) {
        if (error.empty() || !values.empty())
            __builtin_trap();
        return 0;
    }
    std::map<std::string, std::string> again;
    if (!vt::save::decodeSave(vt::save::encodeSave(values), &again, &error) || again != values)
        __builtin_trap();
    return 0;
}
