#pragma once

#include <cstddef>
#include <vector>

#include "vintrel/core/Manager.h"
#include "vintrel/core/Vector.h"

namespace vt {

class Object;
class PathFind;

/// Runs the path searches in progress in the time left in each step, one
/// expansion per search per pass, and hands each result to its object as an
/// EventPath ("vt-path").
class PathManager : public Manager {
  public:
    /// Most searches in progress at once unless setMaxSearches says otherwise.
    static constexpr int MAX_SEARCHES = 1000;
    /// Most cells the searches in progress keep nodes for together unless
    /// setCellBudget says otherwise: some two million, about 60 MB.
    static constexpr std::size_t CELL_BUDGET = std::size_t{1} << 21;

    /// The one path manager, made on first use.
    static PathManager& getInstance();
    ~PathManager() override;
    /// Takes the least time per step (cycle_time) from the frame time: a
    /// tenth of it, and at least 1 ms, so that searches still advance in a
    /// loop of short steps or none (frame_time 0). 0 or -1.
    int startUp() override;
    void shutDown() override;

    /// Starts a search from start to goal (spaces, rounded to cells, both inside
    /// the world), owned by the object; the result arrives as an EventPath (see
    /// README "Paths"). -1 also while MAX_SEARCHES are in progress or their
    /// cells fill the budget. 0 or -1.
    int findPath(Object* p_object, const Vector& start, const Vector& goal, Object* p_target = nullptr);
    /// findPath from the object's current position.
    int findPath(Object* p_object, const Vector& goal, Object* p_target = nullptr);

    /// Appends a search (not owned). Its object must own it (setPathSearch),
    /// so that the search leaves this list when the object is destroyed. 0, or
    /// -1 for null or when the most searches are in progress.
    int addSearch(PathFind* p_search);
    /// Removes every entry of the search; -1 for null or a search not held.
    int removeSearch(PathFind* p_search);
    /// Advances the searches for the larger of cycle_time and `remaining`
    /// milliseconds, delivering finished ones to their objects. While the
    /// cell budget is spent, the search that has expanded the most cells
    /// gives up (no path, after a log line) and the others wait for its cells.
    void cycle(int remaining);
    /// Advances the searches by exactly `expansions` expansions in all (fewer
    /// when every search finishes), whatever the time: the same paths arrive
    /// at the same step on any machine.
    void cycleExpansions(int expansions);

    /// Least milliseconds given to the searches in each step.
    [[nodiscard]] int getCycleTime() const { return m_cycle_time; }
    /// Number of searches in progress.
    [[nodiscard]] int getSearchCount() const { return static_cast<int>(m_requests.size()); }
    /// Cells the searches in progress keep nodes for, together.
    [[nodiscard]] std::size_t getCellsInUse() const;

    /// Most searches in progress at once (at least 1).
    void setMaxSearches(int max_searches);
    /// Puts back the limits a fresh process starts with: MAX_SEARCHES,
    /// CELL_BUDGET and PathFind::MAX_CELLS, with searches that ignore tile maps.
    void restoreDefaults();
    /// Most searches in progress at once.
    [[nodiscard]] int getMaxSearches() const { return m_max_searches; }
    /// Most cells the searches in progress may keep nodes for, together.
    void setCellBudget(std::size_t max_cells) { m_cell_budget = max_cells; }
    /// Most cells the searches in progress may keep nodes for, together.
    [[nodiscard]] std::size_t getCellBudget() const { return m_cell_budget; }
    /// Most cells one search may keep nodes for (PathFind::MAX_CELLS unless
    /// set); a search that needs more gives up (no path, after a log line).
    void setSearchCellLimit(std::size_t max_cells) { m_search_cell_limit = max_cells; }
    /// Most cells one search may keep nodes for.
    [[nodiscard]] std::size_t getSearchCellLimit() const { return m_search_cell_limit; }
    /// With true, searches that findPath starts from now on go around the
    /// solid cells of the world's tile map (PathFind::setAvoidsSolidTiles).
    /// False by default.
    void setAvoidsSolidTiles(bool avoids) { m_avoids_solid_tiles = avoids; }
    /// Whether findPath's searches go around solid tiles.
    [[nodiscard]] bool getAvoidsSolidTiles() const { return m_avoids_solid_tiles; }

  private:
    PathManager();
    /// What a pass knows of the cell budget: cells held by all searches, and
    /// the unfinished search that has expanded the most cells, which gives
    /// way when the budget is spent.
    struct BudgetState {
        std::size_t in_use;
        const PathFind* p_busiest;
    };
    [[nodiscard]] BudgetState budgetState() const;
    /// One cycleOnce of the search within what the budget leaves, or SEARCHING
    /// without one while it waits for cells; `budget` follows its growth.
    int expandWithinBudget(PathFind* p_search, BudgetState& budget) const;

    // In order of addition; each search belongs to its object.
    std::vector<PathFind*> m_requests;
    // Milliseconds.
    int m_cycle_time;
    int m_max_searches;
    std::size_t m_cell_budget;
    std::size_t m_search_cell_limit;
    bool m_avoids_solid_tiles;
};

} // namespace vt
