#pragma once

#include <vector>

#include "vintrel/core/Manager.h"

namespace vt {

class PathFind;

/// Runs path searches in the time left in each step.
class PathManager : public Manager {
public:
    static PathManager& getInstance();
    ~PathManager() override;
    int startUp() override;
    void shutDown() override;

    /// Appends a search (not owned); 0 or -1.
    int addSearch(PathFind* p_search);
    /// Removes every entry of the search; -1 for null or a search not held.
    int removeSearch(PathFind* p_search);
    /// Advances the searches for about `remaining` milliseconds.
    void cycle(int remaining);

private:
    PathManager();
    std::vector<PathFind*> m_requests;
};

} // namespace vt
