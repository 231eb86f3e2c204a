#include "media/CellBatch.h"

#include <algorithm>
#include <cmath>
#include <locale>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utf8.h"

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
constexpr char32_t LAST_ASCII = 0x7F;
// Stands in the table of drawn shapes for the box of a character the font lacks.
constexpr char32_t MISSING_GLYPH_BOX = LAST_CODE_POINT + 1;
// Lines drawn from rectangles are this fraction of the narrower side of a cell thick.
constexpr float LINE_SHARE = 1.0f / 8;
// The masks' texture: white texels in its top-left corner for backgrounds,
// then masks a texel apart, so that none samples its neighbour's ink. It
// starts this size and grows downward, doubling, up to a square of the
// largest side allowed; cells between whole pixels come in a few sizes
// only, so a screen's masks fit many times over.
constexpr unsigned WHITE_TEXELS = 4;
constexpr unsigned MASK_GAP = 1;
constexpr unsigned FIRST_MASKS_WIDTH = 1024;
constexpr unsigned FIRST_MASKS_HEIGHT = 256;
constexpr unsigned MAX_MASKS_SIDE = 4096;

// A pixel edge of a cell. Neighbours compute their shared edge along different
// float paths, which may differ in the last bits; snapping to 1/64 pixel
// first makes them round alike.
float pixelEdge(float position) { return std::round(std::round(position * 64.0f) / 64.0f); }

// The opacity of a mask texel whose ink is the colour's share in quarters
// over the background: blending then mixes the two.
std::uint8_t shadeAlpha(std::uint8_t quarters) {
    return static_cast<std::uint8_t>(quarters >= 4 ? 255 : (quarters * 255 + 2) / 4);
}

unsigned maxMasksSide() { return std::min(MAX_MASKS_SIDE, sf::Texture::getMaximumSize()); }

bool boxesOverlap(sf::Vector2f low_a, sf::Vector2f high_a, sf::Vector2f low_b, sf::Vector2f high_b,
                  float margin) {
    return low_a.x < high_b.x - margin && low_b.x < high_a.x - margin && low_a.y < high_b.y - margin &&
           low_b.y < high_a.y - margin;
}

} // namespace

CellBatch::CellBatch(sf::Font& font, unsigned character_size, float cell_width, float cell_height,
                     sf::Color background, FontCoverage coverage)
    : m_font(font), m_character_size(character_size), m_cell_width(cell_width), m_cell_height(cell_height),
      m_background(background), m_glyphs(), m_wide_glyphs(), m_coverage(std::move(coverage)),
      m_reported_missing(),
      m_line(std::max(1, static_cast<int>(std::lround(std::min(cell_width, cell_height) * LINE_SHARE)))),
      m_drawn_masks(), m_mask_pieces(), m_mask_pixels(), m_masks(), m_masks_made(false), m_masks_width(0),
      m_masks_height(0), m_shelf_x(0), m_shelf_y(0), m_shelf_height(0), m_queued_drawn(0), m_cells(),
      m_window_drawn_on(false), m_any_painted(false), m_covers(), m_cover_begin(), m_cover_count(),
      m_buckets(), m_used_buckets(), m_bucket_columns(0), m_bucket_rows(0), m_seen_in_query(), m_vertices(),
      m_drawn_vertices(), m_pieces(), m_next_pieces() {
    m_vertices.reserve(RESERVED_VERTICES);
}

CellBatch::Turn::Turn(float degrees) : upright(degrees == 0.0f), cos_r(1.0f), sin_r(0.0f) {
    if (!upright) {
        cos_r = std::cos(degrees * DEGREES_TO_RADIANS);
        sin_r = std::sin(degrees * DEGREES_TO_RADIANS);
    }
}

CellBatch::TurnedRect CellBatch::Turn::rect(sf::Vector2f pivot, float left, float top, float right,
                                            float bottom) const {
    TurnedRect turned{};
    if (upright) {
        turned.low = pivot + sf::Vector2f(left, top);
        turned.high = pivot + sf::Vector2f(right, bottom);
        turned.corners = {turned.low, sf::Vector2f(turned.high.x, turned.low.y), turned.high,
                          sf::Vector2f(turned.low.x, turned.high.y)};
        return turned;
    }
    const std::array<sf::Vector2f, 4> local = {sf::Vector2f(left, top), sf::Vector2f(right, top),
                                               sf::Vector2f(right, bottom), sf::Vector2f(left, bottom)};
    for (std::size_t i = 0; i < 4; i++)
        turned.corners[i] = pivot + sf::Vector2f(local[i].x * cos_r - local[i].y * sin_r,
                                                 local[i].x * sin_r + local[i].y * cos_r);
    turned.low = turned.high = turned.corners[0];
    for (const sf::Vector2f& corner : turned.corners) {
        turned.low = sf::Vector2f(std::min(turned.low.x, corner.x), std::min(turned.low.y, corner.y));
        turned.high = sf::Vector2f(std::max(turned.high.x, corner.x), std::max(turned.high.y, corner.y));
    }
    return turned;
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

const CellBatch::CachedGlyph* CellBatch::glyphFor(char32_t code_point) {
    const auto found = m_wide_glyphs.find(code_point);
    if (found != m_wide_glyphs.end())
        return &found->second;
    if (!m_coverage.covers(code_point)) {
        // Asking the font would rasterise its empty glyph anew for every such
        // code point, and grow its texture without end.
        if (m_reported_missing.empty())
            m_reported_missing.resize(LAST_CODE_POINT + 1, false);
        if (!m_reported_missing[code_point]) {
            m_reported_missing[code_point] = true;
            LogManager::getInstance().writeLog(
                "DisplayManager::drawCharacter(): Warning! The font has no glyph for U+%04X; drawn as a box.",
                static_cast<unsigned>(code_point));
        }
        return nullptr;
    }
    CachedGlyph& cached = m_wide_glyphs[code_point];
    cached.rects = sfml::glyphRects(m_font.getGlyph(code_point, m_character_size, true));
    cached.visible = cached.rects.tex_width > 0 && cached.rects.tex_height > 0;
    cached.loaded = true;
    return &cached;
}

bool CellBatch::addCell(float x, float y, char ch, sf::Color color, float rotation) {
    addGlyphCell(x, y, glyphFor(ch), color, rotation);
    return true;
}

bool CellBatch::addCell(float x, float y, char32_t code_point, sf::Color color, float rotation) {
    if (code_point <= LAST_ASCII)
        return addCell(x, y, static_cast<char>(code_point), color, rotation);
    if (!isScalarValue(code_point))
        code_point = REPLACEMENT_CHARACTER;
    if (BoxDrawing::drawsItself(code_point))
        return addDrawnCell(x, y, code_point, color, rotation);
    const CachedGlyph* p_glyph = glyphFor(code_point);
    if (p_glyph == nullptr)
        return addDrawnCell(x, y, MISSING_GLYPH_BOX, color, rotation);
    addGlyphCell(x, y, *p_glyph, color, rotation);
    return true;
}

void CellBatch::addGlyphCell(float x, float y, const CachedGlyph& glyph, sf::Color color, float rotation) {
    // A cell nowhere shows nothing and hides nothing.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(rotation))
        return;
    const Turn turn(rotation);
    Cell cell{};
    cell.color = color;
    // The background sits a tenth of a cell left of and a fifth of a cell
    // below the glyph's origin, where the glyph's ink falls.
    cell.background = turn.rect(sf::Vector2f(x - m_cell_width / 10, y + m_cell_height / 5), 0, 0,
                                m_cell_width, m_cell_height);
    cell.visible = glyph.visible;
    if (glyph.visible) {
        const sfml::GlyphRects& r = glyph.rects;
        // Whole-pixel origins and texel-sized quads show the glyphs exactly
        // as the font renders them, texel for pixel.
        const float top = static_cast<float>(m_character_size) + r.top;
        cell.glyph = turn.rect(sf::Vector2f(std::round(x), std::round(y)), r.left, top, r.left + r.tex_width,
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

bool CellBatch::addDrawnCell(float x, float y, char32_t code_point, sf::Color color, float rotation) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(rotation))
        return true;
    const Turn turn(rotation);
    const sf::Vector2f corner(x - m_cell_width / 10, y + m_cell_height / 5);
    // The shapes fill the cell's background rounded to whole pixels.
    const float left = pixelEdge(corner.x);
    const float top = pixelEdge(corner.y);
    const float width = pixelEdge(corner.x + m_cell_width) - left;
    const float height = pixelEdge(corner.y + m_cell_height) - top;
    const DrawnMask* p_mask = nullptr;
    if (width > 0 && height > 0 && width < 1e6f && height < 1e6f) {
        p_mask = drawnMask(code_point, static_cast<int>(width), static_cast<int>(height));
        if (p_mask == nullptr && m_queued_drawn > 0)
            return false;
    }
    Cell cell{};
    cell.color = color;
    cell.background = turn.rect(corner, 0, 0, m_cell_width, m_cell_height);
    cell.drawn = true;
    cell.visible = p_mask != nullptr && p_mask->width > 0;
    if (cell.visible) {
        const DrawnMask& mask = *p_mask;
        const auto ink_left = left + static_cast<float>(mask.left);
        const auto ink_top = top + static_cast<float>(mask.top);
        const auto ink_width = static_cast<float>(mask.width);
        const auto ink_height = static_cast<float>(mask.height);
        // Upright, the ink lies on whole pixels exactly; turned, about the
        // background's corner as glyphs are.
        cell.glyph = turn.upright
                         ? turn.rect(sf::Vector2f(ink_left, ink_top), 0, 0, ink_width, ink_height)
                         : turn.rect(corner, ink_left - corner.x, ink_top - corner.y,
                                     ink_left - corner.x + ink_width, ink_top - corner.y + ink_height);
        cell.texture = {sf::Vector2f(mask.tex_left, mask.tex_top),
                        sf::Vector2f(mask.tex_left + ink_width, mask.tex_top),
                        sf::Vector2f(mask.tex_left + ink_width, mask.tex_top + ink_height),
                        sf::Vector2f(mask.tex_left, mask.tex_top + ink_height)};
        m_queued_drawn++;
    }
    m_cells.push_back(cell);
    return true;
}

const CellBatch::DrawnMask* CellBatch::drawnMask(char32_t code_point, int width, int height) {
    const std::uint64_t key = (static_cast<std::uint64_t>(code_point) << 40) |
                              (static_cast<std::uint64_t>(width) << 20) | static_cast<std::uint64_t>(height);
    const auto found = m_drawn_masks.find(key);
    if (found != m_drawn_masks.end())
        return &found->second;
    if (!m_masks_made && !resetMasks())
        return nullptr;
    DrawnMask mask{};
    if (!makeMask(code_point, width, height, mask)) {
        // Masks of the queued cells must stay where they are; with none
        // queued the texture may start over.
        if (m_queued_drawn > 0 || !resetMasks())
            return nullptr;
        if (!makeMask(code_point, width, height, mask)) {
            // Not even an empty texture holds it: the cell stays empty, and is not tried again.
            LogManager::getInstance().writeLog(
                "DisplayManager::drawCharacter(): Warning! U+%04X in a cell of %d x %d pixels is too "
                "large to draw.",
                static_cast<unsigned>(code_point), width, height);
            mask = DrawnMask{};
        }
    }
    return &m_drawn_masks.emplace(key, mask).first->second;
}

bool CellBatch::makeMask(char32_t code_point, int width, int height, DrawnMask& mask) {
    m_mask_pieces.clear();
    if (code_point == MISSING_GLYPH_BOX)
        BoxDrawing::appendReplacementBox(width, height, m_line, sf::Vector2f(), m_mask_pieces);
    else
        BoxDrawing::appendPieces(code_point, width, height, m_line, sf::Vector2f(), m_mask_pieces);
    if (m_mask_pieces.empty()) {
        mask = DrawnMask{};
        return true;
    }
    // The shapes' pixels within the cell; pieces lie on whole pixels, arcs
    // and diagonals within them.
    sf::Vector2f low = m_mask_pieces.front().shape.minCorner();
    sf::Vector2f high = m_mask_pieces.front().shape.maxCorner();
    for (const BoxDrawing::Piece& piece : m_mask_pieces) {
        const sf::Vector2f piece_low = piece.shape.minCorner();
        const sf::Vector2f piece_high = piece.shape.maxCorner();
        low = sf::Vector2f(std::min(low.x, piece_low.x), std::min(low.y, piece_low.y));
        high = sf::Vector2f(std::max(high.x, piece_high.x), std::max(high.y, piece_high.y));
    }
    mask.left = std::clamp(static_cast<int>(std::floor(low.x)), 0, width);
    mask.top = std::clamp(static_cast<int>(std::floor(low.y)), 0, height);
    mask.width = std::clamp(static_cast<int>(std::ceil(high.x)), 0, width) - mask.left;
    mask.height = std::clamp(static_cast<int>(std::ceil(high.y)), 0, height) - mask.top;
    if (mask.width <= 0 || mask.height <= 0) {
        mask = DrawnMask{};
        return true;
    }
    const auto mask_width = static_cast<unsigned>(mask.width);
    const auto mask_height = static_cast<unsigned>(mask.height);
    unsigned x = 0;
    unsigned y = 0;
    if (!placeMask(mask_width, mask_height, x, y))
        return false;
    // A pixel is ink where its centre lies in a piece, as the renderer decides for triangles.
    m_mask_pixels.assign(std::size_t{mask_width} * mask_height * 4, 0);
    for (const BoxDrawing::Piece& piece : m_mask_pieces)
        for (int py = 0; py < mask.height; py++)
            for (int px = 0; px < mask.width; px++) {
                const sf::Vector2f centre(static_cast<float>(mask.left + px) + 0.5f,
                                          static_cast<float>(mask.top + py) + 0.5f);
                std::uint8_t* p_texel = &m_mask_pixels[(static_cast<std::size_t>(py) * mask_width +
                                                        static_cast<std::size_t>(px)) *
                                                       4];
                const std::uint8_t alpha = shadeAlpha(piece.shade);
                if (p_texel[3] < alpha && piece.shape.contains(centre)) {
                    p_texel[0] = p_texel[1] = p_texel[2] = 255;
                    p_texel[3] = alpha;
                }
            }
    sfml::updateTexture(m_masks, m_mask_pixels.data(), mask_width, mask_height, x, y);
    mask.tex_left = static_cast<float>(x);
    mask.tex_top = static_cast<float>(y);
    return true;
}

bool CellBatch::placeMask(unsigned width, unsigned height, unsigned& x, unsigned& y) {
    const unsigned max_side = maxMasksSide();
    if (width + MASK_GAP > m_masks_width || height + MASK_GAP > max_side)
        return false;
    if (m_shelf_x + width + MASK_GAP > m_masks_width) {
        m_shelf_y += m_shelf_height;
        m_shelf_x = 0;
        m_shelf_height = 0;
    }
    unsigned grown_height = m_masks_height;
    while (m_shelf_y + height + MASK_GAP > grown_height && grown_height < max_side)
        grown_height = std::min(grown_height * 2, max_side);
    if (m_shelf_y + height + MASK_GAP > grown_height)
        return false;
    if (grown_height != m_masks_height) {
        // Masks already placed keep their texels: the larger texture starts as a copy.
        sf::Texture grown;
        if (!sfml::sizeTexture(grown, m_masks_width, grown_height))
            return false;
        sfml::copyTexture(grown, m_masks);
        m_masks.swap(grown);
        m_masks_height = grown_height;
    }
    x = m_shelf_x;
    y = m_shelf_y;
    m_shelf_x += width + MASK_GAP;
    m_shelf_height = std::max(m_shelf_height, height + MASK_GAP);
    return true;
}

bool CellBatch::resetMasks() {
    m_drawn_masks.clear();
    m_masks_made = false;
    const unsigned max_side = maxMasksSide();
    // As wide as the widest cell's mask needs, so that every cell can be drawn.
    unsigned width = std::min(FIRST_MASKS_WIDTH, max_side);
    while (width < max_side && static_cast<float>(width) < m_cell_width + static_cast<float>(2 * MASK_GAP))
        width = std::min(width * 2, max_side);
    const unsigned height = std::min(FIRST_MASKS_HEIGHT, max_side);
    if (m_masks_width != width || m_masks_height != height) {
        if (!sfml::sizeTexture(m_masks, width, height))
            return false;
        m_masks_width = width;
        m_masks_height = height;
    }
    m_masks.setSmooth(false);
    const std::vector<std::uint8_t> white(std::size_t{WHITE_TEXELS} * WHITE_TEXELS * 4, 255);
    sfml::updateTexture(m_masks, white.data(), WHITE_TEXELS, WHITE_TEXELS, 0, 0);
    m_shelf_x = WHITE_TEXELS + MASK_GAP;
    m_shelf_y = 0;
    m_shelf_height = WHITE_TEXELS + MASK_GAP;
    m_masks_made = true;
    return true;
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

void CellBatch::appendBackgrounds(std::vector<sf::Vertex>& vertices) {
    const sf::Vector2f white(WHITE_TEXEL, WHITE_TEXEL);
    for (const Cell& cell : m_cells) {
        const auto& c = cell.background.corners;
        GlyphPiece::quad({c[0], white}, {c[1], white}, {c[2], white}, {c[3], white})
            .appendTriangles(vertices, cell.painted ? cell.fill : m_background);
    }
}

void CellBatch::appendGlyph(std::size_t index) {
    const Cell& cell = m_cells[index];
    if (!cell.visible)
        return;
    const std::uint32_t first_cover = m_cover_begin[index];
    const std::uint32_t covers = m_cover_count[index];
    const auto& g = cell.glyph.corners;
    const auto& t = cell.texture;
    appendCut(GlyphPiece::quad({g[0], t[0]}, {g[1], t[1]}, {g[2], t[2]}, {g[3], t[3]}), cell.color,
              first_cover, covers, cell.drawn ? m_drawn_vertices : m_vertices);
}

void CellBatch::appendCut(const GlyphPiece& whole, sf::Color color, std::uint32_t first_cover,
                          std::uint32_t covers, std::vector<sf::Vertex>& vertices) {
    const std::uint32_t begin = first_cover;
    const std::uint32_t end = begin + covers;
    if (begin == end) {
        whole.appendTriangles(vertices, color);
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
        piece.appendTriangles(vertices, color);
}

void CellBatch::flush(sf::RenderTarget& target, FrameRecord* p_record) {
    if (!m_cells.empty()) {
        m_vertices.clear();
        m_drawn_vertices.clear();
        // Over a window cleared to the background colour, backgrounds would
        // Over a window cleared to the background colour, backgrounds would
        // paint nothing; over earlier drawing, or with cells painted in their
        // own colours, they hide what lies beneath, and so come before
        // everything else.
        if (m_window_drawn_on || m_any_painted)
            appendBackgrounds(m_queued_drawn > 0 ? m_drawn_vertices : m_vertices);
        m_any_painted = false;
        resetBuckets(target);
        findCoveringCells();
        for (std::size_t i = 0; i < m_cells.size(); i++)
            appendGlyph(i);
        if (!m_drawn_vertices.empty()) {
            sf::RenderStates states;
            states.texture = &m_masks;
            target.draw(m_drawn_vertices.data(), m_drawn_vertices.size(), sf::PrimitiveType::Triangles,
                        states);
            if (p_record != nullptr)
                p_record->addTriangles(m_drawn_vertices, states.texture);
        }
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
        m_queued_drawn = 0;
    }
    m_window_drawn_on = true;
}

} // namespace vt
