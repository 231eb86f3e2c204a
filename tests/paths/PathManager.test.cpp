#include <cstdint>
#include <string>
#include <vector>

#include "paths/PathScene.h"
#include "platform/SystemClock.h"
#include "support/EngineTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/paths/EventPath.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/WorldManager.h"

namespace vt {
namespace {

using test::countLines;
using Cell = PathFind::Cell;

// A clock that moves on by a fixed tick each time it is read.
std::int32_t g_now = 0;
std::int32_t g_tick = 10;
std::int32_t tickingClock() {
    g_now += g_tick;
    return g_now;
}

/// Records the path events it gets, then hands them to the base handling
/// unless told to keep the search.
class Recorder : public Object {
  public:
    struct Seen {
        int status;
        int watched_closed; // expansions of the watched object's search by then
    };

    int eventHandler(const Event* p_event) override {
        if (p_event->getType() != EVENT_PATH)
            return 0;
        const auto* p_path_event = dynamic_cast<const EventPath*>(p_event);
        const PathFind* p_watched = p_watch ? p_watch->getPathSearch() : nullptr;
        seen.push_back(Seen{p_path_event->getStatus(),
                            p_watched ? static_cast<int>(p_watched->getClosed().size()) : -1});
        if (log)
            log->push_back(getType());
        return keep_search ? 1 : Object::eventHandler(p_event);
    }

    std::vector<Seen> seen;
    Object* p_watch = nullptr;
    std::vector<std::string>* log = nullptr;
    bool keep_search = false;
};

class PathManagerTest : public test::EngineTest {
  protected:
    void TearDown() override { platform::overrideTime(nullptr, nullptr); }

    void startWithTickingClock(std::int32_t tick) {
        ASSERT_EQ(startEngine(), 0);
        g_now = 0;
        g_tick = tick;
        platform::overrideTime(tickingClock, nullptr);
    }

    /// A goal walled in, which a search tries every other cell for.
    static Vector unreachableGoal() {
        const Cell goal = test::wallInCell();
        return Vector(static_cast<float>(goal.x), static_cast<float>(goal.y));
    }

    PathManager& paths = PathManager::getInstance();
};

TEST_F(PathManagerTest, CycleTimeIsATenthOfTheFrameTime) {
    ASSERT_EQ(startEngine(test::headlessConfig() + "frame_time:47,\n"), 0);
    EXPECT_TRUE(paths.isStarted());
    EXPECT_EQ(paths.getCycleTime(), 4);
    EXPECT_EQ(paths.startUp(), -1);
    EXPECT_EQ(countLines(logText(), "PathManager::startup(): Warning! PathManager already started."), 1);
}

TEST_F(PathManagerTest, StepsTooShortForATenthStillGiveSearchesAMillisecond) {
    for (const char* frame_time : {"0", "9"}) {
        SCOPED_TRACE(frame_time);
        ASSERT_EQ(startEngine(test::headlessConfig() + "frame_time:" + frame_time + ",\n"), 0);
        EXPECT_EQ(paths.getCycleTime(), 1);
        stopEngine();
    }
}

TEST_F(PathManagerTest, NothingToDoReturnsAtOnceAndSilently) {
    startWithTickingClock(10);
    LogManager::getInstance().setLogLevel(30);
    const std::string before = logText();
    const std::int32_t reads_before = g_now;
    paths.cycle(30);
    EXPECT_EQ(logText(), before);
    EXPECT_LE(g_now - reads_before, 10);
}

TEST_F(PathManagerTest, SearchOfAThousandExpansionsTakesFourSteps) {
    startWithTickingClock(10);
    // A wall down column 40 with the goal beyond it: each of the 40 x 25
    // cells on this side is expanded once.
    WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 42, 25));
    for (int y = 0; y < 25; y++)
        test::placeWall(40, y);
    auto* p_walker = new Recorder;
    ASSERT_EQ(paths.findPath(p_walker, Vector(0, 0), Vector(41, 12)), 0);
    ASSERT_EQ(paths.getCycleTime(), 3);

    // At 10 us per expansion, 3 ms hold 300 of them.
    const int budgets[] = {3, 0, -7};
    int expected = 0;
    for (int budget : budgets) {
        paths.cycle(budget);
        expected += 300;
        ASSERT_NE(p_walker->getPathSearch(), nullptr);
        EXPECT_EQ(p_walker->getPathSearch()->getClosed().size(), static_cast<std::size_t>(expected));
        EXPECT_TRUE(p_walker->seen.empty());
    }
    paths.cycle(3);
    ASSERT_EQ(p_walker->seen.size(), 1u);
    EXPECT_EQ(p_walker->seen[0].status, EventPath::NO_PATH);
    EXPECT_EQ(p_walker->getPathSearch(), nullptr);
    EXPECT_EQ(paths.getSearchCount(), 0);
    EXPECT_FALSE(p_walker->getFollowPath());
}

TEST_F(PathManagerTest, LargerRemainingTimeWidensTheBudget) {
    startWithTickingClock(10);
    auto* p_walker = new Recorder;
    ASSERT_EQ(paths.findPath(p_walker, Vector(0, 0), unreachableGoal()), 0);
    paths.cycle(5);
    EXPECT_EQ(p_walker->getPathSearch()->getClosed().size(), 500u);
}

TEST_F(PathManagerTest, OverrunIsLoggedWithTheBudget) {
    startWithTickingClock(5000);
    LogManager::getInstance().setLogLevel(5);
    auto* p_walker = new Recorder;
    ASSERT_EQ(paths.findPath(p_walker, Vector(0, 0), unreachableGoal()), 0);
    paths.cycle(-1);
    EXPECT_EQ(p_walker->getPathSearch()->getClosed().size(), 1u);
    EXPECT_EQ(countLines(logText(), "PathManager::cycle(): cycle time 3 exceeded."), 1);
}

TEST_F(PathManagerTest, SearchMovingIntoAFinishedOnesSlotWaitsAPass) {
    startWithTickingClock(10);
    std::vector<std::string> order;
    auto* p_first = new Recorder;
    auto* p_second = new Recorder;
    auto* p_long = new Recorder;
    p_first->setType("first");
    p_second->setType("second");
    p_first->log = &order;
    p_second->log = &order;
    p_first->p_watch = p_long;
    p_second->p_watch = p_long;
    ASSERT_EQ(paths.findPath(p_first, Vector(3, 3), Vector(3, 3)), 0);
    ASSERT_EQ(paths.findPath(p_second, Vector(4, 4), Vector(4, 4)), 0);
    ASSERT_EQ(paths.findPath(p_long, Vector(0, 0), unreachableGoal()), 0);
    ASSERT_EQ(paths.getSearchCount(), 3);

    paths.cycle(3);
    ASSERT_EQ(order, (std::vector<std::string>{"first", "second"}));
    // The first is reported before the long search was touched; the second
    // slid into slot 0 and waited while the long search took its first step.
    EXPECT_EQ(p_first->seen[0].status, EventPath::FOUND);
    EXPECT_EQ(p_first->seen[0].watched_closed, 0);
    EXPECT_EQ(p_second->seen[0].watched_closed, 1);
    EXPECT_EQ(p_first->getPath().toString(), "(3,3)|");
    EXPECT_EQ(paths.getSearchCount(), 1);
}

TEST_F(PathManagerTest, SearchKeptByItsObjectIsReportedEveryPassWithoutGrowing) {
    startWithTickingClock(10);
    auto* p_stubborn = new Recorder;
    p_stubborn->keep_search = true;
    ASSERT_EQ(paths.findPath(p_stubborn, Vector(5, 5), Vector(5, 5)), 0);
    paths.cycle(3);
    EXPECT_EQ(p_stubborn->seen.size(), 300u);
    ASSERT_NE(p_stubborn->getPathSearch(), nullptr);
    EXPECT_EQ(p_stubborn->getPathSearch()->getClosed().size(), 1u);
    EXPECT_EQ(paths.getSearchCount(), 1);
}

TEST_F(PathManagerTest, FindPathRefusesWhatCannotBeSearched) {
    auto* p_early = new Object;
    EXPECT_EQ(paths.findPath(p_early, Vector(1, 1)), -1);
    delete p_early;

    ASSERT_EQ(startEngine(), 0);
    auto* p_walker = new Object;
    EXPECT_EQ(paths.findPath(nullptr, Vector(1, 1)), -1);
    EXPECT_EQ(paths.findPath(p_walker, Vector(80, 3), Vector(1, 1)), -1);
    EXPECT_EQ(paths.findPath(p_walker, Vector(-0.6f, 3), Vector(1, 1)), -1);
    EXPECT_EQ(paths.findPath(p_walker, Vector(1, 1), Vector(1e30f, 1)), -1);
    // A goal outside the world could only be looked for in every cell.
    EXPECT_EQ(paths.findPath(p_walker, Vector(1, 1), Vector(80, 3)), -1);
    EXPECT_EQ(paths.findPath(p_walker, Vector(1, 1), Vector(5, -0.6f)), -1);
    EXPECT_EQ(paths.getSearchCount(), 0);
    EXPECT_EQ(p_walker->getPathSearch(), nullptr);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "PathManager::findPath(): Error! Object is NULL."), 1);
    EXPECT_EQ(countLines(log, "PathManager::findPath(): Error! Start (80,3) is outside the world."), 1);
    EXPECT_EQ(countLines(log, "findPath(): Error! Start (1,1) or goal (1e+30,1) is no cell."), 1);
    EXPECT_EQ(countLines(log, "PathManager::findPath(): Error! Goal (80,3) is outside the world."), 1);
    EXPECT_EQ(countLines(log, "PathManager::findPath(): Error! Goal (5,-0.6) is outside the world."), 1);

    // Positions round to the nearest cell.
    p_walker->setPosition(Vector(2.4f, 6.5f));
    ASSERT_EQ(paths.findPath(p_walker, Vector(9.6f, 3)), 0);
    EXPECT_EQ(p_walker->getPathSearch()->getStart(), (Cell{2, 7}));
    EXPECT_EQ(p_walker->getPathSearch()->getGoal(), (Cell{10, 3}));
}

TEST_F(PathManagerTest, SearchesShareACellBudgetAndTheBusiestGivesWay) {
    startWithTickingClock(10);
    const Vector walled_in = unreachableGoal();
    // A flood of the whole world would keep 30 tiles of 64 cells.
    paths.setCellBudget(450);
    auto* p_first = new Recorder;
    auto* p_second = new Recorder;
    auto* p_near = new Recorder;
    ASSERT_EQ(paths.findPath(p_first, Vector(40, 20), walled_in), 0);
    ASSERT_EQ(paths.findPath(p_second, Vector(60, 20), walled_in), 0);
    ASSERT_EQ(paths.findPath(p_near, Vector(70, 2), Vector(75, 2)), 0);
    for (int step = 0; step < 100 && paths.getSearchCount() > 0; step++) {
        paths.cycle(3);
        EXPECT_LE(paths.getCellsInUse(), 450u) << "step " << step;
    }
    EXPECT_EQ(paths.getSearchCount(), 0);
    // While the budget was spent the short search waited, and each flood in
    // turn gave way as the one that had expanded the most.
    ASSERT_EQ(p_near->seen.size(), 1u);
    EXPECT_EQ(p_near->seen[0].status, EventPath::FOUND);
    EXPECT_EQ(p_near->getPath().getCount(), 6);
    for (const Recorder* p_flood : {p_first, p_second}) {
        ASSERT_EQ(p_flood->seen.size(), 1u);
        EXPECT_EQ(p_flood->seen[0].status, EventPath::NO_PATH);
    }
    EXPECT_EQ(countLines(logText(), "gave up at"), 2);

    // A search alone is held to its own limit, and one within it runs to its end.
    paths.setCellBudget(PathManager::CELL_BUDGET);
    paths.setSearchCellLimit(1000);
    ASSERT_EQ(paths.findPath(p_first, Vector(40, 20), walled_in), 0);
    ASSERT_EQ(paths.findPath(p_near, Vector(70, 2), Vector(75, 20)), 0);
    for (int step = 0; step < 100 && paths.getSearchCount() > 0; step++)
        paths.cycle(3);
    ASSERT_EQ(p_first->seen.size(), 2u);
    EXPECT_EQ(p_first->seen[1].status, EventPath::NO_PATH);
    ASSERT_EQ(p_near->seen.size(), 2u);
    EXPECT_EQ(p_near->seen[1].status, EventPath::FOUND);
    EXPECT_EQ(countLines(logText(), "gave up at"), 3);
}

TEST_F(PathManagerTest, SearchesBeyondTheMostAllowedAreRefused) {
    ASSERT_EQ(startEngine(), 0);
    paths.setMaxSearches(2);
    auto* p_first = new Object;
    auto* p_second = new Object;
    auto* p_third = new Object;
    ASSERT_EQ(paths.findPath(p_first, Vector(1, 1), Vector(30, 10)), 0);
    ASSERT_EQ(paths.findPath(p_second, Vector(2, 2), Vector(30, 10)), 0);
    EXPECT_EQ(paths.findPath(p_third, Vector(3, 3), Vector(30, 10)), -1);
    EXPECT_EQ(p_third->getPathSearch(), nullptr);
    PathFind extra(p_third, Cell{3, 3}, Cell{30, 10});
    EXPECT_EQ(paths.addSearch(&extra), -1);
    // Asking again replaces the object's own search, which takes no new slot.
    EXPECT_EQ(paths.findPath(p_first, Vector(1, 1), Vector(20, 10)), 0);
    EXPECT_EQ(paths.getSearchCount(), 2);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "PathManager::findPath(): Error! 2 searches in progress, the most allowed."),
              1);
    EXPECT_EQ(countLines(log, "PathManager::addSearch(): Error! 2 searches in progress, the most allowed."),
              1);
}

TEST_F(PathManagerTest, NewSearchReplacesThePendingOneAndDestructionDropsIt) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_walker = new Object;
    auto* p_other = new Object;
    ASSERT_EQ(paths.findPath(p_walker, Vector(1, 1), Vector(30, 10)), 0);
    ASSERT_EQ(paths.findPath(p_other, Vector(2, 2), Vector(30, 10), p_walker), 0);
    ASSERT_EQ(paths.findPath(p_walker, Vector(1, 1), Vector(20, 10)), 0);
    EXPECT_EQ(paths.getSearchCount(), 2);
    EXPECT_EQ(p_walker->getPathSearch()->getGoal(), (Cell{20, 10}));
    EXPECT_EQ(p_other->getPathSearch()->getTarget(), p_walker);

    PathFind* p_search = p_walker->getPathSearch();
    EXPECT_EQ(paths.removeSearch(nullptr), -1);
    EXPECT_EQ(paths.addSearch(p_search), 0);
    EXPECT_EQ(paths.getSearchCount(), 3);
    // Every entry of a search goes at once.
    EXPECT_EQ(paths.removeSearch(p_search), 0);
    EXPECT_EQ(paths.getSearchCount(), 1);
    EXPECT_EQ(paths.removeSearch(p_search), -1);

    WorldManager::getInstance().markForDelete(p_other);
    WorldManager::getInstance().update();
    EXPECT_EQ(paths.getSearchCount(), 0);
}

} // namespace
} // namespace vt
