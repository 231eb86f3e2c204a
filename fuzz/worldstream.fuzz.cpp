// Feeds arbitrary bytes to a world mirror as a host's stream would arrive:
// the message decoder, then snapshots, steps and their object records. The
// world it builds is then stepped and drawn headless. Any crash, sanitizer
// report or runaway allocation is a fault.

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/ScratchEngine.h"
#include "vintrel/network/WorldMirror.h"
#include "vintrel/world/ObjectList.h"
#include "vintrel/world/WorldManager.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Refused streams are logged; millions of them would fill a disk.
    const vt::test::ScratchEngine engine("headless:true,\nnetworking:false,\nrandom_seed:42,\n", "/dev/null");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    if (!world_manager.isStarted())
        return 0;
    // Two pieces, as a stream may be cut anywhere.
    auto* p_mirror = new vt::WorldMirror;
    const auto* p_bytes = reinterpret_cast<const char*>(data);
    if (p_mirror->receiveBytes(p_bytes, size / 2) == 0)
        p_mirror->receiveBytes(p_bytes + size / 2, size - size / 2);
    world_manager.update();
    world_manager.draw();

    const vt::ObjectList all = world_manager.getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++)
        world_manager.markForDelete(all[i]);
    world_manager.update();
    return 0;
}
