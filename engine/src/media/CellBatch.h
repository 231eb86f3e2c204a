#pragma once

#include <SFML/Graphics.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/FrameRecord.h"
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
class CellBatch {
  public:
    /// The font must outlive the batch. Sizes are in pixels.
    CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
              sf::Color background);

    /// Queues one cell whose glyph origin is at pixel (x, y); rotation in
    /// degrees, clockwise about the background's and the glyph's top-left corners.
    void addCell(float x, float y, char ch, sf::Color color, float rotation);
    /// Paints the background of the cell queued last in a colour of its own
    /// instead of the window's: that cell then covers what lies beneath it
    /// even in a window cleared this step.
    void paintLastBackground(sf::Color fill);
    /// Draws every queued cell into the target and empties the batch; what
    /// was drawn is added to the record when one is given. From then on
    /// until windowCleared() the target counts as drawn on, so later cells
    /// paint their backgrounds over whatever it holds.
    void flush(sf::RenderTarget& target, FrameRecord* p_record = nullptr);
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

    struct Cell {
        TurnedRect background;
        TurnedRect glyph;
        std::array<sf::Vector2f, 4> texture; // texel coordinates of the glyph's corners
        sf::Color color;
        bool visible;
        // A background colour of the cell's own, when painted.
        bool painted;
        sf::Color fill;
    };

    const CachedGlyph& glyphFor(char ch);
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
    std::vector<Cell> m_cells;
    bool m_window_drawn_on;
    // Whether a queued cell paints a background colour of its own.
    bool m_any_painted;

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
