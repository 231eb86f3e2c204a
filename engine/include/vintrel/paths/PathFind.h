#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "vintrel/core/Box.h"
#include "vintrel/paths/Path.h"

namespace vt {

class NodeTable;
class Object;

/// One incremental A* search over the world's cells, for one object. The
/// path manager advances it one expansion at a time; the object owns it.
/// Its memory grows with the cells it reaches, whatever the world's size.
class PathFind {
  public:
    /// A world cell: column x, row y.
    struct Cell {
        int x; ///< column
        int y; ///< row
        /// Same column and row.
        bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
        /// Another column or row.
        bool operator!=(const Cell& other) const { return !(*this == other); }
    };

    /// Results of cycleOnce(), the same values EventPath carries.
    static constexpr int FAILED = 0;
    static constexpr int SEARCHING = 1; ///< the search goes on
    static constexpr int FOUND = 2;     ///< a path was found

    /// Most cells one search keeps nodes for unless setCellLimit says
    /// otherwise: a flooded area of 512 x 512 cells, under 10 MB.
    static constexpr std::size_t MAX_CELLS = std::size_t{1} << 18;
    /// Most cells one cycleOnce adds: nodes are kept in tiles of 8 x 8 cells,
    /// and a cell's neighbours reach into at most three tiles besides its own.
    static constexpr std::size_t MAX_CELLS_PER_EXPANSION = 4 * 64;

    /// A search for p_object (not owned) from start to goal. With a target
    /// (not owned) the search also ends where the walker's box touches the
    /// target's box placed at the goal, as the target's box is now. The
    /// search covers the world boundary as it is now.
    PathFind(Object* p_object, Cell start, Cell goal, Object* p_target = nullptr);
    virtual ~PathFind();
    PathFind(const PathFind&) = delete;
    PathFind& operator=(const PathFind&) = delete;

    /// One expansion: FAILED (a world without cells, a start or goal outside
    /// it, a goal the walker cannot stand on, nothing left to try, or the
    /// cell limit reached), SEARCHING or FOUND. Once finished, further calls
    /// repeat the result.
    [[nodiscard]] int cycleOnce();
    /// The cells from start to goal as waypoints when found; otherwise empty.
    [[nodiscard]] Path getPath() const;

    /// The object the search is for (not owned).
    [[nodiscard]] Object* getObject() const { return m_p_object; }
    /// The target the search was started with; it may since have been destroyed.
    [[nodiscard]] Object* getTarget() const { return m_p_target; }
    /// The cell the search started from.
    [[nodiscard]] Cell getStart() const { return m_start; }
    /// The goal, or the cell where the walker touched the target.
    [[nodiscard]] Cell getGoal() const { return m_goal; }
    /// True once a path was found.
    [[nodiscard]] bool isFound() const { return m_found; }
    /// True once cycleOnce has returned FAILED or FOUND.
    [[nodiscard]] bool isFinished() const { return m_result != SEARCHING; }
    /// Cells discovered and not yet expanded, in order of discovery (a copy).
    [[nodiscard]] std::vector<Cell> getOpen() const;
    /// Cells expanded, in order of expansion.
    [[nodiscard]] const std::vector<Cell>& getClosed() const { return m_closed; }
    /// Columns and rows of the world searched; 0 when it has no whole cell.
    [[nodiscard]] int getColumns() const { return m_columns; }
    /// Rows of the node graph; 0 when none could be allocated.
    [[nodiscard]] int getRows() const { return m_rows; }
    /// Cells the search keeps nodes for: whole tiles of 8 x 8 cells around
    /// those it has reached so far. Its memory grows with this number.
    [[nodiscard]] std::size_t getCellCount() const;
    /// Most cells the search may keep nodes for (MAX_CELLS unless set). A
    /// search whose next cycleOnce could pass it gives up: FAILED after a log line.
    void setCellLimit(std::size_t max_cells) { m_cell_limit = max_cells; }
    /// Most cells the search may keep nodes for.
    [[nodiscard]] std::size_t getCellLimit() const { return m_cell_limit; }
    /// With true, a cell where the walker's box would meet a solid cell of
    /// the world's tile map is blocked, as one under a HARD object is. Set
    /// before the first cycleOnce. False by default.
    void setAvoidsSolidTiles(bool avoids) { m_avoids_solid_tiles = avoids; }
    /// Whether solid tiles block the walker.
    [[nodiscard]] bool getAvoidsSolidTiles() const { return m_avoids_solid_tiles; }

  private:
    // A cell waiting in the open heap with its f when it was pushed; an
    // entry whose f is no longer the node's was superseded and is skipped.
    struct OpenEntry {
        float f;
        std::uint32_t order;
        Cell cell;
    };

    [[nodiscard]] bool contains(Cell cell) const;
    /// False, after a log line, when the search cannot begin.
    [[nodiscard]] bool canBegin() const;
    /// True when a HARD object other than one covering the goal stops the walker there.
    [[nodiscard]] bool isBlocked(Cell cell) const;
    [[nodiscard]] bool touchesTarget(Cell cell) const;
    [[nodiscard]] Cell takeBestOpen();
    void expand(Cell current);

    Object* m_p_object;
    Object* m_p_target;
    Cell m_start;
    Cell m_goal;
    int m_columns;
    int m_rows;
    std::unique_ptr<NodeTable> m_p_nodes;
    // A binary heap: least f first, the latest discovery among equal f.
    std::vector<OpenEntry> m_open;
    std::size_t m_open_count;
    std::uint32_t m_discovered;
    std::vector<Cell> m_closed;
    std::size_t m_cell_limit;
    Box m_target_box;
    bool m_found;
    int m_result;
    bool m_avoids_solid_tiles;
};

} // namespace vt
