#pragma once

#include <vector>

#include "vintrel/core/Manager.h"
#include "vintrel/world/Vector.h"

namespace vt {

class Object;
class PathFind;

/// Runs the path searches in progress in the time left in each step, one
/// expansion per search per pass, and hands each result to its object as an
/// EventPath ("vt-path").
class PathManager : public Manager {
  public:
    /// The one path manager, made on first use.
    static PathManager& getInstance();
    ~PathManager() override;
    /// Takes the least time per step (cycle_time) from the frame time; 0 or -1.
    int startUp() override;
    void shutDown() override;

    /// Starts a search from start to goal (spaces, rounded to cells), owned by the
    /// object; the result arrives as an EventPath (see README "Paths"). 0 or -1.
    int findPath(Object* p_object, const Vector& start, const Vector& goal, Object* p_target = nullptr);
    /// findPath from the object's current position.
    int findPath(Object* p_object, const Vector& goal, Object* p_target = nullptr);

    /// Appends a search (not owned). Its object must own it (setPathSearch),
    /// so that the search leaves this list when the object is destroyed. 0 or -1.
    int addSearch(PathFind* p_search);
    /// Removes every entry of the search; -1 for null or a search not held.
    int removeSearch(PathFind* p_search);
    /// Advances the searches for the larger of cycle_time and `remaining`
    /// milliseconds, delivering finished ones to their objects.
    void cycle(int remaining);

    /// Least milliseconds given to the searches in each step.
    [[nodiscard]] int getCycleTime() const { return m_cycle_time; }
    /// Number of searches in progress.
    [[nodiscard]] int getSearchCount() const { return static_cast<int>(m_requests.size()); }

  private:
    PathManager();
    // In order of addition; each search belongs to its object.
    std::vector<PathFind*> m_requests;
    // Milliseconds.
    int m_cycle_time;
};

} // namespace vt
