#pragma once

#include "vintrel/core/Color.h"

namespace vt {

/// The character type of a tile map's cells: a Unicode code point, as the
/// display's cells take, so that walls may be drawn with box-drawing lines.
using TileChar = char32_t;

/// One cell of a tile map: what is drawn there and whether it stops objects.
/// The default tile is empty: a space without a background, drawn as
/// nothing, so that what lies below shows through.
struct Tile {
    /// The character drawn in the cell.
    TileChar ch = ' ';
    /// Its colour; CUSTOM draws in white, as characters elsewhere do.
    Color color = WHITE;
    /// True when the cell is painted in `background` behind the character.
    bool has_background = false;
    /// The cell's own background colour, used when `has_background` is set.
    Color background = BLACK;
    /// Solid cells stop HARD objects and report collisions to SOFT ones.
    bool solid = false;

    /// True for a space without background: nothing to draw.
    [[nodiscard]] bool isBlank() const { return ch == ' ' && !has_background; }
    /// Same character, colours and solidity.
    bool operator==(const Tile& other) const {
        return ch == other.ch && color == other.color && has_background == other.has_background &&
               (!has_background || background == other.background) && solid == other.solid;
    }
    /// Differs in character, colours or solidity.
    bool operator!=(const Tile& other) const { return !(*this == other); }
};

} // namespace vt
