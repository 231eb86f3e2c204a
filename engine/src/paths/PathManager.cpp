#include "vintrel/paths/PathManager.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/LoopState.h"
#include "vintrel/core/Clock.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/paths/EventPath.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/world/Object.h"

namespace vt {

namespace {

// Goals further out than this cannot be meant; they would only make the
// estimate meaningless.
constexpr float FARTHEST_CELL = 1.0e8f;

// Steps of under 10 ms (or of no length, frame_time 0) leave a tenth of
// nothing; searches then still get this many milliseconds per step.
constexpr int MIN_CYCLE_TIME = 1;

// The cell a position lies in (cells are centred on whole coordinates); false
// for positions that are not numbers or absurdly far out.
bool toCell(const Vector& position, PathFind::Cell& cell) {
    const float x = std::floor(position.getX() + 0.5f);
    const float y = std::floor(position.getY() + 0.5f);
    if (!(std::fabs(x) <= FARTHEST_CELL && std::fabs(y) <= FARTHEST_CELL))
        return false;
    cell = PathFind::Cell{static_cast<int>(x), static_cast<int>(y)};
    return true;
}

} // namespace

PathManager::PathManager()
    : m_requests(), m_cycle_time(0), m_max_searches(MAX_SEARCHES), m_cell_budget(CELL_BUDGET),
      m_search_cell_limit(PathFind::MAX_CELLS), m_avoids_solid_tiles(false) {
    setType("PathManager");
}

PathManager::~PathManager() = default;

void PathManager::restoreDefaults() {
    m_max_searches = MAX_SEARCHES;
    m_cell_budget = CELL_BUDGET;
    m_search_cell_limit = PathFind::MAX_CELLS;
    m_avoids_solid_tiles = false;
}

PathManager& PathManager::getInstance() {
    static PathManager path_manager;
    return path_manager;
}

int PathManager::startUp() {
    if (refuseSecondStart())
        return -1;
    m_cycle_time = std::max(MIN_CYCLE_TIME, LoopState::getInstance().getFrameTime() / 10);
    Manager::startUp();
    LogManager::getInstance().writeLog(5, "PathManager::startUp(): successfully started.");
    return 0;
}

void PathManager::shutDown() {
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "PathManager::shutDown(): successfully stopped.");
}

int PathManager::findPath(Object* p_object, const Vector& start, const Vector& goal, Object* p_target) {
    LogManager& log_manager = LogManager::getInstance();
    if (!isStarted()) {
        log_manager.writeLog("PathManager::findPath(): Error! PathManager not started.");
        return -1;
    }
    if (!p_object) {
        log_manager.writeLog("PathManager::findPath(): Error! Object is NULL.");
        return -1;
    }
    PathFind::Cell start_cell{0, 0};
    PathFind::Cell goal_cell{0, 0};
    if (!toCell(start, start_cell) || !toCell(goal, goal_cell)) {
        log_manager.writeLog("PathManager::findPath(): Error! Start %s or goal %s is no cell.",
                             start.toString().c_str(), goal.toString().c_str());
        return -1;
    }
    auto p_search = std::make_unique<PathFind>(p_object, start_cell, goal_cell, p_target);
    p_search->setAvoidsSolidTiles(m_avoids_solid_tiles);
    const auto outside = [&p_search](PathFind::Cell cell) {
        return cell.x < 0 || cell.x >= p_search->getColumns() || cell.y < 0 || cell.y >= p_search->getRows();
    };
    if (outside(start_cell)) {
        log_manager.writeLog("PathManager::findPath(): Error! Start %s is outside the world.",
                             start.toString().c_str());
        return -1;
    }
    if (outside(goal_cell)) {
        log_manager.writeLog("PathManager::findPath(): Error! Goal %s is outside the world.",
                             goal.toString().c_str());
        return -1;
    }
    // The object's pending search gives way to this one, so it counts for nothing.
    PathFind* p_pending = p_object->getPathSearch();
    const bool pending = std::find(m_requests.begin(), m_requests.end(), p_pending) != m_requests.end();
    const int others = getSearchCount() - (pending ? 1 : 0);
    if (others >= m_max_searches) {
        log_manager.writeLog("PathManager::findPath(): Error! %d searches in progress, the most allowed.",
                             others);
        return -1;
    }
    PathFind* p_added = p_search.release();
    p_object->setPathSearch(p_added);
    return addSearch(p_added);
}

int PathManager::findPath(Object* p_object, const Vector& goal, Object* p_target) {
    if (!p_object) {
        LogManager::getInstance().writeLog("PathManager::findPath(): Error! Object is NULL.");
        return -1;
    }
    return findPath(p_object, p_object->getPosition(), goal, p_target);
}

int PathManager::addSearch(PathFind* p_search) {
    if (!p_search || !p_search->getObject()) {
        LogManager::getInstance().writeLog("PathManager::addSearch(): Error! Search or its object is NULL.");
        return -1;
    }
    if (getSearchCount() >= m_max_searches) {
        LogManager::getInstance().writeLog(
            "PathManager::addSearch(): Error! %d searches in progress, the most allowed.", getSearchCount());
        return -1;
    }
    m_requests.push_back(p_search);
    return 0;
}

std::size_t PathManager::getCellsInUse() const {
    std::size_t cells = 0;
    for (const PathFind* p_search : m_requests)
        cells += p_search->getCellCount();
    return cells;
}

void PathManager::setMaxSearches(int max_searches) { m_max_searches = std::max(1, max_searches); }

PathManager::BudgetState PathManager::budgetState() const {
    BudgetState state{0, nullptr};
    std::size_t most = 0;
    for (const PathFind* p_search : m_requests) {
        state.in_use += p_search->getCellCount();
        const std::size_t expanded = p_search->getClosed().size();
        if (!p_search->isFinished() && (!state.p_busiest || expanded > most)) {
            state.p_busiest = p_search;
            most = expanded;
        }
    }
    return state;
}

int PathManager::expandWithinBudget(PathFind* p_search, BudgetState& budget) const {
    const std::size_t held = p_search->getCellCount();
    const std::size_t spare = budget.in_use < m_cell_budget ? m_cell_budget - budget.in_use : 0;
    if (spare >= PathFind::MAX_CELLS_PER_EXPANSION)
        p_search->setCellLimit(std::min(m_search_cell_limit, held + spare));
    else if (p_search == budget.p_busiest)
        p_search->setCellLimit(held);
    else if (!p_search->isFinished())
        return PathFind::SEARCHING;
    const int result = p_search->cycleOnce();
    budget.in_use += p_search->getCellCount() - held;
    // One search gives way per pass; its cells are free by the next.
    if (p_search == budget.p_busiest && result != PathFind::SEARCHING)
        budget.p_busiest = nullptr;
    return result;
}

int PathManager::removeSearch(PathFind* p_search) {
    if (!p_search || std::find(m_requests.begin(), m_requests.end(), p_search) == m_requests.end()) {
        LogManager::getInstance().writeLog(5, "PathManager::removeSearch(): Search %p not in progress.",
                                           static_cast<void*>(p_search));
        return -1;
    }
    m_requests.erase(std::remove(m_requests.begin(), m_requests.end(), p_search), m_requests.end());
    return 0;
}

void PathManager::cycle(int remaining) {
    const int budget = std::max(m_cycle_time, remaining);
    const Clock clock;
    int elapsed = 0;
    while (!m_requests.empty() && elapsed < budget) {
        // Cells of searches delivered during a pass still count until the next.
        BudgetState budget_state = budgetState();
        // A finished search leaves the list inside its object's handler, so
        // the one moving into its slot waits for the next pass.
        for (std::size_t i = 0; i < m_requests.size(); i++) {
            PathFind* p_search = m_requests[i];
            const int result = expandWithinBudget(p_search, budget_state);
            if (result == PathFind::FAILED || result == PathFind::FOUND) {
                const EventPath event(result, p_search->getPath());
                p_search->getObject()->eventHandler(&event);
            }
            elapsed = clock.split() / 1000;
            if (elapsed > budget)
                break;
        }
    }
    if (elapsed > budget)
        LogManager::getInstance().writeLog(5, "PathManager::cycle(): cycle time %d exceeded.", budget);
}

void PathManager::cycleExpansions(int expansions) {
    int done = 0;
    while (!m_requests.empty() && done < expansions) {
        for (std::size_t i = 0; i < m_requests.size() && done < expansions; i++, done++) {
            PathFind* p_search = m_requests[i];
            const int result = p_search->cycleOnce();
            if (result == PathFind::FAILED || result == PathFind::FOUND) {
                const EventPath event(result, p_search->getPath());
                p_search->getObject()->eventHandler(&event);
            }
        }
    }
}

} // namespace vt
