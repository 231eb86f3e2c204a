// Rebuilds an object from arbitrary bytes, as a record from a peer would
// arrive, then lets the world live with it: a few steps among HARD and SOFT
// neighbours, drawing (headless), a path search from where it stands, and a
// few more steps to walk the path. The first byte chooses the kind of object
// (bit 0) and the goal of the search (the other bits, some goals outside the
// world); the rest is the record. A crash, a sanitizer report, a runaway
// allocation, or an object left holding an infinite or NaN number is a fault.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "support/ScratchEngine.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace {

bool g_started = false;
// Kept here so that they stay reachable until the process ends.
vt::Object* g_neighbours[19] = {};

bool finite(const vt::Vector& v) { return std::isfinite(v.getX()) && std::isfinite(v.getY()); }

bool holdsOnlyFiniteNumbers(const vt::Object& object) {
    const vt::Box box = object.getBox();
    return finite(object.getPosition()) && finite(object.getDirection()) &&
           std::isfinite(object.getSpeed()) && finite(object.getAcceleration()) && finite(box.getCorner()) &&
           std::isfinite(box.getHorizontal()) && std::isfinite(box.getVertical());
}

void step(vt::Object& object) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    world_manager.update();
    world_manager.draw();
    if (!holdsOnlyFiniteNumbers(object))
        __builtin_trap();
}

// Neighbours that stay for the whole run: a HARD wall with a gap and a SOFT
// object, both where a search from the middle of the world must go around.
void buildNeighbours() {
    for (int y = 2; y < 20; y++) {
        vt::Object*& p_wall = g_neighbours[y - 2];
        p_wall = new vt::Object;
        p_wall->setType("Wall");
        p_wall->setPosition(vt::Vector(40, static_cast<float>(y)));
    }
    vt::Object*& p_soft = g_neighbours[18];
    p_soft = new vt::Object;
    p_soft->setSolidness(vt::SOFT);
    p_soft->setPosition(vt::Vector(30, 10));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A short step leaves the path searches a short budget, for more runs a
    // second. Refused records are logged; millions of them would fill a disk.
    const vt::test::ScratchEngine engine(
        "headless:true,\nnetworking:false,\nrandom_seed:42,\nframe_time:10,\n", "/dev/null");
    g_started = engine.result() == 0;
    if (g_started)
        buildNeighbours();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!g_started || size == 0)
        return 0;
    vt::Object* p_o = (data[0] & 1) ? new vt::ViewObject : new vt::Object;
    std::stringstream ss(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    p_o->deserialize(&ss);

    for (int i = 0; i < 3; i++)
        step(*p_o);

    // Columns -5 to 72 and rows -2 to 26 of an 80 x 24 world.
    const vt::Vector goal(static_cast<float>(((data[0] >> 1) & 7) * 11 - 5),
                          static_cast<float>(((data[0] >> 4) & 7) * 4 - 2));
    vt::PathManager& path_manager = vt::PathManager::getInstance();
    if (path_manager.findPath(p_o, goal) == 0)
        for (int i = 0; i < 4 && path_manager.getSearchCount() > 0; i++)
            path_manager.cycle(0);

    for (int i = 0; i < 3; i++)
        step(*p_o);

    vt::WorldManager::getInstance().markForDelete(p_o);
    vt::WorldManager::getInstance().update();
    return 0;
}
