#include "vintrel/paths/PathFind.h"

#include <algorithm>
#include <cmath>

#include "paths/NodeTable.h"
#include "vintrel/core/Geometry.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/ObjectList.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"
#include "vintrel/world/WorldUtility.h"

namespace vt {

namespace {

// Widest world side searched; keeps neighbour arithmetic far from overflow.
constexpr int MAX_SIDE = 1 << 30;
static_assert(PathFind::MAX_CELLS_PER_EXPANSION == 4 * NodeTable::TILE_CELLS,
              "a cycle makes at most four tiles: the start's, then three round the cell expanded");

// Whole cells of a boundary extent; 0 for extents below one cell or not a number.
int wholeCells(float extent) {
    if (!(extent >= 1.0f))
        return 0;
    if (extent >= static_cast<float>(MAX_SIDE))
        return MAX_SIDE;
    return static_cast<int>(extent);
}

// Step and estimate lengths are taken in double precision, then rounded to
// float before they are added to a float cost.
float cellDistance(double dx, double dy) { return static_cast<float>(std::sqrt(dx * dx + dy * dy)); }

Vector toVector(PathFind::Cell cell) {
    return Vector(static_cast<float>(cell.x), static_cast<float>(cell.y));
}

std::int8_t stepCode(int dx, int dy) { return static_cast<std::int8_t>((dx + 1) * 3 + (dy + 1)); }

// Heap order: an entry ranks below another with a smaller f, or with the
// same f and a later discovery.
struct RanksBelow {
    template <typename Entry> bool operator()(const Entry& a, const Entry& b) const {
        return a.f > b.f || (a.f == b.f && a.order < b.order);
    }
};

} // namespace

PathFind::PathFind(Object* p_object, Cell start, Cell goal, Object* p_target)
    : m_p_object(p_object), m_p_target(p_target), m_start(start), m_goal(goal), m_columns(0), m_rows(0),
      m_p_nodes(std::make_unique<NodeTable>()), m_open(), m_open_count(0), m_discovered(0), m_closed(),
      m_cell_limit(MAX_CELLS), m_target_box(), m_found(false), m_result(SEARCHING),
      m_avoids_solid_tiles(false) {
    // The target may be destroyed while the search runs; only its box placed
    // at the goal matters, so it is read once here.
    if (p_target)
        m_target_box = getWorldBox(p_target, toVector(goal));
    const Box boundary = WorldManager::getInstance().getBoundary();
    const int columns = wholeCells(boundary.getHorizontal());
    const int rows = wholeCells(boundary.getVertical());
    if (columns == 0 || rows == 0) {
        LogManager::getInstance().writeLog(
            "PathFind::PathFind(): Warning! No node graph for a world of %d x %d cells.", columns, rows);
        return;
    }
    m_columns = columns;
    m_rows = rows;
}

PathFind::~PathFind() = default;

bool PathFind::contains(Cell cell) const {
    return cell.x >= 0 && cell.x < m_columns && cell.y >= 0 && cell.y < m_rows;
}

std::size_t PathFind::getCellCount() const { return m_p_nodes->size(); }

std::vector<PathFind::Cell> PathFind::getOpen() const {
    std::vector<OpenEntry> entries;
    m_p_nodes->forEach([&entries](Cell cell, const NodeTable::Node& node) {
        if (node.is_open)
            entries.push_back(OpenEntry{node.f, node.order, cell});
    });
    std::sort(entries.begin(), entries.end(),
              [](const OpenEntry& a, const OpenEntry& b) { return a.order < b.order; });
    std::vector<Cell> cells;
    cells.reserve(entries.size());
    for (const OpenEntry& entry : entries)
        cells.push_back(entry.cell);
    return cells;
}

bool PathFind::canBegin() const {
    LogManager& log_manager = LogManager::getInstance();
    if (!m_p_object || !contains(m_start)) {
        log_manager.writeLog(
            "PathFind::cycleOnce(): Error! Start (%d,%d) is not a cell of the world, or no object.",
            m_start.x, m_start.y);
        return false;
    }
    if (!contains(m_goal)) {
        log_manager.writeLog("PathFind::cycleOnce(): Error! Goal (%d,%d) is not a cell of the world.",
                             m_goal.x, m_goal.y);
        return false;
    }
    // A walker that cannot stand on the goal never reaches it; only touching
    // a target could still end the search.
    if (!m_p_target && m_start != m_goal && isBlocked(m_goal)) {
        log_manager.writeLog(5, "PathFind::cycleOnce(): Goal (%d,%d) is blocked for the walker.", m_goal.x,
                             m_goal.y);
        return false;
    }
    return true;
}

int PathFind::cycleOnce() {
    if (m_result != SEARCHING)
        return m_result;
    if (m_columns == 0) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): node graph not allocated.  Cannot find path.");
        m_result = FAILED;
        return m_result;
    }

    if (m_closed.empty() && !canBegin()) {
        m_result = FAILED;
        return m_result;
    }
    if (m_p_nodes->size() + MAX_CELLS_PER_EXPANSION > m_cell_limit) {
        LogManager::getInstance().writeLog("PathFind::cycleOnce(): Warning! Search from (%d,%d) to (%d,%d) "
                                           "gave up at %zu cells, its limit %zu.",
                                           m_start.x, m_start.y, m_goal.x, m_goal.y, m_p_nodes->size(),
                                           m_cell_limit);
        m_result = FAILED;
        return m_result;
    }

    Cell current = m_start;
    if (m_closed.empty())
        m_p_nodes->insert(m_start);
    else
        current = takeBestOpen();
    NodeTable::Node& current_node = *m_p_nodes->find(current);
    current_node.is_open = false;
    current_node.is_closed = true;
    m_closed.push_back(current);

    if (current == m_goal)
        m_found = true;
    if (m_p_target && touchesTarget(current)) {
        m_found = true;
        m_goal = current;
    }
    if (m_found) {
        m_result = FOUND;
        return m_result;
    }

    expand(current);
    if (m_open_count == 0)
        m_result = FAILED;
    return m_result;
}

PathFind::Cell PathFind::takeBestOpen() {
    // Entries superseded by a cheaper route to their cell are dropped on the way.
    while (true) {
        std::pop_heap(m_open.begin(), m_open.end(), RanksBelow());
        const OpenEntry entry = m_open.back();
        m_open.pop_back();
        const NodeTable::Node* p_node = m_p_nodes->find(entry.cell);
        if (p_node->is_open && p_node->f == entry.f) {
            m_open_count--;
            return entry.cell;
        }
    }
}

bool PathFind::touchesTarget(Cell cell) const {
    return boxIntersectsBox(getWorldBox(m_p_object, toVector(cell)), m_target_box);
}

bool PathFind::isBlocked(Cell cell) const {
    if (m_avoids_solid_tiles) {
        const TileMap* p_map = WorldManager::getInstance().getTileMap();
        if (p_map && p_map->anySolidIn(getWorldBox(m_p_object, toVector(cell))))
            return true;
    }
    const ObjectList collisions = WorldManager::getInstance().getCollisions(m_p_object, toVector(cell));
    for (int i = 0; i < collisions.getCount(); i++) {
        const Object* p_other = collisions[i];
        if (p_other->getSolidness() == HARD)
            return !boxContainsPosition(getWorldBox(p_other), toVector(m_goal));
    }
    return false;
}

void PathFind::expand(Cell current) {
    // Blocked state of the 3 x 3 neighbourhood, asked for at most once:
    // -1 not yet known, 0 free, 1 blocked.
    int blocked[3][3] = {{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}};
    auto isBlockedAt = [&](int dx, int dy) {
        int& known = blocked[dy + 1][dx + 1];
        if (known == -1)
            known = isBlocked(Cell{current.x + dx, current.y + dy}) ? 1 : 0;
        return known == 1;
    };

    const float current_g = m_p_nodes->find(current)->g;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            if (dx == 0 && dy == 0)
                continue;
            const Cell next{current.x + dx, current.y + dy};
            if (!contains(next))
                continue;
            NodeTable::Node* p_next = m_p_nodes->find(next);
            if (p_next && p_next->is_closed)
                continue;
            if (isBlockedAt(dx, dy))
                continue;
            // No squeezing between two blocked cells that touch at a corner.
            if (dx != 0 && dy != 0 && isBlockedAt(dx, 0) && isBlockedAt(0, dy))
                continue;
            const float g = current_g + cellDistance(dx, dy);
            const bool discovered = !p_next;
            if (discovered) {
                p_next = &m_p_nodes->insert(next);
                p_next->is_open = true;
                p_next->order = m_discovered++;
                m_open_count++;
            } else if (g > p_next->g) {
                continue;
            }
            const float f = g + cellDistance(static_cast<double>(next.x) - m_goal.x,
                                             static_cast<double>(next.y) - m_goal.y);
            // An equal cost still takes the later parent, as the first search did.
            const bool f_changed = discovered || f != p_next->f;
            p_next->step = stepCode(dx, dy);
            p_next->g = g;
            p_next->f = f;
            if (f_changed) {
                m_open.push_back(OpenEntry{f, p_next->order, next});
                std::push_heap(m_open.begin(), m_open.end(), RanksBelow());
            }
        }
    }
}

Path PathFind::getPath() const {
    Path path;
    if (!m_found)
        return path;
    std::vector<Cell> cells;
    // Steps lead back to start; the bound only guards against a graph that
    // does not.
    Cell cell = m_goal;
    while (cell != m_start && cells.size() <= m_p_nodes->size()) {
        const NodeTable::Node* p_node = m_p_nodes->find(cell);
        if (!p_node || p_node->step == NodeTable::NO_STEP)
            break;
        cells.push_back(cell);
        cell = Cell{cell.x - (p_node->step / 3 - 1), cell.y - (p_node->step % 3 - 1)};
    }
    cells.push_back(m_start);
    for (auto it = cells.rbegin(); it != cells.rend(); ++it)
        path.addWaypoint(toVector(*it));
    return path;
}

} // namespace vt
