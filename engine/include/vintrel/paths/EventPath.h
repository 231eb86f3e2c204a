#pragma once

#include "vintrel/events/Event.h"
#include "vintrel/paths/Path.h"

namespace vt {

/// Result of a path search, delivered to the object the search was for.
class EventPath : public Event {
  public:
    /// Search results carried in `status`.
    static constexpr int NO_PATH = 0;
    static constexpr int SEARCHING = 1; ///< the search goes on (never sent)
    static constexpr int FOUND = 2;     ///< a path was found

    /// A "vt-path" event with status NO_PATH and an empty path.
    EventPath();
    /// A "vt-path" event with the search's result and, when FOUND, its path.
    explicit EventPath(int status, const Path& path = Path());

    /// NO_PATH or FOUND; SEARCHING is never sent.
    [[nodiscard]] int getStatus() const { return m_status; }
    /// Sets the result, NO_PATH or FOUND.
    void setStatus(int status) { m_status = status; }
    /// The path found; empty unless the status is FOUND.
    [[nodiscard]] Path getPath() const { return m_path; }
    /// Replaces the path carried.
    void setPath(const Path& path) { m_path = path; }

  private:
    int m_status;
    Path m_path;
};

} // namespace vt
