#include "vintrel/world/Grid.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/ConfigTable.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"
#include "vintrel/world/WorldUtility.h"

namespace vt {

namespace {

// Each cell costs a list with its own allocation; a boundary needing more
// cells than this is refused rather than exhausting memory. A replay checks
// its recording's settings against the same limit before start-up.
constexpr auto MAX_GRID_CELLS = static_cast<float>(config::MAX_GRID_CELLS);

// Removals are settled once their entries are this many and at least half
// of all entries, so that settling costs at most two entries per removal.
constexpr std::size_t MIN_UNSETTLED_ENTRIES = 1024;
// A cell of up to this many entries gives up an entry at once, which costs
// less than keeping a record of it.
constexpr std::size_t SHORT_CELL = 64;

float clampFloat(float value, float low, float high) {
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

} // namespace

bool Grid::CellRange::operator==(const CellRange& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom &&
           outside == other.outside;
}

Grid::Entry Grid::entryOf(const Object* p_o, const Vector& where) {
    // The same sums as getWorldBox and boxIntersectsBox, so that tests on the
    // kept edges give exactly their results.
    const Box box = p_o->getBox();
    const float left = box.getCorner().getX() + where.getX();
    const float top = box.getCorner().getY() + where.getY();
    return Entry{nullptr, left, top, left + box.getHorizontal(), top + box.getVertical()};
}

int Grid::append(CellList& cell, const Entry& entry) {
    try {
        cell.push_back(entry);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    m_entries++;
    return 0;
}

void Grid::erase(CellList& cell, const Object* p_o) {
    const auto found =
        std::find_if(cell.begin(), cell.end(), [p_o](const Entry& entry) { return entry.p_o == p_o; });
    if (found != cell.end()) {
        cell.erase(found);
        m_entries--;
    }
}

void Grid::markRemoval(CellList& cell, std::size_t cell_index, const Object* p_o) {
    if (cell.size() <= SHORT_CELL) {
        erase(cell, p_o);
        return;
    }
    m_removed.insert(p_o);
    if (!m_unsettled[cell_index]) {
        m_unsettled[cell_index] = 1;
        m_unsettled_cells.push_back(cell_index);
    }
    m_removed_entries++;
}

void Grid::settleRemovals() const {
    if (m_removed.empty())
        return;
    for (const std::size_t index : m_unsettled_cells) {
        CellList& cell = index == m_cells.size() ? m_out_of_bounds : m_cells[index];
        const std::size_t before = cell.size();
        cell.erase(std::remove_if(cell.begin(), cell.end(),
                                  [this](const Entry& entry) { return m_removed.count(entry.p_o) != 0; }),
                   cell.end());
        m_entries -= before - cell.size();
        m_unsettled[index] = 0;
    }
    m_unsettled_cells.clear();
    m_removed.clear();
    m_removed_entries = 0;
}

void Grid::settleRemovalsOf(const Object* p_o) const {
    if (!m_removed.empty() && m_removed.count(p_o) != 0)
        settleRemovals();
}

void Grid::refresh(CellList& cell, const Entry& entry) {
    for (Entry& held : cell) {
        if (held.p_o == entry.p_o) {
            held = entry;
            return;
        }
    }
}

void Grid::forgetRemovals() {
    m_removed.clear();
    m_unsettled_cells.clear();
    m_entries = 0;
    m_removed_entries = 0;
}

Grid::Grid()
    : m_started(false), m_cells(), m_out_of_bounds(), m_num_cols(0), m_num_rows(0),
      m_cell_width(Config::getInstance().getGridWidth()),
      m_cell_height(Config::getInstance().getGridHeight()), m_removed(), m_unsettled_cells(), m_unsettled(),
      m_entries(0), m_removed_entries(0) {}

int Grid::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (m_started) {
        log_manager.writeLog("Grid::startUp(): Warning! Grid allocated. Not proceeding.");
        return -1;
    }
    // The configuration is read at engine start-up, after this grid was built.
    m_cell_width = Config::getInstance().getGridWidth();
    m_cell_height = Config::getInstance().getGridHeight();
    if (m_cell_width <= 0 || m_cell_height <= 0) {
        log_manager.writeLog(
            "Grid::startUp(): Error! Cell size %d x %d must be positive (grid_width, grid_height).",
            m_cell_width, m_cell_height);
        return -1;
    }

    const Box boundary = WorldManager::getInstance().getBoundary();
    const float cols = std::ceil(boundary.getHorizontal() / static_cast<float>(m_cell_width));
    const float rows = std::ceil(boundary.getVertical() / static_cast<float>(m_cell_height));
    if (!(cols >= 0.0f && rows >= 0.0f && cols <= MAX_GRID_CELLS && rows <= MAX_GRID_CELLS &&
          cols * rows <= MAX_GRID_CELLS)) {
        log_manager.writeLog("Grid::startUp(): Error! Boundary %s does not give between 0 and %d cells.",
                             boundary.toString().c_str(), static_cast<int>(MAX_GRID_CELLS));
        return -1;
    }
    m_num_cols = static_cast<int>(cols);
    m_num_rows = static_cast<int>(rows);
    log_manager.writeLog(5, "Grid::startUp(): m_num_cols %d, m_num_rows %d", m_num_cols, m_num_rows);

    const std::size_t cell_count =
        static_cast<std::size_t>(m_num_cols) * static_cast<std::size_t>(m_num_rows);
    try {
        m_cells.assign(cell_count, CellList());
        m_unsettled.assign(cell_count + 1, 0);
    } catch (const std::bad_alloc&) {
        log_manager.writeLog("Grid::startUp(): Error! Unable to allocate %d grid rows.", m_num_rows);
        m_cells.clear();
        m_unsettled.clear();
        return -1;
    }
    m_out_of_bounds.clear();
    forgetRemovals();
    m_started = true;
    return 0;
}

void Grid::shutDown() {
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_unsettled.clear();
    m_unsettled.shrink_to_fit();
    m_out_of_bounds.clear();
    forgetRemovals();
    m_num_cols = 0;
    m_num_rows = 0;
    m_started = false;
}

Grid::CellRange Grid::rangeOf(const Object* p_o, const Vector& where) const {
    const Box box = getWorldBox(p_o, where);
    const float width = static_cast<float>(m_cell_width);
    const float height = static_cast<float>(m_cell_height);
    const float left = std::floor(box.getCorner().getX() / width);
    const float top = std::floor(box.getCorner().getY() / height);
    const float right = std::floor((box.getCorner().getX() + box.getHorizontal()) / width);
    const float bottom = std::floor((box.getCorner().getY() + box.getVertical()) / height);

    CellRange range{0, 0, -1, -1, true};
    // A box that is not a number covers no cell of the grid proper.
    if (std::isnan(left) || std::isnan(top) || std::isnan(right) || std::isnan(bottom))
        return range;

    const float cols = static_cast<float>(m_num_cols);
    const float rows = static_cast<float>(m_num_rows);
    range.outside = top < 0.0f || left < 0.0f || bottom >= rows || right >= cols;
    // Clamped in float first, so that huge coordinates never overflow an int;
    // a box wholly beyond one side leaves an empty range.
    range.left = static_cast<int>(clampFloat(left, 0.0f, cols));
    range.top = static_cast<int>(clampFloat(top, 0.0f, rows));
    range.right = static_cast<int>(clampFloat(right, -1.0f, cols - 1.0f));
    range.bottom = static_cast<int>(clampFloat(bottom, -1.0f, rows - 1.0f));
    return range;
}

std::vector<Grid::Cell> Grid::cellsOf(const Object* p_o, const Vector& where) const {
    std::vector<Cell> cells;
    if (!p_o)
        return cells;
    const CellRange range = rangeOf(p_o, where);
    if (range.outside)
        cells.push_back(Cell{-1, -1});
    for (int y = range.top; y <= range.bottom; y++)
        for (int x = range.left; x <= range.right; x++)
            cells.push_back(Cell{x, y});
    return cells;
}

void Grid::prefetch(const Object* p_o, const Vector& where, bool lists) const {
    if (!m_started)
        return;
    const CellRange range = rangeOf(p_o, where);
    if (range.outside && lists)
        __builtin_prefetch(m_out_of_bounds.data());
    // Objects of a world larger than the caches sit in cells scattered over
    // memory; a box usually covers one cell, rarely more than four.
    int budget = 4;
    for (int y = range.top; y <= range.bottom && budget > 0; y++) {
        for (int x = range.left; x <= range.right && budget > 0; x++, budget--) {
            const CellList& cell = cellAt(x, y);
            if (!lists) {
                __builtin_prefetch(&cell);
                continue;
            }
            // A cell lists about ten objects: a few cache lines.
            const char* p_bytes = reinterpret_cast<const char*>(cell.data());
            const std::size_t size = cell.size() * sizeof(Entry);
            for (std::size_t offset = 0; offset < size && offset < 512; offset += 64)
                __builtin_prefetch(p_bytes + offset);
        }
    }
}

ObjectList Grid::objectsInCell(const Cell& cell) const {
    settleRemovals();
    ObjectList objects;
    const CellList* p_cell = nullptr;
    if (cell.x == -1 && cell.y == -1)
        p_cell = &m_out_of_bounds;
    else if (m_started && cell.x >= 0 && cell.y >= 0 && cell.x < m_num_cols && cell.y < m_num_rows)
        p_cell = &cellAt(cell.x, cell.y);
    if (p_cell)
        for (const Entry& entry : *p_cell)
            objects.insert(entry.p_o);
    return objects;
}

int Grid::insertObject(Object* p_o) {
    if (!m_started) {
        LogManager::getInstance().writeLog("Grid::insertObject(): Error! grid is NULL");
        return -1;
    }
    if (!p_o) {
        LogManager::getInstance().writeLog("Grid::insertObject(): Error! Object is NULL");
        return -1;
    }
    settleRemovalsOf(p_o);
    Entry entry = entryOf(p_o, p_o->getPosition());
    entry.p_o = p_o;
    const CellRange range = rangeOf(p_o, p_o->getPosition());
    int result = 0;
    if (range.outside && append(m_out_of_bounds, entry) == -1)
        result = -1;
    for (int y = range.top; y <= range.bottom; y++)
        for (int x = range.left; x <= range.right; x++)
            if (append(cellAt(x, y), entry) == -1)
                result = -1;
    return result;
}

int Grid::removeObject(Object* p_o) {
    if (!m_started) {
        LogManager::getInstance().writeLog("Grid::removeObject(): Error! grid is NULL");
        return -1;
    }
    if (!p_o) {
        LogManager::getInstance().writeLog("Grid::removeObject(): Error! Object is NULL");
        return -1;
    }
    if (p_o->getSolidness() == SPECTRAL || !p_o->isActive())
        return 0;
    const CellRange range = rangeOf(p_o, p_o->getPosition());
    if (range.outside)
        markRemoval(m_out_of_bounds, m_cells.size(), p_o);
    for (int y = range.top; y <= range.bottom; y++)
        for (int x = range.left; x <= range.right; x++)
            markRemoval(cellAt(x, y), static_cast<std::size_t>(y * m_num_cols + x), p_o);
    if (m_removed_entries >= MIN_UNSETTLED_ENTRIES && m_removed_entries * 2 >= m_entries)
        settleRemovals();
    return 0;
}

int Grid::updatePosition(Object* p_o, const Vector& where) {
    if (!m_started) {
        LogManager::getInstance().writeLog("Grid::updatePosition(): Error! grid is NULL");
        return -1;
    }
    if (!p_o) {
        LogManager::getInstance().writeLog("Grid::updatePosition(): Error! Object is NULL");
        return -1;
    }
    settleRemovalsOf(p_o);
    const CellRange old_range = rangeOf(p_o, p_o->getPosition());
    const CellRange new_range = rangeOf(p_o, where);
    Entry entry = entryOf(p_o, where);
    entry.p_o = p_o;

    // Cells in both sets keep their place in the list; only the box changes.
    if (old_range.outside)
        new_range.outside ? refresh(m_out_of_bounds, entry) : erase(m_out_of_bounds, p_o);
    for (int y = old_range.top; y <= old_range.bottom; y++)
        for (int x = old_range.left; x <= old_range.right; x++)
            new_range.contains(x, y) ? refresh(cellAt(x, y), entry) : erase(cellAt(x, y), p_o);

    int result = 0;
    if (new_range.outside && !old_range.outside && append(m_out_of_bounds, entry) == -1)
        result = -1;
    for (int y = new_range.top; y <= new_range.bottom; y++)
        for (int x = new_range.left; x <= new_range.right; x++)
            if (!old_range.contains(x, y) && append(cellAt(x, y), entry) == -1)
                result = -1;
    return result;
}

ObjectList Grid::getCollisions(const Object* p_o, const Vector& where) const {
    return getCollisions(p_o, where, ALL_COLLISION_LAYERS);
}

ObjectList Grid::getCollisions(const Object* p_o, const Vector& where, std::uint32_t layers) const {
    ObjectList collisions;
    if (!m_started) {
        LogManager::getInstance().writeLog("Grid::getCollisions(): Error! grid is NULL");
        return collisions;
    }
    if (!p_o) {
        LogManager::getInstance().writeLog("Grid::getCollisions(): Error! Object is NULL");
        return collisions;
    }
    settleRemovals();
    const Entry query = entryOf(p_o, where);
    const CellRange range = rangeOf(p_o, where);

    // Boxes are tested before duplicates are looked for: the order of first
    // appearance is the same, and the duplicate search runs over the short
    // result only. The tests are those of boxIntersectsBox, edges included.
    auto collect = [&](const CellList& cell) {
        for (const Entry& entry : cell) {
            if (entry.p_o == p_o)
                continue;
            const bool x_overlap = (entry.left >= query.left && entry.left <= query.right) ||
                                   (query.left >= entry.left && query.left <= entry.right);
            const bool y_overlap = (entry.top >= query.top && entry.top <= query.bottom) ||
                                   (query.top >= entry.top && query.top <= entry.bottom);
            if (!x_overlap || !y_overlap)
                continue;
            // Layers are looked at only for boxes that meet, which are few:
            // the cell lists keep boxes so that the rest is never reached.
            if (!p_o->collidesWith(*entry.p_o) || (entry.p_o->getCollisionLayer() & layers) == 0)
                continue;
            bool seen = false;
            for (int j = 0; j < collisions.getCount() && !seen; j++)
                seen = collisions[j] == entry.p_o;
            if (!seen)
                collisions.insert(entry.p_o);
        }
    };
    if (range.outside)
        collect(m_out_of_bounds);
    for (int y = range.top; y <= range.bottom; y++)
        for (int x = range.left; x <= range.right; x++)
            collect(cellAt(x, y));
    return collisions;
}

} // namespace vt
