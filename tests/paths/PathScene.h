#pragma once

#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "vintrel/paths/PathFind.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {

/// A HARD object filling the cell (x, y), as walls in path scenes.
inline Object* placeWall(int x, int y) {
    auto* p_wall = new Object;
    p_wall->setType("Wall");
    p_wall->setPosition(Vector(static_cast<float>(x), static_cast<float>(y)));
    return p_wall;
}

/// Walls from a picture: one string per row from row `top`, '#' a wall.
inline void placeWalls(const std::vector<std::string>& rows, int top = 0) {
    for (std::size_t y = 0; y < rows.size(); y++)
        for (std::size_t x = 0; x < rows[y].size(); x++)
            if (rows[y][x] == '#')
                placeWall(static_cast<int>(x), top + static_cast<int>(y));
}

/// A wall of three cells at x = 5, rows 1 to 3, standing across the row-2
/// route from (3, 2) to (8, 2).
inline void placeShortWall() {
    placeWalls({
        "..........",
        ".....#....",
        ".....#....",
        ".....#....",
        "..........",
    });
}

/// Walls round the cell (1, top + 1), so that nothing outside reaches it; the cell.
inline PathFind::Cell wallInCell(int top = 9) {
    placeWalls({"###", "#.#", "###"}, top);
    return PathFind::Cell{1, top + 1};
}

/// The process's resident memory in KiB (VmRSS), or -1 when unknown.
inline long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = -1;
        if (key == "VmRSS:" && status >> value)
            return value;
        status.ignore(256, '\n');
    }
    return -1;
}

/// A path through the given waypoints, its cursor on the first.
inline Path pathOf(std::initializer_list<Vector> waypoints) {
    Path path;
    for (const Vector& waypoint : waypoints)
        path.addWaypoint(waypoint);
    return path;
}

/// The scene of the search benchmark in an 80 x 24 world: vertical walls
/// with alternating gaps at top and bottom that force a winding route from
/// the left edge to the right edge.
inline void placeSerpentine() {
    for (int x = 10; x < 80; x += 10) {
        const bool gap_at_top = (x / 10) % 2 == 0;
        for (int y = 0; y < 24; y++) {
            const bool in_gap = gap_at_top ? y < 3 : y > 20;
            if (!in_gap)
                placeWall(x, y);
        }
    }
}

/// Runs the search to its end; the last result, or -1 after max_cycles.
inline int runSearch(PathFind& search, int max_cycles = 100000) {
    for (int i = 0; i < max_cycles; i++) {
        const int result = search.cycleOnce();
        if (result != PathFind::SEARCHING)
            return result;
    }
    return -1;
}

} // namespace vt::test
