#include "media/CellBatch.h"

#include <algorithm>
#include <cmath>
#include <locale>

namespace vt {

namespace {

// The font's glyph texture reserves opaque white texels around (1, 1), which
// SFML's text uses for underlines; backgrounds sample there so that they share
// the glyphs' texture and draw call.
constexpr float WHITE_TEXEL = 1.0f;
constexpr float DEGREES_TO_RADIANS = 3.14159265358979f / 180.0f;
// A full default screen of 80 x 24 cells, each a glyph of two triangles.
constexpr std::size_t RESERVED_VERTICES = 80 * 24 * 6;
// Backgrounds that overlap by less than this share no pixel: neighbouring
// cells meet along an edge that rounding may shift by far less.
constexpr float OVERLAP_EPSILON = 1.0f / 64;
// Bounds on the work one cell can cause when a game piles thousands of cells
// at slightly different places: a bucket keeps this many backgrounds, and a
// glyph cut into more parts than this by the cells over it is left out.
constexpr std::size_t MAX_BACKGROUNDS_PER_BUCKET = 64;
constexpr std::size_t MAX_PIECES_PER_GLYPH = 64;

bool boxesOverlap(sf::Vector2f low_a, sf::Vector2f high_a, sf::Vector2f low_b, sf::Vector2f high_b,
                  float margin) {
    return low_a.x < high_b.x - margin && low_b.x < high_a.x - margin && low_a.y < high_b.y - margin &&
           low_b.y < high_a.y - margin;
}

} // namespace

CellBatch::CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
                     sf::Color background)
    : m_font(font), m_character_size(character_size), m_cell_width(cell_width), m_cell_height(cell_height),
      m_background(background), m_glyphs(), m_cells(), m_window_drawn_on(false), m_any_painted(false),
      m_covers(), m_cover_begin(), m_cover_count(), m_buckets(), m_used_buckets(), m_bucket_columns(0),
      m_bucket_rows(0), m_seen_in_query(), m_vertices(), m_pieces(), m_next_pieces() {
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
            cached.visible = cached.rects.tex_width > 0 && cached.rects.tex_height > 0;
        }
        cached.loaded = true;
    }
    return cached;
}

void CellBatch::addCell(float x, float y, char ch, sf::Color color, float rotation) {
    // A cell nowhere shows nothing and hides nothing.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(rotation))
        return;
    float cos_r = 1.0f;
    float sin_r = 0.0f;
    if (rotation != 0.0f) {
        cos_r = std::cos(rotation * DEGREES_TO_RADIANS);
        sin_r = std::sin(rotation * DEGREES_TO_RADIANS);
    }
    const bool upright = rotation == 0.0f;
    auto turned = [cos_r, sin_r, upright](sf::Vector2f pivot, float left, float top, float right,
                                          float bottom) {
        TurnedRect rect{};
        if (upright) {
            rect.low = pivot + sf::Vector2f(left, top);
            rect.high = pivot + sf::Vector2f(right, bottom);
            rect.corners = {rect.low, sf::Vector2f(rect.high.x, rect.low.y), rect.high,
                            sf::Vector2f(rect.low.x, rect.high.y)};
            return rect;
        }
        const std::array<sf::Vector2f, 4> local = {sf::Vector2f(left, top), sf::Vector2f(right, top),
                                                   sf::Vector2f(right, bottom), sf::Vector2f(left, bottom)};
        for (std::size_t i = 0; i < 4; i++)
            rect.corners[i] = pivot + sf::Vector2f(local[i].x * cos_r - local[i].y * sin_r,
                                                   local[i].x * sin_r + local[i].y * cos_r);
        rect.low = rect.high = rect.corners[0];
        for (const sf::Vector2f& corner : rect.corners) {
            rect.low = sf::Vector2f(std::min(rect.low.x, corner.x), std::min(rect.low.y, corner.y));
            rect.high = sf::Vector2f(std::max(rect.high.x, corner.x), std::max(rect.high.y, corner.y));
        }
        return rect;
    };

    Cell cell{};
    cell.color = color;
    // The background sits a tenth of a cell left of and a fifth of a cell
    // below the glyph's origin, where the glyph's ink falls.
    cell.background =
        turned(sf::Vector2f(x - m_cell_width / 10, y + m_cell_height / 5), 0, 0, m_cell_width, m_cell_height);
    const CachedGlyph& glyph = glyphFor(ch);
    cell.visible = glyph.visible;
    if (glyph.visible) {
        const sfml::GlyphRects& r = glyph.rects;
        // Whole-pixel origins and texel-sized quads show the glyphs exactly
        // as the font renders them, texel for pixel.
        const float top = static_cast<float>(m_character_size) + r.top;
        cell.glyph = turned(sf::Vector2f(std::round(x), std::round(y)), r.left, top, r.left + r.tex_width,
                            top + r.tex_height);
        cell.texture = {sf::Vector2f(r.tex_left, r.tex_top),
                        sf::Vector2f(r.tex_left + r.tex_width, r.tex_top),
                        sf::Vector2f(r.tex_left + r.tex_width, r.tex_top + r.tex_height),
                        sf::Vector2f(r.tex_left, r.tex_top + r.tex_height)};
    }
    m_cells.push_back(cell);
}

void CellBatch::paintLastBackground(sf::Color fill) {
    if (m_cells.empty())
        return;
    m_cells.back().painted = true;
    m_cells.back().fill = fill;
    m_any_painted = true;
}

void CellBatch::resetBuckets(const sf::RenderTarget& target) {
    const sf::Vector2f size = target.getView().getSize();
    // One bucket per cell of the window, and a border of buckets for
    // everything beyond each edge.
    const int columns = static_cast<int>(std::ceil(size.x / m_cell_width)) + 2;
    const int rows = static_cast<int>(std::ceil(size.y / m_cell_height)) + 2;
    if (columns != m_bucket_columns || rows != m_bucket_rows) {
        m_bucket_columns = std::max(columns, 3);
        m_bucket_rows = std::max(rows, 3);
        m_buckets.assign(static_cast<std::size_t>(m_bucket_columns * m_bucket_rows), {});
    } else {
        for (std::uint32_t used : m_used_buckets)
            m_buckets[used].clear();
    }
    m_used_buckets.clear();
}

void CellBatch::bucketRange(const TurnedRect& rect, int& x0, int& y0, int& x1, int& y1) const {
    auto column = [this](float x) {
        const float c = std::floor(x / m_cell_width);
        return static_cast<int>(std::clamp(c, -1.0f, static_cast<float>(m_bucket_columns - 2))) + 1;
    };
    auto row = [this](float y) {
        const float r = std::floor(y / m_cell_height);
        return static_cast<int>(std::clamp(r, -1.0f, static_cast<float>(m_bucket_rows - 2))) + 1;
    };
    x0 = column(rect.low.x);
    x1 = column(rect.high.x);
    y0 = row(rect.low.y);
    y1 = row(rect.high.y);
}

void CellBatch::findCoveringCells() {
    const std::size_t count = m_cells.size();
    m_covers.clear();
    m_cover_begin.assign(count, 0);
    m_cover_count.assign(count, 0);
    m_seen_in_query.assign(count, 0);
    // Latest first: when a cell is looked at, the buckets hold the
    // backgrounds of every cell drawn after it.
    for (std::size_t i = count; i-- > 0;) {
        const Cell& cell = m_cells[i];
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
        bucketRange(cell.background, x0, y0, x1, y1);
        const auto stamp = static_cast<std::uint32_t>(i + 1);
        const std::size_t begin = m_covers.size();
        if (cell.visible) {
            for (int by = y0; by <= y1; by++)
                for (int bx = x0; bx <= x1; bx++)
                    for (std::uint32_t later :
                         m_buckets[static_cast<std::size_t>(by * m_bucket_columns + bx)]) {
                        if (m_seen_in_query[later] == stamp)
                            continue;
                        m_seen_in_query[later] = stamp;
                        const TurnedRect& over = m_cells[later].background;
                        if (boxesOverlap(cell.background.low, cell.background.high, over.low, over.high,
                                         OVERLAP_EPSILON) &&
                            boxesOverlap(cell.glyph.low, cell.glyph.high, over.low, over.high, 0.0f))
                            m_covers.push_back(later);
                    }
            // Cuts apply in drawing order.
            std::sort(m_covers.begin() + static_cast<std::ptrdiff_t>(begin), m_covers.end());
        }
        m_cover_begin[i] = static_cast<std::uint32_t>(begin);
        m_cover_count[i] = static_cast<std::uint32_t>(m_covers.size() - begin);

        // A background like one already kept would cut nothing more.
        const std::vector<std::uint32_t>& first =
            m_buckets[static_cast<std::size_t>(y0 * m_bucket_columns + x0)];
        const bool repeated = std::any_of(first.begin(), first.end(), [&](std::uint32_t later) {
            return m_cells[later].background.corners == cell.background.corners;
        });
        if (repeated)
            continue;
        for (int by = y0; by <= y1; by++)
            for (int bx = x0; bx <= x1; bx++) {
                std::vector<std::uint32_t>& bucket =
                    m_buckets[static_cast<std::size_t>(by * m_bucket_columns + bx)];
                if (bucket.empty())
                    m_used_buckets.push_back(static_cast<std::uint32_t>(by * m_bucket_columns + bx));
                if (bucket.size() < MAX_BACKGROUNDS_PER_BUCKET)
                    bucket.push_back(static_cast<std::uint32_t>(i));
            }
    }
}

void CellBatch::appendBackgrounds() {
    const sf::Vector2f white(WHITE_TEXEL, WHITE_TEXEL);
    for (const Cell& cell : m_cells) {
        const auto& c = cell.background.corners;
        GlyphPiece::quad({c[0], white}, {c[1], white}, {c[2], white}, {c[3], white})
            .appendTriangles(m_vertices, cell.painted ? cell.fill : m_background);
    }
}

void CellBatch::appendGlyph(std::size_t index) {
    const Cell& cell = m_cells[index];
    if (!cell.visible)
        return;
    const auto& g = cell.glyph.corners;
    const auto& t = cell.texture;
    const GlyphPiece whole = GlyphPiece::quad({g[0], t[0]}, {g[1], t[1]}, {g[2], t[2]}, {g[3], t[3]});
    const std::uint32_t begin = m_cover_begin[index];
    const std::uint32_t end = begin + m_cover_count[index];
    if (begin == end) {
        whole.appendTriangles(m_vertices, cell.color);
        return;
    }

    m_pieces.assign(1, whole);
    for (std::uint32_t k = begin; k < end && !m_pieces.empty(); k++) {
        const TurnedRect& over = m_cells[m_covers[k]].background;
        m_next_pieces.clear();
        for (const GlyphPiece& piece : m_pieces) {
            if (!boxesOverlap(piece.minCorner(), piece.maxCorner(), over.low, over.high, 0.0f)) {
                m_next_pieces.push_back(piece);
                continue;
            }
            // What lies outside the background: beyond its first edge, or
            // within that one and beyond the second, and so on.
            GlyphPiece rest = piece;
            for (std::size_t e = 0; e < 4; e++) {
                const sf::Vector2f from = over.corners[e];
                const sf::Vector2f to = over.corners[(e + 1) % 4];
                GlyphPiece outside = rest;
                if (outside.cut(from, to, false))
                    m_next_pieces.push_back(outside);
                if (!rest.cut(from, to, true))
                    break;
            }
        }
        if (m_next_pieces.size() > MAX_PIECES_PER_GLYPH)
            return;
        std::swap(m_pieces, m_next_pieces);
    }
    for (const GlyphPiece& piece : m_pieces)
        piece.appendTriangles(m_vertices, cell.color);
}

void CellBatch::flush(sf::RenderTarget& target, FrameRecord* p_record) {
    if (!m_cells.empty()) {
        m_vertices.clear();
        // Over a window cleared to the background colour, backgrounds would
        // paint nothing; over earlier drawing, or with cells painted in their
        // own colours, they hide what lies beneath, in drawing order.
        if (m_window_drawn_on || m_any_painted)
            appendBackgrounds();
        m_any_painted = false;
        resetBuckets(target);
        findCoveringCells();
        for (std::size_t i = 0; i < m_cells.size(); i++)
            appendGlyph(i);
        if (!m_vertices.empty()) {
            sf::RenderStates states;
            // Glyphs sit on whole pixels at their natural size, so sampling the
            // nearest texel shows them exactly as smoothing would, at a fraction
            // of the cost in a software renderer. The font may have grown its
            // texture since the last frame, so this is asked for every time.
            states.texture = &sfml::sharpGlyphTexture(m_font, m_character_size);
            target.draw(m_vertices.data(), m_vertices.size(), sf::PrimitiveType::Triangles, states);
            if (p_record != nullptr)
                p_record->addTriangles(m_vertices, states.texture);
        }
        m_cells.clear();
    }
    m_window_drawn_on = true;
}

} // namespace vt
