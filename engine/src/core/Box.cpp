#include "vintrel/core/Box.h"

#include <istream>
#include <ostream>

#include "vintrel/core/Text.h"

namespace vt {

Box::Box() : m_corner(), m_horizontal(0), m_vertical(0) {}

Box::Box(const Vector& corner, float horizontal, float vertical)
    : m_corner(corner), m_horizontal(horizontal), m_vertical(vertical) {}

bool Box::operator==(const Box& other) const {
    return m_corner == other.m_corner && m_horizontal == other.m_horizontal && m_vertical == other.m_vertical;
}

std::string Box::toString() const {
    return m_corner.toString() + " h: " + vt::toString(m_horizontal) + " v: " + vt::toString(m_vertical);
}

int Box::serialize(std::ostream& stream) const {
    m_corner.serialize(stream);
    stream.write(reinterpret_cast<const char*>(&m_horizontal), sizeof(m_horizontal));
    stream.write(reinterpret_cast<const char*>(&m_vertical), sizeof(m_vertical));
    return checkStream("Box::serialize()", stream);
}

int Box::deserialize(std::istream& stream) {
    m_corner.deserialize(stream);
    stream.read(reinterpret_cast<char*>(&m_horizontal), sizeof(m_horizontal));
    stream.read(reinterpret_cast<char*>(&m_vertical), sizeof(m_vertical));
    return checkStream("Box::deserialize()", stream);
}

} // namespace vt
