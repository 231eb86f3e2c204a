#pragma once

#include <SFML/Graphics.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "media/BoxDrawing.h"
#include "media/FontCoverage.h"
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
///
/// Box Drawing and Block Elements are not glyphs of the font but shapes
/// fitted to the cell's pixels (BoxDrawing), rasterised once per cell size
/// into a texture of the batch's own (the masks), and then drawn and cut as
/// glyphs are. The cell's pixels are its background's edges rounded to whole
/// pixels, and neighbours round their shared edge alike, so their shapes
/// meet exactly. Their ink never leaves their cell, so drawing them all
/// before the glyphs, with a call of their own, keeps the picture of
/// drawing order.
class CellBatch {
  public:
    /// The font must outlive the batch. Sizes are in pixels. Characters the
    /// coverage says the font lacks are drawn as a box, and logged once each.
    CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
              sf::Color background, FontCoverage coverage = FontCoverage());

    /// Queues one cell whose glyph origin is at pixel (x, y); rotation in
    /// degrees, clockwise about the background's and the glyph's top-left
    /// corners. The char is turned into a character as the default locale does.
    /// Always true: a glyph always finds room.
    bool addCell(float x, float y, char ch, sf::Color color, float rotation);
    /// Queues one cell of a Unicode character; ASCII draws exactly as the
    /// char form does, and anything that is no Unicode scalar value as U+FFFD.
    /// False, with nothing queued, when the batch must be flushed first: the
    /// masks of the characters queued so far fill their texture.
    bool addCell(float x, float y, char32_t code_point, sf::Color color, float rotation);
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
        bool drawn; // its texture is the masks', not the font's
        // A background colour of the cell's own, when painted.
        bool painted;
        sf::Color fill;
    };

    /// Where the ink of a drawn character of one cell size lies in its cell
    /// and in the masks' texture; no ink when width is 0.
    struct DrawnMask {
        int left;
        int top;
        int width;
        int height;
        float tex_left;
        float tex_top;
    };

    const CachedGlyph& glyphFor(char ch);
    /// The glyph of a character beyond ASCII, or null when the font lacks it.
    const CachedGlyph* glyphFor(char32_t code_point);
    void addGlyphCell(float x, float y, const CachedGlyph& glyph, sf::Color color, float rotation);
    bool addDrawnCell(float x, float y, char32_t code_point, sf::Color color, float rotation);
    /// The mask of a drawn character in a cell of the size, made on first use;
    /// null when the texture has no room left for it.
    const DrawnMask* drawnMask(char32_t code_point, int width, int height);
    /// Rasterises the character's shapes, trimmed to their ink, into the texture.
    bool makeMask(char32_t code_point, int width, int height, DrawnMask& mask);
    /// Finds room for a mask in the texture, growing it; false when there is none.
    bool placeMask(unsigned width, unsigned height, unsigned& x, unsigned& y);
    /// Empties the texture but for the white texels backgrounds sample.
    bool resetMasks();
    void appendCut(const GlyphPiece& whole, sf::Color color, std::uint32_t first_cover, std::uint32_t covers,
                   std::vector<sf::Vertex>& vertices);
    void findCoveringCells();
    void appendBackgrounds(std::vector<sf::Vertex>& vertices);
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
    // Masks of drawn characters by character and cell size, kept across
    // frames, and the texture that holds them, filled shelf by shelf.
    std::unordered_map<std::uint64_t, DrawnMask> m_drawn_masks;
    std::vector<BoxDrawing::Piece> m_mask_pieces;
    std::vector<std::uint8_t> m_mask_pixels;
    sf::Texture m_masks;
    bool m_masks_made;
    unsigned m_masks_width;
    unsigned m_masks_height;
    unsigned m_shelf_x;
    unsigned m_shelf_y;
    unsigned m_shelf_height;
    // Queued cells that draw from the masks' texture.
    std::size_t m_queued_drawn;
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
    // Backgrounds and drawn characters, when any are queued: drawn first.
    std::vector<sf::Vertex> m_drawn_vertices;
    std::vector<GlyphPiece> m_pieces;
    std::vector<GlyphPiece> m_next_pieces;
};

} // namespace vt
