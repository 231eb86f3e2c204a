#include "vintrel/paths/Path.h"

#include <istream>
#include <ostream>

#include "vintrel/core/Utility.h"

namespace vt {

Path::Path() : m_waypoints(), m_index(0) {}

void Path::addWaypoint(const Vector& waypoint) { m_waypoints.push_back(waypoint); }

Path Path::advance() {
    if (m_index < getCount())
        m_index++;
    return *this;
}

bool Path::isDone() const { return m_index >= getCount(); }

Vector Path::getCurrent() const {
    if (m_index < 0 || m_index >= getCount())
        return Vector(0, 0);
    return m_waypoints[static_cast<std::size_t>(m_index)];
}

std::string Path::toString() const {
    std::string text;
    for (const Vector& waypoint : m_waypoints)
        text += waypoint.toString() + "|";
    return text;
}

int Path::serialize(std::ostream& stream) const { return checkStream("Path::serialize()", stream); }

int Path::deserialize(std::istream& stream) { return checkStream("Path::deserialize()", stream); }

} // namespace vt
