#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vintrel/core/Box.h"
#include "vintrel/world/Tile.h"

namespace vt {

/// A layer of character cells laid over the world: cell (column, row) is the
/// world cell at (column, row), drawn where an object at that position draws
/// its character. Set from code or read from a map file (docs/tile-maps.md);
/// handed to the world with WorldManager::setTileMap, which then draws it at
/// its altitude and lets its solid cells stop HARD objects.
///
/// A solid cell's box is its cell less a hair at each edge, so an object in
/// the next cell, even one with a full one-cell sprite box, does not touch it.
class TileMap {
  public:
    /// Longest side a map may have, in cells.
    static constexpr int MAX_SIDE = 4096;
    /// Most cells a map may have: about 80 MB of tiles.
    static constexpr std::size_t MAX_CELLS = std::size_t{1} << 22;
    /// Largest map file read; a file of MAX_CELLS cells and its key fits.
    static constexpr std::size_t MAX_FILE_BYTES = std::size_t{8} << 20;
    /// The part of a cell's width and height a solid cell's box leaves free
    /// at each edge.
    static constexpr float CELL_INSET = 0.005f;

    /// An empty map of no cells at altitude 0, visible.
    TileMap();
    /// An empty map of width x height blank cells; no cells when the size is refused.
    TileMap(int width, int height);

    /// Makes the map width x height blank cells; 0, or -1 after a log line
    /// when a side is below 1 or beyond the limits (the map is unchanged).
    int resize(int width, int height);
    /// Columns of the map.
    [[nodiscard]] int getWidth() const { return m_width; }
    /// Rows of the map.
    [[nodiscard]] int getHeight() const { return m_height; }

    /// Sets one cell; 0, or -1 after a log line for a cell outside the map.
    int setTile(int column, int row, const Tile& tile);
    /// Sets every cell of the rectangle that lies inside the map.
    void fill(int column, int row, int width, int height, const Tile& tile);
    /// The cell's tile; a blank tile outside the map.
    [[nodiscard]] Tile getTile(int column, int row) const;
    /// True for a solid cell inside the map.
    [[nodiscard]] bool isSolid(int column, int row) const {
        return contains(column, row) && solidAt(index(column, row));
    }
    /// True for a cell inside the map.
    [[nodiscard]] bool contains(int column, int row) const {
        return column >= 0 && column < m_width && row >= 0 && row < m_height;
    }

    /// Reads a map file (docs/tile-maps.md) of at most MAX_FILE_BYTES; 0, or
    /// -1 after a log line naming the file and line (the map is unchanged).
    int loadFile(const std::string& path);
    /// Reads a map from text, `name` standing for the file in log lines; 0 or -1.
    int loadText(const std::string& text, const std::string& name);

    /// Drawing layer, 0 to 4; the map is drawn before the objects of its altitude.
    [[nodiscard]] int getAltitude() const { return m_altitude; }
    /// Sets the drawing layer; -1 after a log line outside 0 to 4.
    int setAltitude(int altitude);
    /// False keeps the map from being drawn; its solid cells still count.
    [[nodiscard]] bool isVisible() const { return m_visible; }
    /// Shows or hides the map.
    void setVisible(bool visible);
    /// Changes whenever a cell, the size, the altitude or the visibility
    /// does; no two maps made in this process share one. A world host
    /// resends the map to its watchers when it changes.
    [[nodiscard]] std::uint64_t getRevision() const { return m_revision; }

    /// The box of a solid cell in world spaces.
    [[nodiscard]] static Box cellBox(int column, int row);
    /// Calls visit(column, row) for each solid cell whose box meets `box`
    /// (touching edges count), row by row; it costs the cells the box
    /// covers, not the map's size. A box that is not a number meets none.
    template <typename Visit> void forEachSolidIn(const Box& box, Visit&& visit) const {
        int left = 0, top = 0, right = -1, bottom = -1;
        cellRange(box, left, top, right, bottom);
        for (int row = top; row <= bottom; row++)
            for (int column = left; column <= right; column++)
                if (solidAt(index(column, row)))
                    visit(column, row);
    }
    /// True when a solid cell's box meets `box`.
    [[nodiscard]] bool anySolidIn(const Box& box) const;
    /// Draws the cells that lie in the view (world spaces) through the display
    /// manager, row by row; blank cells are left out, so what is below shows.
    void draw(const Box& view) const;

  private:
    [[nodiscard]] std::size_t index(int column, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(column);
    }
    [[nodiscard]] bool solidAt(std::size_t cell) const {
        return (m_solid[cell >> 6] >> (cell & 63) & 1u) != 0;
    }
    void setSolid(std::size_t cell, bool solid);
    // The cells of the map whose solid boxes a box meets, clamped to the
    // map; an empty range (right < left) when none.
    void cellRange(const Box& box, int& left, int& top, int& right, int& bottom) const;

    int m_width;
    int m_height;
    std::vector<Tile> m_tiles;
    // One bit per cell, apart from the tiles, so that the collision queries
    // of objects spread over a large map touch an array that stays in cache.
    std::vector<std::uint64_t> m_solid;
    int m_altitude;
    bool m_visible;
    std::uint64_t m_revision;
};

} // namespace vt
