#include "media/GlyphPiece.h"

#include <algorithm>

namespace vt {

namespace {

// The point whose x and y are those that `keep` (the lesser or the greater of
// two) keeps of all the corners'.
template <typename Keep>
sf::Vector2f extremeCorner(const GlyphPiece::Corner* p_corners, std::size_t count, Keep keep) {
    sf::Vector2f extreme = p_corners[0].position;
    for (std::size_t i = 1; i < count; i++) {
        extreme.x = keep(extreme.x, p_corners[i].position.x);
        extreme.y = keep(extreme.y, p_corners[i].position.y);
    }
    return extreme;
}

} // namespace

GlyphPiece GlyphPiece::quad(const Corner& a, const Corner& b, const Corner& c, const Corner& d) {
    GlyphPiece piece;
    piece.m_corners[0] = a;
    piece.m_corners[1] = b;
    piece.m_corners[2] = c;
    piece.m_corners[3] = d;
    piece.m_count = 4;
    return piece;
}

bool GlyphPiece::cut(sf::Vector2f from, sf::Vector2f to, bool inside) {
    const sf::Vector2f line = to - from;
    // Both sides of one line are cut with the same distances, negated, so two
    // parts cut apart meet exactly along it.
    std::array<float, MAX_CORNERS> distance{};
    bool any_kept = false;
    bool any_dropped = false;
    for (std::size_t i = 0; i < m_count; i++) {
        const sf::Vector2f p = m_corners[i].position - from;
        const float cross = line.x * p.y - line.y * p.x;
        distance[i] = inside ? cross : -cross;
        any_kept = any_kept || distance[i] > 0.0f;
        any_dropped = any_dropped || distance[i] < 0.0f;
    }
    if (!any_kept)
        return false;
    if (!any_dropped)
        return true;

    std::array<Corner, MAX_CORNERS> kept{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < m_count; i++) {
        const std::size_t next = (i + 1) % m_count;
        const Corner& a = m_corners[i];
        const Corner& b = m_corners[next];
        const float da = distance[i];
        const float db = distance[next];
        if (da >= 0.0f) {
            if (count == MAX_CORNERS)
                return false;
            kept[count++] = a;
        }
        if ((da > 0.0f && db < 0.0f) || (da < 0.0f && db > 0.0f)) {
            if (count == MAX_CORNERS)
                return false;
            const float t = da / (da - db);
            kept[count++] =
                Corner{a.position + (b.position - a.position) * t, a.texture + (b.texture - a.texture) * t};
        }
    }
    m_corners = kept;
    m_count = count;
    return count >= 3;
}

bool GlyphPiece::contains(sf::Vector2f point) const {
    if (m_count < 3)
        return false;
    // Inside a convex part, the point lies on the same side of every edge, whichever way round it goes.
    bool left = false;
    bool right = false;
    for (std::size_t i = 0; i < m_count; i++) {
        const sf::Vector2f edge = m_corners[(i + 1) % m_count].position - m_corners[i].position;
        const sf::Vector2f to = point - m_corners[i].position;
        const float cross = edge.x * to.y - edge.y * to.x;
        left = left || cross > 0.0f;
        right = right || cross < 0.0f;
    }
    return !(left && right);
}

void GlyphPiece::offset(sf::Vector2f by) {
    for (std::size_t i = 0; i < m_count; i++)
        m_corners[i].position += by;
}

void GlyphPiece::turn(sf::Vector2f pivot, float cos_r, float sin_r) {
    for (std::size_t i = 0; i < m_count; i++) {
        const sf::Vector2f p = m_corners[i].position - pivot;
        m_corners[i].position = pivot + sf::Vector2f(p.x * cos_r - p.y * sin_r, p.x * sin_r + p.y * cos_r);
    }
}

void GlyphPiece::appendTriangles(std::vector<sf::Vertex>& vertices, sf::Color color) const {
    if (m_count < 3)
        return;
    std::size_t next = vertices.size();
    vertices.resize(next + 3 * (m_count - 2));
    for (std::size_t i = 1; i + 1 < m_count; i++)
        for (const Corner* p_corner : {&m_corners[0], &m_corners[i], &m_corners[i + 1]})
            vertices[next++] = sf::Vertex{p_corner->position, color, p_corner->texture};
}

sf::Vector2f GlyphPiece::minCorner() const {
    return extremeCorner(m_corners.data(), m_count, [](float a, float b) { return std::min(a, b); });
}

sf::Vector2f GlyphPiece::maxCorner() const {
    return extremeCorner(m_corners.data(), m_count, [](float a, float b) { return std::max(a, b); });
}

} // namespace vt
