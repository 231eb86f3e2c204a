#pragma once

#include <SFML/Graphics.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "media/BoxDrawing.h"
#include "media/FontCoverage.h"
#include "media/GlyphPiece.h"
#include "media/SfmlCompat.h"

namespace vt {

/// The characters drawn during one step, kept until the frame is drawn and
/// then drawn into the window with a single call.
///
/// Every cell's background is the window's background colour, so what it
/// does is hide: a cell hides the ink of earlier cells whose backgrounds it
/// overlaps (objects drawn on top of each other), and nothing else. Glyphs
/// that reach past their cell therefore keep their ink beside a neighbour
/// drawn later. In a window cleared to the background colour the picture is
/// then the glyphs alone, in drawing order, each cut where a later cell lies
/// over it; no background needs drawing.
///
/// Box Drawing and Block Elements are not glyphs of the font but pieces
/// fitted to the cell's pixels (BoxDrawing), drawn and cut in the same way.
/// The cell's pixels are its background's edges rounded to whole pixels, and
/// neighbours round their shared edge alike, so their pieces meet exactly.
class CellBatch {
  public:
    /// The font must outlive the batch. Sizes are in pixels. Characters the
    /// coverage says the font lacks are drawn as a box, and logged once each.
    CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
              sf::Color background, FontCoverage coverage = FontCoverage());

    /// Queues one cell whose glyph origin is at pixel (x, y); rotation in
    /// degrees, clockwise about the background's and the glyph's top-left
    /// corners. The char is turned into a character as the default locale does.
    void addCell(float x, float y, char ch, sf::Color color, float rotation);
    /// Queues one cell of a Unicode character; ASCII draws exactly as the
    /// char form does, and anything that is no Unicode scalar value as U+FFFD.
    void addCell(float x, float y, char32_t code_point, sf::Color color, float rotation);
    /// Draws every queued cell into the target and empties the batch. From
    /// then on until windowCleared() the target counts as drawn on, so later
    /// cells paint their backgrounds over whatever it holds.
    void flush(sf::RenderTarget& target);
    /// Tells the batch that the window holds nothing but the background colour.
    void windowCleared() { m_window_drawn_on = false; }
    /// Number of cells waiting to be drawn.
    [[nodiscard]] std::size_t getCellCount() const { return m_cells.size(); }
    [[nodiscard]] unsigned getCharacterSize() const { return m_character_size; }
    [[nodiscard]] sf::Color getBackground() const { return m_background; }

  private:
    struct CachedGlyph {
        bool loaded = false;
        bool visible = false;
        sfml::GlyphRects rects{};
    };

    /// A rectangle turned about a corner: where a background or a glyph lies.
    struct TurnedRect {
        std::array<sf::Vector2f, 4> corners; // clockwise on screen
        sf::Vector2f low;                    // bounding box
        sf::Vector2f high;
    };

    /// A clockwise rotation in degrees, and whether it is none at all.
    struct Turn {
        explicit Turn(float degrees);
        /// The rectangle (left, top)-(right, bottom) about the pivot, turned.
        TurnedRect rect(sf::Vector2f pivot, float left, float top, float right, float bottom) const;
        bool upright;
        float cos_r;
        float sin_r;
    };

    struct Cell {
        TurnedRect background;
        TurnedRect glyph;                    // where the ink lies
        std::array<sf::Vector2f, 4> texture; // texel coordinates of the glyph's corners
        sf::Color color;
        bool visible;
        // Pieces of a character drawn from rectangles, in m_drawn_pieces; none for a glyph.
        std::uint32_t first_drawn;
        std::uint32_t drawn_count;
    };

    struct DrawnPiece {
        GlyphPiece shape;
        sf::Color color;
    };

    const CachedGlyph& glyphFor(char ch);
    /// The glyph of a character beyond ASCII, or null when the font lacks it.
    const CachedGlyph* glyphFor(char32_t code_point);
    void addGlyphCell(float x, float y, const CachedGlyph& glyph, sf::Color color, float rotation);
    void addDrawnCell(float x, float y, char32_t code_point, sf::Color color, float rotation);
    /// The pieces of a drawn character in a cell of the size, made once.
    std::pair<std::uint32_t, std::uint32_t> drawnShapes(char32_t code_point, int width, int height);
    void appendCut(const GlyphPiece& whole, sf::Color color, std::uint32_t first_cover, std::uint32_t covers);
    void findCoveringCells();
    void appendBackgrounds();
    void appendGlyph(std::size_t index);
    void resetBuckets(const sf::RenderTarget& target);
    void bucketRange(const TurnedRect& rect, int& x0, int& y0, int& x1, int& y1) const;

    sf::Font& m_font;
    unsigned m_character_size;
    float m_cell_width;
    float m_cell_height;
    sf::Color m_background;
    std::array<CachedGlyph, 256> m_glyphs;
    // Glyphs of the characters beyond ASCII that the font has, as they are first drawn.
    std::unordered_map<char32_t, CachedGlyph> m_wide_glyphs;
    FontCoverage m_coverage;
    // One bit per code point the font lacks that has been logged.
    std::vector<bool> m_reported_missing;
    // Thickness of light lines drawn from rectangles, in pixels.
    int m_line;
    // Pieces of drawn characters by character and cell size, kept across frames.
    std::unordered_map<std::uint64_t, std::pair<std::uint32_t, std::uint32_t>> m_drawn_shapes;
    std::vector<BoxDrawing::Piece> m_drawn_library;
    // Pieces of this batch's drawn characters, placed in the window.
    std::vector<DrawnPiece> m_drawn_pieces;
    std::vector<Cell> m_cells;
    bool m_window_drawn_on;

    // For each cell, the later cells whose backgrounds overlap its own, in
    // drawing order: m_covers[m_cover_begin[i] ..] for m_cover_count[i].
    std::vector<std::uint32_t> m_covers;
    std::vector<std::uint32_t> m_cover_begin;
    std::vector<std::uint32_t> m_cover_count;
    // Backgrounds of the cells looked at so far, by cell-sized bucket of the window.
    std::vector<std::vector<std::uint32_t>> m_buckets;
    std::vector<std::uint32_t> m_used_buckets;
    int m_bucket_columns;
    int m_bucket_rows;
    std::vector<std::uint32_t> m_seen_in_query;

    std::vector<sf::Vertex> m_vertices;
    std::vector<GlyphPiece> m_pieces;
    std::vector<GlyphPiece> m_next_pieces;
};

} // namespace vt
