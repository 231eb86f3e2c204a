// Feeds arbitrary bytes to Object::deserialize as a record from a peer would
// arrive. Any crash, sanitizer report or runaway allocation is a fault.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "vintrel/core/GameManager.h"
#include "vintrel/world/Object.h"

namespace {

// One object rebuilt again and again. Making a fresh object for every input
// would run the id counter up to its end on records that carry huge ids.
vt::Object* p_object = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string dir = (std::filesystem::temp_directory_path() / "vintrel-fuzz-XXXXXX").string();
    if (!mkdtemp(dir.data()))
        return 0;
    const std::string config = dir + "/vt-config.txt";
    std::ofstream(config) << "headless:true,\nnetworking:false,\nrandom_seed:42,\n";
    setenv("VINTREL_CONFIG", config.c_str(), 1);
    // Refused records are logged; millions of them would fill a disk.
    setenv("VINTREL_LOG", "/dev/null", 1);
    if (vt::GameManager::getInstance().startUp() == 0)
        p_object = new vt::Object;
    std::filesystem::remove_all(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!p_object)
        return 0;
    std::stringstream ss(std::string(reinterpret_cast<const char*>(data), size));
    std::uint32_t mask = 0;
    p_object->deserialize(&ss, &mask);
    // Whatever was applied must still make a record that reads back.
    std::stringstream out;
    if (p_object->serialize(&out, vt::ALL_ATTRIBUTES) != 0 || p_object->deserialize(&out) != 0)
        __builtin_trap();
    return 0;
}
