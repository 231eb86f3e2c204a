#include "vintrel/paths/PathManager.h"

#include <algorithm>

namespace vt {

PathManager::PathManager() { setType("PathManager"); }

PathManager::~PathManager() = default;

PathManager& PathManager::getInstance() {
    static PathManager path_manager;
    return path_manager;
}

int PathManager::startUp() { return Manager::startUp(); }

void PathManager::shutDown() { Manager::shutDown(); }

int PathManager::addSearch(PathFind* p_search) {
    if (!p_search)
        return -1;
    m_requests.push_back(p_search);
    return 0;
}

int PathManager::removeSearch(PathFind* p_search) {
    if (!p_search || std::find(m_requests.begin(), m_requests.end(), p_search) == m_requests.end())
        return -1;
    m_requests.erase(std::remove(m_requests.begin(), m_requests.end(), p_search), m_requests.end());
    return 0;
}

void PathManager::cycle(int) {}

} // namespace vt
