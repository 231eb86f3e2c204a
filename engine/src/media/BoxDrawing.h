#pragma once

#include <cstdint>
#include <vector>

#include "media/GlyphPiece.h"

namespace vt {

/// The characters the display draws itself instead of taking them from the
/// font: Box Drawing (U+2500 to U+257F), Block Elements (U+2580 to U+259F),
/// and the box that stands for a character the font lacks. Fonts draw these
/// with their own ideas of the cell, so that lines and blocks of neighbouring
/// cells miss each other or overlap; built from the cell's own pixels, a row
/// of them is one unbroken line or wall.
///
/// Pieces are in the pixels of a cell whose corner is (0, 0) and whose size
/// is width x height whole pixels. Straight lines and blocks lie on whole
/// pixels; a line ending at an edge takes the same pixels there as every
/// other line of its weight, so that neighbours join exactly.
class BoxDrawing {
  public:
    /// One convex part, filled with the colour blended over the background:
    /// shade is the colour's share in quarters, 4 for the colour itself.
    struct Piece {
        GlyphPiece shape;
        std::uint8_t shade;
    };

    /// True for the characters drawn here.
    static bool drawsItself(char32_t code_point);
    /// Appends the pieces of a character drawn here (nothing for any other),
    /// with lines `line` pixels thick (heavy ones twice that); every corner
    /// samples the texture at `texel`, which must be opaque white.
    static void appendPieces(char32_t code_point, int width, int height, int line, sf::Vector2f texel,
                             std::vector<Piece>& pieces);
    /// Appends a hollow box, what a character the font lacks is drawn as.
    static void appendReplacementBox(int width, int height, int line, sf::Vector2f texel,
                                     std::vector<Piece>& pieces);
};

} // namespace vt
