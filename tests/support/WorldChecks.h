#pragma once

#include <ostream>
#include <string>

#include "vintrel/world/Grid.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ObjectList.h"
#include "vintrel/world/SceneGraph.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

/// Lets test failures show vectors and boxes as text.
inline void PrintTo(const Vector& v, std::ostream* p_os) { *p_os << v.toString(); }
inline void PrintTo(const Box& b, std::ostream* p_os) { *p_os << b.toString(); }
inline void PrintTo(const Grid::Cell& cell, std::ostream* p_os) {
    *p_os << "(" << cell.x << "," << cell.y << ")";
}

} // namespace vt

namespace vt::test {

/// How many times the list holds the object.
inline int occurrences(const ObjectList& list, const Object* p_o) {
    int n = 0;
    for (int i = 0; i < list.getCount(); i++)
        if (list[i] == p_o)
            n++;
    return n;
}

/// Empty when the world manager's scene graph indexes the object exactly as
/// its state says (activity, visibility by altitude, solidness with grid
/// cells, type); otherwise a description of every mismatch.
inline std::string indexMismatch(const Object* p_o) {
    SceneGraph& scene_graph = WorldManager::getInstance().getSceneGraph();
    const Grid& grid = scene_graph.getGrid();
    std::string problems;
    auto expect = [&problems](const char* where, int held, int wanted) {
        if (held != wanted)
            problems += std::string(where) + " holds it " + std::to_string(held) + " times, expected " +
                        std::to_string(wanted) + "; ";
    };
    const bool active = p_o->isActive();
    expect("objects", occurrences(scene_graph.activeObjects(), p_o), active ? 1 : 0);
    expect("inactive_objects", occurrences(scene_graph.inactiveObjects(), p_o), active ? 0 : 1);
    expect("type list", occurrences(scene_graph.objectsOfType(p_o->getType()), p_o), active ? 1 : 0);
    for (int altitude = ALTITUDE_MIN; altitude <= ALTITUDE_MAX; altitude++) {
        const bool listed = active && p_o->isVisible() && p_o->getAltitude() == altitude;
        const std::string where = "visible_objects[" + std::to_string(altitude) + "]";
        expect(where.c_str(), occurrences(scene_graph.visibleObjects(altitude), p_o), listed ? 1 : 0);
    }
    const bool indexed = active && p_o->isSolid();
    expect("solid_objects", occurrences(scene_graph.solidObjects(), p_o), indexed ? 1 : 0);

    const auto covered = grid.cellsOf(p_o, p_o->getPosition());
    auto wanted_in = [&](const Grid::Cell& cell) {
        if (!indexed)
            return 0;
        for (const Grid::Cell& c : covered)
            if (c == cell)
                return 1;
        return 0;
    };
    expect("cell (-1,-1)", occurrences(grid.objectsInCell({-1, -1}), p_o), wanted_in({-1, -1}));
    for (int y = 0; y < grid.getNumRows(); y++) {
        for (int x = 0; x < grid.getNumCols(); x++) {
            const std::string where = "cell (" + std::to_string(x) + "," + std::to_string(y) + ")";
            expect(where.c_str(), occurrences(grid.objectsInCell({x, y}), p_o), wanted_in({x, y}));
        }
    }
    return problems;
}

} // namespace vt::test
