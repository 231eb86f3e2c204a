// Feeds arbitrary bytes to the map file reader, as TileMap::loadFile would
// after reading a file. A map that comes back must keep the promises drawing
// and collisions rely on: a size within the limits and one cell per place.
// The map is then asked for the solid cells under a box taken from the
// input, which must stay inside it whatever the box.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "QuietLog.h"
#include "vintrel/core/Box.h"
#include "vintrel/world/TileMap.h"
#include "world/TileMapReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vt::fuzz::startQuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vt::TileMapReader reader;
    if (reader.read(text)) {
        const auto cells =
            static_cast<std::size_t>(reader.getWidth()) * static_cast<std::size_t>(reader.getHeight());
        if (reader.getWidth() < 1 || reader.getHeight() < 1 || reader.getWidth() > vt::TileMap::MAX_SIDE ||
            reader.getHeight() > vt::TileMap::MAX_SIDE || cells > vt::TileMap::MAX_CELLS ||
            reader.getTiles().size() != cells)
            __builtin_trap();
    } else if (!reader.getTiles().empty() || reader.getError().empty()) {
        __builtin_trap();
    }

    vt::TileMap map;
    if (map.loadText(text, "fuzz") != 0)
        return 0;
    float corner[4] = {0, 0, 1, 1};
    std::memcpy(corner, data, std::min(size, sizeof corner));
    const vt::Box box(vt::Vector(corner[0], corner[1]), corner[2], corner[3]);
    map.forEachSolidIn(box, [&map](int column, int row) {
        if (!map.isSolid(column, row))
            __builtin_trap();
    });
    return 0;
}
