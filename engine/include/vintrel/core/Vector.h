#pragma once

#include <iosfwd>
#include <string>

namespace vt {

/// A position, direction or velocity in spaces; y grows downward.
class Vector {
  public:
    Vector();
    Vector(float x, float y);

    float getX() const { return m_x; }
    float getY() const { return m_y; }
    void setX(float x) { m_x = x; }
    void setY(float y) { m_y = y; }
    void setXY(float x, float y);

    /// Euclidean length.
    float getMagnitude() const;
    /// Scales to length 1; a zero vector stays (0, 0).
    void normalize();
    /// Multiplies both components by the factor.
    void scale(float factor);

    Vector operator+(const Vector& other) const;
    Vector operator-(const Vector& other) const;
    Vector& operator+=(const Vector& other);
    bool operator==(const Vector& other) const;
    bool operator!=(const Vector& other) const;

    /// "(x,y)" for log lines.
    std::string toString() const;

    /// Writes the 8-byte binary form (x, y as machine-order floats); 0 or -1.
    int serialize(std::ostream& stream) const;
    /// Reads the 8-byte binary form; 0 or -1.
    int deserialize(std::istream& stream);

  private:
    float m_x;
    float m_y;
};

} // namespace vt
