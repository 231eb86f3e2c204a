#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "vintrel/paths/PathFind.h"

namespace vt {

/// The nodes of one path search, kept in tiles of 8 x 8 cells that are made
/// when the search first reaches one of their cells: memory follows the
/// search, not the size of the world, and neighbouring nodes share a tile.
class NodeTable {
  public:
    /// What the search knows of one cell.
    struct Node {
        float g;             // cost from start
        float f;             // g plus the straight-line estimate to goal
        std::uint32_t order; // discovery order, which settles ties between equal f
        std::int8_t step;    // (dx + 1) * 3 + (dy + 1) of the step from the parent; NO_STEP at start
        bool is_reached;
        bool is_open;
        bool is_closed;
    };
    static constexpr std::int8_t NO_STEP = 4;
    static constexpr int TILE_SIDE = 8;
    static constexpr std::size_t TILE_CELLS = TILE_SIDE * TILE_SIDE;

    /// The node of a reached cell, or null. Valid as long as the table.
    [[nodiscard]] Node* find(PathFind::Cell cell);
    [[nodiscard]] const Node* find(PathFind::Cell cell) const;
    /// Marks a cell (x, y >= 0) reached and returns its node, neither open nor closed.
    Node& insert(PathFind::Cell cell);
    /// Cells held: every cell of every tile made so far.
    [[nodiscard]] std::size_t size() const { return m_tiles.size() * TILE_CELLS; }

    /// Calls visit(cell, node) for every reached cell, in no particular order.
    template <typename Visit> void forEach(Visit visit) const {
        for (const auto& [key, p_tile] : m_tiles) {
            const int left = static_cast<int>(key >> 32) * TILE_SIDE;
            const int top = static_cast<int>(key & 0xffffffffU) * TILE_SIDE;
            for (std::size_t i = 0; i < TILE_CELLS; i++)
                if ((*p_tile)[i].is_reached)
                    visit(PathFind::Cell{left + static_cast<int>(i % TILE_SIDE),
                                         top + static_cast<int>(i / TILE_SIDE)},
                          (*p_tile)[i]);
        }
    }

  private:
    using Tile = std::array<Node, TILE_CELLS>;

    [[nodiscard]] Tile* tileOf(std::uint64_t key) const;

    std::unordered_map<std::uint64_t, std::unique_ptr<Tile>> m_tiles;
    // The tile asked for last: most lookups stay in it.
    mutable std::uint64_t m_last_key = 0;
    mutable Tile* m_p_last_tile = nullptr;
};

} // namespace vt
