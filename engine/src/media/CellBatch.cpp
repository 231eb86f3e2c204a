#include "media/CellBatch.h"

#include <cmath>
#include <locale>

namespace vt {

namespace {

// Glyph quads reach one pixel beyond the glyph's ink, as SFML's own text does,
// so that smoothing at the edges is kept; the font leaves that margin empty.
constexpr float GLYPH_PADDING = 1.0f;
// The font's glyph texture reserves opaque white texels around (1, 1), which
// SFML's text uses for underlines; backgrounds sample there so that they share
// the glyphs' texture and draw call.
constexpr float WHITE_TEXEL = 1.0f;
constexpr float DEGREES_TO_RADIANS = 3.14159265358979f / 180.0f;
constexpr std::size_t VERTICES_PER_QUAD = 6;
// A full default screen of 80 x 24 cells, each a background and a glyph.
constexpr std::size_t RESERVED_VERTICES = 80 * 24 * 2 * VERTICES_PER_QUAD;

} // namespace

CellBatch::CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
                     sf::Color background)
    : m_font(font), m_character_size(character_size), m_cell_width(cell_width), m_cell_height(cell_height),
      m_background(background), m_glyphs(), m_vertices(), m_cell_count(0) {
    m_vertices.reserve(RESERVED_VERTICES);
}

const CellBatch::CachedGlyph& CellBatch::glyphFor(char ch) {
    CachedGlyph& cached = m_glyphs[static_cast<unsigned char>(ch)];
    if (!cached.loaded) {
        // The same code point a one-character sf::String made with the default locale would hold.
        const sf::String text(ch, std::locale());
        if (!text.isEmpty()) {
            const sf::Glyph& glyph = m_font.getGlyph(text[0], m_character_size, true);
            cached.rects = sfml::glyphRects(glyph);
            cached.visible = cached.rects.width > 0 && cached.rects.height > 0;
        }
        cached.loaded = true;
    }
    return cached;
}

void CellBatch::addQuad(float origin_x, float origin_y, float left, float top, float right, float bottom,
                        float cos_r, float sin_r, sf::Color color, float u1, float v1, float u2, float v2) {
    auto corner = [&](float lx, float ly, float u, float v) {
        const sf::Vector2f position(origin_x + lx * cos_r - ly * sin_r, origin_y + lx * sin_r + ly * cos_r);
        m_vertices.push_back(sf::Vertex{position, color, sf::Vector2f(u, v)});
    };
    corner(left, top, u1, v1);
    corner(right, top, u2, v1);
    corner(left, bottom, u1, v2);
    corner(left, bottom, u1, v2);
    corner(right, top, u2, v1);
    corner(right, bottom, u2, v2);
}

void CellBatch::addCell(float x, float y, char ch, sf::Color color, float rotation) {
    float cos_r = 1.0f;
    float sin_r = 0.0f;
    if (rotation != 0.0f) {
        cos_r = std::cos(rotation * DEGREES_TO_RADIANS);
        sin_r = std::sin(rotation * DEGREES_TO_RADIANS);
    }

    // The background sits a tenth of a cell left of and a fifth of a cell
    // below the glyph's origin, where the glyph's ink falls.
    addQuad(x - m_cell_width / 10, y + m_cell_height / 5, 0, 0, m_cell_width, m_cell_height, cos_r, sin_r,
            m_background, WHITE_TEXEL, WHITE_TEXEL, WHITE_TEXEL, WHITE_TEXEL);

    const CachedGlyph& glyph = glyphFor(ch);
    if (glyph.visible) {
        const sfml::GlyphRects& r = glyph.rects;
        // Whole-pixel origins keep the glyphs as sharp as the font renders them.
        const float baseline = static_cast<float>(m_character_size);
        addQuad(std::round(x), std::round(y), r.left - GLYPH_PADDING, baseline + r.top - GLYPH_PADDING,
                r.left + r.width + GLYPH_PADDING, baseline + r.top + r.height + GLYPH_PADDING, cos_r, sin_r,
                color, r.tex_left - GLYPH_PADDING, r.tex_top - GLYPH_PADDING,
                r.tex_left + r.tex_width + GLYPH_PADDING, r.tex_top + r.tex_height + GLYPH_PADDING);
    }
    m_cell_count++;
}

void CellBatch::flush(sf::RenderTarget& target) {
    if (!m_vertices.empty()) {
        sf::RenderStates states;
        // Glyphs sit on whole pixels at their natural size, so sampling the
        // nearest texel shows them exactly as smoothing would, at a fraction
        // of the cost in a software renderer. The font may have grown its
        // texture since the last frame, so this is asked for every time.
        states.texture = &sfml::sharpGlyphTexture(m_font, m_character_size);
        target.draw(m_vertices.data(), m_vertices.size(), sf::PrimitiveType::Triangles, states);
    }
    m_vertices.clear();
    m_cell_count = 0;
}

} // namespace vt
