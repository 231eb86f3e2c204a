#include "vintrel/core/Vector.h"

#include <cmath>
#include <istream>
#include <ostream>

#include "vintrel/core/Text.h"

namespace vt {

Vector::Vector() : m_x(0), m_y(0) {}

Vector::Vector(float x, float y) : m_x(x), m_y(y) {}

void Vector::setXY(float x, float y) {
    m_x = x;
    m_y = y;
}

float Vector::getMagnitude() const { return std::sqrt(m_x * m_x + m_y * m_y); }

void Vector::normalize() {
    const float length = getMagnitude();
    if (length > 0) {
        m_x = m_x / length;
        m_y = m_y / length;
    }
}

void Vector::scale(float factor) {
    m_x *= factor;
    m_y *= factor;
}

Vector Vector::operator+(const Vector& other) const { return Vector(m_x + other.m_x, m_y + other.m_y); }

Vector Vector::operator-(const Vector& other) const { return Vector(m_x - other.m_x, m_y - other.m_y); }

Vector& Vector::operator+=(const Vector& other) {
    m_x += other.m_x;
    m_y += other.m_y;
    return *this;
}

Vector Vector::operator-() const { return Vector(-m_x, -m_y); }

Vector Vector::operator*(float factor) const { return Vector(m_x * factor, m_y * factor); }

Vector Vector::operator/(float divisor) const { return Vector(m_x / divisor, m_y / divisor); }

Vector& Vector::operator-=(const Vector& other) {
    m_x -= other.m_x;
    m_y -= other.m_y;
    return *this;
}

Vector& Vector::operator*=(float factor) {
    scale(factor);
    return *this;
}

Vector& Vector::operator/=(float divisor) {
    m_x /= divisor;
    m_y /= divisor;
    return *this;
}

Vector operator*(float factor, const Vector& vector) { return vector * factor; }

bool Vector::operator==(const Vector& other) const { return m_x == other.m_x && m_y == other.m_y; }

bool Vector::operator!=(const Vector& other) const { return !(*this == other); }

std::string Vector::toString() const { return "(" + vt::toString(m_x) + "," + vt::toString(m_y) + ")"; }

int Vector::serialize(std::ostream& stream) const {
    stream.write(reinterpret_cast<const char*>(&m_x), sizeof(m_x));
    stream.write(reinterpret_cast<const char*>(&m_y), sizeof(m_y));
    return checkStream("Vector::serialize()", stream);
}

int Vector::deserialize(std::istream& stream) {
    stream.read(reinterpret_cast<char*>(&m_x), sizeof(m_x));
    stream.read(reinterpret_cast<char*>(&m_y), sizeof(m_y));
    return checkStream("Vector::deserialize()", stream);
}

} // namespace vt
