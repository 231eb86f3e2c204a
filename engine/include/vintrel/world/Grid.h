#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "vintrel/core/ObjectList.h"
#include "vintrel/core/Vector.h"

namespace vt {

class Object;

/// The spatial index of the solid, active objects: the world cut into cells
/// of grid_width x grid_height spaces, each listing the objects whose box
/// touches it. Boxes that reach beyond the grid are also listed in the
/// out-of-bounds cell (-1, -1).
///
/// Removals from crowded cells are settled in batches: a removed object's
/// entries there stay, marked, until the next query or a change that needs
/// the cells clean. Deleting a crowd that shares a cell then costs one pass
/// over that cell, not one pass per object; the lists keep their order.
class Grid {
  public:
    /// A column and row; (-1, -1) stands for everything outside the grid.
    struct Cell {
        int x; ///< column, -1 outside the grid
        int y; ///< row, -1 outside the grid
        /// Same column and row.
        bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    };

    Grid();

    /// Builds empty cells covering the world manager's boundary; 0 or -1
    /// (already started, non-positive cell size, or a boundary too large).
    [[nodiscard]] int startUp();
    /// Frees every cell; the grid can be started again.
    void shutDown();
    /// True between startUp() and shutDown().
    [[nodiscard]] bool isStarted() const { return m_started; }

    /// Lists the object in every cell its box covers at its position; 0 or -1.
    int insertObject(Object* p_o);
    /// Takes a solid, active object out of the cells of its position; 0 or -1.
    int removeObject(Object* p_o);
    /// Moves the object's entries to the cells of `where`; called before the
    /// object's position changes. 0 or -1.
    int updatePosition(Object* p_o, const Vector& where);
    /// The listed objects whose boxes would meet the object's box at `where`,
    /// in order of first appearance by cell, then by list. Never the object
    /// itself, nor an object it does not collide with (Object::collidesWith).
    [[nodiscard]] ObjectList getCollisions(const Object* p_o, const Vector& where) const;
    /// As above, keeping only the objects on a layer in `layers`.
    [[nodiscard]] ObjectList getCollisions(const Object* p_o, const Vector& where,
                                           std::uint32_t layers) const;

    /// Hints that the object will soon be queried at `where`: the first call
    /// starts loading where its cells' lists are kept, the second (with
    /// `lists` true, a little later) the lists themselves. Changes nothing.
    void prefetch(const Object* p_o, const Vector& where, bool lists) const;

    /// The cells the object's box covers at `where`, ordered by row, then column.
    [[nodiscard]] std::vector<Cell> cellsOf(const Object* p_o, const Vector& where) const;
    /// A copy of one cell's list; (-1, -1) gives the out-of-bounds list, any
    /// other cell outside the grid an empty list.
    [[nodiscard]] ObjectList objectsInCell(const Cell& cell) const;

    /// Number of columns of cells.
    [[nodiscard]] int getNumCols() const { return m_num_cols; }
    /// Number of rows of cells.
    [[nodiscard]] int getNumRows() const { return m_num_rows; }
    /// Cell sizes in spaces, as configured.
    [[nodiscard]] int getCellWidth() const { return m_cell_width; }
    /// Cell height in spaces, as configured.
    [[nodiscard]] int getCellHeight() const { return m_cell_height; }

  private:
    // The cells covered by a box: a clamped rectangle (possibly empty), plus
    // the out-of-bounds cell when the box reaches beyond the grid.
    struct CellRange {
        int left;
        int top;
        int right;
        int bottom;
        bool outside;
        bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
        bool operator==(const CellRange& other) const;
    };

    // An object listed in a cell, with its world box (edges in spaces) kept
    // beside it, so that a query tests boxes without reaching into objects
    // scattered over the heap.
    struct Entry {
        Object* p_o;
        float left;
        float top;
        float right;
        float bottom;
    };
    using CellList = std::vector<Entry>;

    CellRange rangeOf(const Object* p_o, const Vector& where) const;
    // The edges of the object's box at `where`; the pointer is left null.
    static Entry entryOf(const Object* p_o, const Vector& where);
    int append(CellList& cell, const Entry& entry);
    void erase(CellList& cell, const Object* p_o);
    static void refresh(CellList& cell, const Entry& entry);
    // Takes the object's entry out of a short cell; in a long one, marks it
    // to be taken out when the removals are settled.
    void markRemoval(CellList& cell, std::size_t cell_index, const Object* p_o);
    // Takes the entries of removed objects out of the cells that hold them.
    void settleRemovals() const;
    // Settles first when the object's address is among those removed: a new
    // object can take the place of a deleted one.
    void settleRemovalsOf(const Object* p_o) const;
    // Drops the record of removals, with the cells they were in.
    void forgetRemovals();
    CellList& cellAt(int x, int y) { return m_cells[static_cast<std::size_t>(y * m_num_cols + x)]; }
    const CellList& cellAt(int x, int y) const {
        return m_cells[static_cast<std::size_t>(y * m_num_cols + x)];
    }

    bool m_started;
    // Row-major: the list of column x, row y is at y * m_num_cols + x. The
    // lists are settled on reading (see settleRemovals), hence mutable.
    mutable std::vector<CellList> m_cells;
    mutable CellList m_out_of_bounds;
    int m_num_cols;
    int m_num_rows;
    int m_cell_width;  // spaces
    int m_cell_height; // spaces
    // Objects removed whose entries are not yet taken out, the cells (by
    // index; m_cells.size() for out of bounds) that hold such entries, and a
    // flag per cell, the last one for out of bounds, so each is listed once.
    mutable std::unordered_set<const Object*> m_removed;
    mutable std::vector<std::size_t> m_unsettled_cells;
    mutable std::vector<char> m_unsettled;
    // Entries in all cells, and entries of removed objects not yet taken out.
    mutable std::size_t m_entries;
    mutable std::size_t m_removed_entries;
};

} // namespace vt
