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
    Box(const Vector& corner, float horizontal, float vertical);

    Vector getCorner() const { return m_corner; }
    void setCorner(const Vector& corner) { m_corner = corner; }
    float getHorizontal() const { return m_horizontal; }
    void setHorizontal(float horizontal) { m_horizontal = horizontal; }
    float getVertical() const { return m_vertical; }
    void setVertical(float vertical) { m_vertical = vertical; }

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
