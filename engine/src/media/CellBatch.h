#pragma once

#include <SFML/Graphics.hpp>

#include <array>
#include <cstddef>
#include <vector>

#include "media/SfmlCompat.h"

namespace vt {

/// The characters drawn during one step, kept as textured triangles and drawn
/// into the window with a single call. Each cell is a background quad followed
/// by its glyph quad, so later cells still cover earlier ones exactly as if
/// every cell had been drawn on its own.
class CellBatch {
  public:
    /// The font must outlive the batch. Sizes are in pixels.
    CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
              sf::Color background);

    /// Queues one cell whose glyph origin is at pixel (x, y); rotation in
    /// degrees, clockwise about the background's and the glyph's top-left corners.
    void addCell(float x, float y, char ch, sf::Color color, float rotation);
    /// Draws every queued cell into the target and empties the batch.
    void flush(sf::RenderTarget& target);
    /// Number of cells waiting to be drawn.
    [[nodiscard]] std::size_t getCellCount() const { return m_cell_count; }
    [[nodiscard]] unsigned getCharacterSize() const { return m_character_size; }
    [[nodiscard]] sf::Color getBackground() const { return m_background; }

  private:
    struct CachedGlyph {
        bool loaded = false;
        bool visible = false;
        sfml::GlyphRects rects{};
    };

    const CachedGlyph& glyphFor(char ch);
    void addQuad(float origin_x, float origin_y, float left, float top, float right, float bottom,
                 float cos_r, float sin_r, sf::Color color, float u1, float v1, float u2, float v2);

    sf::Font& m_font;
    unsigned m_character_size;
    float m_cell_width;
    float m_cell_height;
    sf::Color m_background;
    std::array<CachedGlyph, 256> m_glyphs;
    std::vector<sf::Vertex> m_vertices;
    std::size_t m_cell_count;
};

} // namespace vt
