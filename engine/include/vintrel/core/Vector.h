#pragma once

#include <iosfwd>
#include <string>

namespace vt {

/// A position, direction or velocity in spaces; y grows downward.
class Vector {
  public:
    Vector();
    /// The vector (x, y), in spaces.
    Vector(float x, float y);

    /// Horizontal component, growing to the right.
    float getX() const { return m_x; }
    /// Vertical component, growing downward.
    float getY() const { return m_y; }
    /// Sets the horizontal component.
    void setX(float x) { m_x = x; }
    /// Sets the vertical component.
    void setY(float y) { m_y = y; }
    /// Sets both components.
    void setXY(float x, float y);

    /// Euclidean length.
    float getMagnitude() const;
    /// Scales to length 1; a zero vector stays (0, 0).
    void normalize();
    /// Multiplies both components by the factor.
    void scale(float factor);

    /// Componentwise sum.
    Vector operator+(const Vector& other) const;
    /// Componentwise difference, this minus the other.
    Vector operator-(const Vector& other) const;
    /// Both components negated: the opposite direction.
    Vector operator-() const;
    /// Both components multiplied by the factor, as scale() does.
    Vector operator*(float factor) const;
    /// Both components divided by the divisor; dividing by 0 gives infinities or NaN, unchecked.
    Vector operator/(float divisor) const;
    /// Adds the other in place; returns this vector.
    Vector& operator+=(const Vector& other);
    /// Subtracts the other in place; returns this vector.
    Vector& operator-=(const Vector& other);
    /// Multiplies in place; returns this vector.
    Vector& operator*=(float factor);
    /// Divides in place; returns this vector.
    Vector& operator/=(float divisor);
    /// Both components exactly equal as floats (so NaN is never equal).
    bool operator==(const Vector& other) const;
    /// The negation of ==.
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

/// The vector scaled by the factor, factor first: 2 * v.
Vector operator*(float factor, const Vector& vector);

} // namespace vt
