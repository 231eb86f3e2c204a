#include "vintrel/paths/PathFind.h"

#include <cmath>
#include <new>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ObjectList.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

// Largest node graph a search allocates (about 100 MB); a boundary beyond it
// leaves the search without a graph, and it reports no path.
constexpr long long MAX_NODES = 1LL << 22;

// Whole cells of a boundary extent; 0 for extents below one cell or not a number.
int wholeCells(float extent) {
    if (!(extent >= 1.0f))
        return 0;
    if (extent >= static_cast<float>(MAX_NODES))
        return static_cast<int>(MAX_NODES);
    return static_cast<int>(extent);
}

// Step and estimate lengths are taken in double precision, then rounded to
// float before they are added to a float cost.
float cellDistance(double dx, double dy) { return static_cast<float>(std::sqrt(dx * dx + dy * dy)); }

Vector toVector(PathFind::Cell cell) {
    return Vector(static_cast<float>(cell.x), static_cast<float>(cell.y));
}

} // namespace

PathFind::PathFind(Object* p_object, Cell start, Cell goal, Object* p_target)
    : m_p_object(p_object), m_p_target(p_target), m_start(start), m_goal(goal), m_columns(0), m_rows(0),
      m_nodes(), m_open(), m_closed(), m_target_box(), m_found(false), m_result(SEARCHING) {
    // The target may be destroyed while the search runs; only its box placed
    // at the goal matters, so it is read once here.
    if (p_target)
        m_target_box = getWorldBox(p_target, toVector(goal));
    const Box boundary = WorldManager::getInstance().getBoundary();
    const int columns = wholeCells(boundary.getHorizontal());
    const int rows = wholeCells(boundary.getVertical());
    const long long count = static_cast<long long>(columns) * rows;
    if (count == 0 || count > MAX_NODES) {
        LogManager::getInstance().writeLog(
            "PathFind::PathFind(): Warning! No node graph for a world of %d x %d cells.", columns, rows);
        return;
    }
    try {
        m_nodes.assign(static_cast<std::size_t>(count), Node{0.0f, 0.0f, start, false, false});
    } catch (const std::bad_alloc&) {
        LogManager::getInstance().writeLog("PathFind::PathFind(): Error! Unable to allocate %lld nodes.",
                                           count);
        return;
    }
    m_columns = columns;
    m_rows = rows;
}

PathFind::~PathFind() = default;

bool PathFind::contains(Cell cell) const {
    return cell.x >= 0 && cell.x < m_columns && cell.y >= 0 && cell.y < m_rows;
}

PathFind::Node& PathFind::node(Cell cell) {
    return m_nodes[static_cast<std::size_t>(cell.y) * static_cast<std::size_t>(m_columns) +
                   static_cast<std::size_t>(cell.x)];
}

const PathFind::Node& PathFind::node(Cell cell) const {
    return m_nodes[static_cast<std::size_t>(cell.y) * static_cast<std::size_t>(m_columns) +
                   static_cast<std::size_t>(cell.x)];
}

int PathFind::cycleOnce() {
    if (m_result != SEARCHING)
        return m_result;
    if (m_nodes.empty()) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): node graph not allocated.  Cannot find path.");
        m_result = FAILED;
        return m_result;
    }
    if (!m_p_object || !contains(m_start)) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): Error! Start (%d,%d) is not a cell of the world, or no object.",
            m_start.x, m_start.y);
        m_result = FAILED;
        return m_result;
    }

    Cell current = m_start;
    if (!m_open.empty()) {
        const std::size_t best = bestOpenEntry();
        current = m_open[best];
        m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(best));
        node(current).is_open = false;
    }
    m_closed.push_back(current);
    node(current).is_closed = true;

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
    if (m_open.empty())
        m_result = FAILED;
    return m_result;
}

std::size_t PathFind::bestOpenEntry() const {
    // From the newest entry back, so that among equal estimates the most
    // recently discovered cell wins.
    std::size_t best = m_open.size() - 1;
    float best_f = node(m_open[best]).f;
    for (std::size_t i = m_open.size() - 1; i-- > 0;) {
        const float f = node(m_open[i]).f;
        if (f < best_f) {
            best = i;
            best_f = f;
        }
    }
    return best;
}

bool PathFind::touchesTarget(Cell cell) const {
    return boxIntersectsBox(getWorldBox(m_p_object, toVector(cell)), m_target_box);
}

bool PathFind::isBlocked(Cell cell) const {
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

    const float current_g = node(current).g;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            if (dx == 0 && dy == 0)
                continue;
            const Cell next{current.x + dx, current.y + dy};
            if (!contains(next))
                continue;
            Node& next_node = node(next);
            if (next_node.is_closed)
                continue;
            if (isBlockedAt(dx, dy))
                continue;
            // No squeezing between two blocked cells that touch at a corner.
            if (dx != 0 && dy != 0 && isBlockedAt(dx, 0) && isBlockedAt(0, dy))
                continue;
            const float g = current_g + cellDistance(dx, dy);
            if (next_node.is_open) {
                if (g > next_node.g)
                    continue;
            } else {
                m_open.push_back(next);
                next_node.is_open = true;
            }
            next_node.parent = current;
            next_node.g = g;
            next_node.f = g + cellDistance(static_cast<double>(next.x) - m_goal.x,
                                           static_cast<double>(next.y) - m_goal.y);
        }
    }
}

Path PathFind::getPath() const {
    Path path;
    if (!m_found)
        return path;
    std::vector<Cell> cells;
    // Parent links lead back to start; the bound only guards against a
    // graph that does not.
    Cell cell = m_goal;
    while (cell != m_start && contains(cell) && cells.size() <= m_nodes.size()) {
        cells.push_back(cell);
        cell = node(cell).parent;
    }
    cells.push_back(m_start);
    for (auto it = cells.rbegin(); it != cells.rend(); ++it)
        path.addWaypoint(toVector(*it));
    return path;
}

} // namespace vt
