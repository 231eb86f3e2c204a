#pragma once

#include <iosfwd>
#include <string>

#include "vintrel/core/Vector.h"

namespace vt {

/// An axis-aligned box: the corner with the smallest x and y, and its
/// horizontal and vertical extents in spaces. Both ends are inside.
class Box {
  public:
    Box();
    /// The box with the corner (smallest x and y) and the extents, in spaces.
    Box(const Vector& corner, float horizontal, float vertical);

    /// The corner with the smallest x and y.
    Vector getCorner() const { return m_corner; }
    /// Moves the box by setting its corner.
    void setCorner(const Vector& corner) { m_corner = corner; }
    /// Extent along x, in spaces.
    float getHorizontal() const { return m_horizontal; }
    /// Sets the extent along x, in spaces.
    void setHorizontal(float horizontal) { m_horizontal = horizontal; }
    /// Extent along y, in spaces.
    float getVertical() const { return m_vertical; }
    /// Sets the extent along y, in spaces.
    void setVertical(float vertical) { m_vertical = vertical; }

    /// Equal corners and exactly equal extents; there is no !=.
    bool operator==(const Box& other) const;

    /// "(x,y) h: H v: V" for log lines.
    std::string toString() const;

    /// Writes the 16-byte binary form (corner, horizontal, vertical); 0 or -1.
    int serialize(std::ostream& stream) const;
    /// Reads the 16-byte binary form; 0 or -1.
    int deserialize(std::istream& stream);

  private:
    Vector m_corner;
    float m_horizontal;
    float m_vertical;
};

} // namespace vt
