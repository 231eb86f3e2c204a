#pragma once

#include <cstddef>
#include <vector>

#include "vintrel/paths/Path.h"
#include "vintrel/world/Box.h"

namespace vt {

class Object;

/// One incremental A* search over the world's cells, for one object. The
/// path manager advances it one expansion at a time; the object owns it.
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

    /// A search for p_object (not owned) from start to goal. With a target
    /// (not owned) the search also ends where the walker's box touches the
    /// target's box placed at the goal, as the target's box is now. The node
    /// graph covers the world boundary as it is now, one node per cell.
    PathFind(Object* p_object, Cell start, Cell goal, Object* p_target = nullptr);
    virtual ~PathFind();
    PathFind(const PathFind&) = delete;
    PathFind& operator=(const PathFind&) = delete;

    /// One expansion: FAILED (no node graph, or nothing left to try),
    /// SEARCHING or FOUND. Once finished, further calls repeat the result.
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
    /// Cells discovered and not yet expanded, in order of discovery.
    [[nodiscard]] const std::vector<Cell>& getOpen() const { return m_open; }
    /// Cells expanded, in order of expansion.
    [[nodiscard]] const std::vector<Cell>& getClosed() const { return m_closed; }
    /// Columns and rows of the node graph; 0 when none could be allocated.
    [[nodiscard]] int getColumns() const { return m_columns; }
    /// Rows of the node graph; 0 when none could be allocated.
    [[nodiscard]] int getRows() const { return m_rows; }

  private:
    struct Node {
        float g;      // cost from start
        float f;      // g plus the straight-line estimate to goal
        Cell parent;  // the cell this node was reached from
        bool is_open; // mirrors membership of m_open, so lookups need no scan
        bool is_closed;
    };

    [[nodiscard]] bool contains(Cell cell) const;
    [[nodiscard]] Node& node(Cell cell);
    [[nodiscard]] const Node& node(Cell cell) const;
    /// True when a HARD object other than one covering the goal stops the walker there.
    [[nodiscard]] bool isBlocked(Cell cell) const;
    [[nodiscard]] bool touchesTarget(Cell cell) const;
    [[nodiscard]] std::size_t bestOpenEntry() const;
    void expand(Cell current);

    Object* m_p_object;
    Object* m_p_target;
    Cell m_start;
    Cell m_goal;
    int m_columns;
    int m_rows;
    // Row-major, m_rows rows of m_columns nodes; empty when not allocated.
    std::vector<Node> m_nodes;
    std::vector<Cell> m_open;
    std::vector<Cell> m_closed;
    Box m_target_box;
    bool m_found;
    int m_result;
};

} // namespace vt
