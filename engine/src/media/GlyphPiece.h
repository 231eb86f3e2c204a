#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <cstddef>
#include <vector>

namespace vt {

/// A convex part of a textured glyph quad, in window pixels, that can be cut
/// along straight lines. Cutting interpolates the texture coordinates, so
/// every pixel of a part samples the texel the whole quad would have.
class GlyphPiece {
  public:
    /// A corner: its position and the texture coordinate it maps to.
    struct Corner {
        sf::Vector2f position;
        sf::Vector2f texture;
    };

    /// The most corners a part can have; cuts that would make more give none.
    static constexpr std::size_t MAX_CORNERS = 16;

    /// A quad from its four corners, in order around it.
    static GlyphPiece quad(const Corner& a, const Corner& b, const Corner& c, const Corner& d);

    /// Keeps the part on one side of the line from `from` to `to`: the side
    /// where the cross product of the line and a point is not negative
    /// (`inside`), or the other. False when nothing of the part is left.
    bool cut(sf::Vector2f from, sf::Vector2f to, bool inside);
    /// True when the point lies inside the part or on its edge.
    bool contains(sf::Vector2f point) const;
    /// Moves every corner by the offset, in pixels.
    void offset(sf::Vector2f by);
    /// Turns every corner about the pivot by the angle whose cosine and sine are given.
    void turn(sf::Vector2f pivot, float cos_r, float sin_r);
    /// Appends the part as triangles in the colour.
    void appendTriangles(std::vector<sf::Vertex>& vertices, sf::Color color) const;
    /// Smallest and largest x and y of the corners.
    sf::Vector2f minCorner() const;
    sf::Vector2f maxCorner() const;

  private:
    std::array<Corner, MAX_CORNERS> m_corners{};
    std::size_t m_count = 0;
};

} // namespace vt
