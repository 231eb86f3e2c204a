#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "vintrel/core/Vector.h"

namespace vt {

/// Waypoints in world cells with a cursor on the one being walked to.
class Path {
  public:
    /// An empty path, its cursor at 0.
    Path();

    /// Appends a waypoint (a position in world cells).
    void addWaypoint(const Vector& waypoint);
    /// Number of waypoints.
    [[nodiscard]] int getCount() const { return static_cast<int>(m_waypoints.size()); }
    /// The cursor: the waypoint being walked to.
    [[nodiscard]] int getIndex() const { return m_index; }
    /// Moves the cursor to a waypoint index.
    void setIndex(int index) { m_index = index; }
    /// Moves the cursor to the next waypoint, never past the end; returns a copy.
    Path advance();
    /// True when the cursor is past the last waypoint.
    [[nodiscard]] bool isDone() const;
    /// The waypoint at the cursor, or (0, 0) past the end.
    [[nodiscard]] Vector getCurrent() const;
    /// "(x,y)|(x,y)|" for log lines.
    [[nodiscard]] std::string toString() const;

    /// Node count as 8-byte unsigned, then each node; the cursor is not written.
    int serialize(std::ostream& stream) const;
    /// Replaces the waypoints with those read; the cursor stays. A count larger
    /// than the bytes left is refused (-1) and the path is left as it was.
    int deserialize(std::istream& stream);

  private:
    std::vector<Vector> m_waypoints;
    int m_index;
};

} // namespace vt
