#include "vintrel/paths/Path.h"

#include <cstdint>
#include <istream>
#include <ostream>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"

namespace vt {

namespace {

// Size of one waypoint in the binary form: two 32-bit floats.
constexpr std::uint64_t WAYPOINT_BYTES = 8;

// Bytes between the read position and the end of the stream, or -1 when the
// stream cannot tell (not seekable).
std::streamoff bytesLeft(std::istream& stream) {
    const std::streampos here = stream.tellg();
    if (here == std::streampos(-1))
        return -1;
    stream.seekg(0, std::ios::end);
    const std::streampos end = stream.tellg();
    stream.seekg(here);
    if (end == std::streampos(-1) || !stream)
        return -1;
    return end - here;
}

} // namespace

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

int Path::serialize(std::ostream& stream) const {
    const std::uint64_t count = m_waypoints.size();
    stream.write(reinterpret_cast<const char*>(&count), sizeof(count));
    for (const Vector& waypoint : m_waypoints)
        waypoint.serialize(stream);
    return checkStream("Path::serialize()", stream);
}

int Path::deserialize(std::istream& stream) {
    std::uint64_t count = 0;
    stream.read(reinterpret_cast<char*>(&count), sizeof(count));
    if (checkStream("Path::deserialize()", stream) == -1)
        return -1;
    // The count comes from outside: it must fit in what the stream still
    // holds before anything is allocated for it.
    const std::streamoff left = bytesLeft(stream);
    if (left >= 0 && count > static_cast<std::uint64_t>(left) / WAYPOINT_BYTES) {
        LogManager::getInstance().writeLog(
            "Path::deserialize(): Error! Node count %llu needs more than the %lld bytes left.",
            static_cast<unsigned long long>(count), static_cast<long long>(left));
        stream.setstate(std::ios::failbit);
        return -1;
    }
    std::vector<Vector> waypoints;
    if (left >= 0)
        waypoints.reserve(static_cast<std::size_t>(count));
    // Without a known length the list grows only with waypoints actually read.
    for (std::uint64_t i = 0; i < count; i++) {
        Vector waypoint;
        if (waypoint.deserialize(stream) == -1)
            return checkStream("Path::deserialize()", stream);
        waypoints.push_back(waypoint);
    }
    m_waypoints.swap(waypoints);
    return checkStream("Path::deserialize()", stream);
}

} // namespace vt
