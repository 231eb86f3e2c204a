#include <memory>
#include <string>
#include <vector>

#include "paths/PathScene.h"
#include "support/EngineTest.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"

namespace vt {
namespace {

using test::countLines;
using test::placeWall;
using test::placeWalls;
using test::runSearch;
using Cell = PathFind::Cell;

class PathFindTest : public test::EngineTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(startEngine(), 0);
        ASSERT_EQ(WorldManager::getInstance().getBoundary().getHorizontal(), 80.0f);
        ASSERT_EQ(WorldManager::getInstance().getBoundary().getVertical(), 24.0f);
        p_walker = new Object;
        p_walker->setType("Walker");
        p_walker->setSolidness(SPECTRAL);
    }

    Object* p_walker = nullptr;
};

std::string waypoints(const Path& path) { return path.toString(); }

TEST_F(PathFindTest, StartOnGoalIsFoundAtOnce) {
    PathFind search(p_walker, Cell{7, 3}, Cell{7, 3});
    EXPECT_EQ(search.getColumns(), 80);
    EXPECT_EQ(search.getRows(), 24);
    EXPECT_EQ(search.cycleOnce(), PathFind::FOUND);
    EXPECT_EQ(waypoints(search.getPath()), "(7,3)|");
    EXPECT_EQ(search.getPath().getIndex(), 0);
    // A finished search repeats its result without searching on.
    EXPECT_EQ(search.cycleOnce(), PathFind::FOUND);
    EXPECT_EQ(search.getClosed().size(), 1u);
}

TEST_F(PathFindTest, OpenGroundGivesTheStraightRoute) {
    PathFind search(p_walker, Cell{2, 2}, Cell{6, 2});
    EXPECT_EQ(search.getPath().getCount(), 0);
    EXPECT_EQ(runSearch(search), PathFind::FOUND);
    EXPECT_EQ(waypoints(search.getPath()), "(2,2)|(3,2)|(4,2)|(5,2)|(6,2)|");
    // Guided by the estimate, only the cells on the line are expanded.
    EXPECT_EQ(search.getClosed().size(), 5u);
}

TEST_F(PathFindTest, RouteGoesAroundAWall) {
    test::placeShortWall();
    PathFind search(p_walker, Cell{3, 2}, Cell{8, 2});
    ASSERT_EQ(runSearch(search), PathFind::FOUND);
    const Path path = search.getPath();
    EXPECT_EQ(path.getCurrent(), Vector(3, 2));
    for (Path rest = path; !rest.isDone(); rest.advance()) {
        const Vector cell = rest.getCurrent();
        EXPECT_FALSE(cell.getX() == 5 && cell.getY() >= 1 && cell.getY() <= 3) << path.toString();
    }
    EXPECT_EQ(path.getCount(), 6) << path.toString();
}

TEST_F(PathFindTest, WalledInGoalFailsOnceEverythingIsTried) {
    placeWalls(
        {
            "###",
            "#.#",
            "###",
        },
        9);
    // The goal (1, 10) sits inside; no wall's box holds it.
    PathFind search(p_walker, Cell{40, 20}, Cell{1, 10});
    EXPECT_EQ(runSearch(search), PathFind::FAILED);
    EXPECT_TRUE(search.getOpen().empty());
    EXPECT_EQ(search.getClosed().size(), 80u * 24u - 9u);
    EXPECT_EQ(search.getPath().getCount(), 0);
    EXPECT_FALSE(search.isFound());
}

TEST_F(PathFindTest, HardObjectOnTheGoalDoesNotBlockIt) {
    placeWall(10, 5);
    placeWall(11, 5);
    PathFind search(p_walker, Cell{5, 5}, Cell{10, 5});
    ASSERT_EQ(runSearch(search), PathFind::FOUND);
    EXPECT_EQ(waypoints(search.getPath()), "(5,5)|(6,5)|(7,5)|(8,5)|(9,5)|(10,5)|");

    // The wall beside the goal does block.
    PathFind beyond(p_walker, Cell{5, 5}, Cell{11, 5});
    ASSERT_EQ(runSearch(beyond), PathFind::FOUND);
    EXPECT_EQ(beyond.getPath().getCount(), 7) << beyond.getPath().toString();
    Path path = beyond.getPath();
    for (; !path.isDone(); path.advance())
        EXPECT_NE(path.getCurrent(), Vector(10, 5));
}

TEST_F(PathFindTest, NoSqueezingBetweenDiagonallyTouchingWalls) {
    placeWall(6, 5);
    PathFind one_side(p_walker, Cell{5, 5}, Cell{6, 4});
    ASSERT_EQ(runSearch(one_side), PathFind::FOUND);
    EXPECT_EQ(waypoints(one_side.getPath()), "(5,5)|(6,4)|");

    placeWall(5, 4);
    PathFind both_sides(p_walker, Cell{5, 5}, Cell{6, 4});
    ASSERT_EQ(runSearch(both_sides), PathFind::FOUND);
    const Path path = both_sides.getPath();
    EXPECT_GT(path.getCount(), 2) << path.toString();
    Path walk = path;
    Vector previous = walk.getCurrent();
    for (walk.advance(); !walk.isDone(); walk.advance()) {
        const Vector cell = walk.getCurrent();
        const bool squeeze = (previous == Vector(5, 5) && cell == Vector(6, 4)) ||
                             (previous == Vector(6, 4) && cell == Vector(5, 5));
        EXPECT_FALSE(squeeze) << path.toString();
        previous = cell;
    }
}

TEST_F(PathFindTest, EqualEstimatesFavourTheLatestDiscovery) {
    // From (5, 5) toward (7, 6), the neighbours (6, 5) and (6, 6) have the
    // same f = 1 + sqrt(2); (6, 6) is discovered later and goes first.
    PathFind search(p_walker, Cell{5, 5}, Cell{7, 6});
    EXPECT_EQ(search.cycleOnce(), PathFind::SEARCHING);
    ASSERT_EQ(search.getOpen().size(), 8u);
    EXPECT_EQ(search.getOpen()[4], (Cell{6, 5}));
    EXPECT_EQ(search.getOpen()[7], (Cell{6, 6}));
    EXPECT_EQ(search.cycleOnce(), PathFind::SEARCHING);
    EXPECT_EQ(search.getClosed()[1], (Cell{6, 6}));
    EXPECT_EQ(runSearch(search), PathFind::FOUND);
    EXPECT_EQ(waypoints(search.getPath()), "(5,5)|(6,6)|(7,6)|");
}

TEST_F(PathFindTest, TouchingTheTargetEndsTheSearch) {
    Object* p_target = placeWall(10, 5);
    p_target->setBox(Box(Vector(-1.5f, -1.5f), 3, 3));
    PathFind search(p_walker, Cell{4, 5}, Cell{10, 5}, p_target);
    ASSERT_EQ(runSearch(search), PathFind::FOUND);
    // The walker's box at (9, 5) reaches x = 8.5, the target's left edge.
    EXPECT_EQ(search.getGoal(), (Cell{9, 5}));
    EXPECT_EQ(waypoints(search.getPath()), "(4,5)|(5,5)|(6,5)|(7,5)|(8,5)|(9,5)|");

    // Already touching at the start: a path of the start alone.
    PathFind near(p_walker, Cell{9, 6}, Cell{10, 5}, p_target);
    EXPECT_EQ(near.cycleOnce(), PathFind::FOUND);
    EXPECT_EQ(waypoints(near.getPath()), "(9,6)|");
}

TEST_F(PathFindTest, TargetDestroyedDuringTheSearchIsNeverReadAgain) {
    Object* p_target = placeWall(30, 5);
    p_target->setBox(Box(Vector(-1.5f, -1.5f), 3, 3));
    PathFind search(p_walker, Cell{4, 5}, Cell{30, 5}, p_target);
    EXPECT_EQ(search.cycleOnce(), PathFind::SEARCHING);
    WorldManager::getInstance().markForDelete(p_target);
    WorldManager::getInstance().update();
    ASSERT_EQ(runSearch(search), PathFind::FOUND);
    EXPECT_EQ(search.getGoal(), (Cell{29, 5}));
}

TEST_F(PathFindTest, NoNodeGraphOrStartOutsideTheWorldFails) {
    PathFind outside(p_walker, Cell{80, 3}, Cell{2, 2});
    EXPECT_EQ(outside.cycleOnce(), PathFind::FAILED);
    EXPECT_EQ(outside.getPath().getCount(), 0);

    WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 0, 0));
    PathFind no_graph(p_walker, Cell{0, 0}, Cell{2, 2});
    EXPECT_EQ(no_graph.getRows(), 0);
    EXPECT_EQ(no_graph.cycleOnce(), PathFind::FAILED);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "PathFind::cycleOnce(): node graph not allocated.  Cannot find path."), 1);
}

TEST_F(PathFindTest, GoalOutsideTheWorldOrWhereTheWalkerCannotStandFailsAtOnce) {
    for (const Cell goal : {Cell{80, 3}, Cell{-1, 3}, Cell{5, 24}, Cell{5, -1}}) {
        PathFind search(p_walker, Cell{2, 2}, goal);
        EXPECT_EQ(search.cycleOnce(), PathFind::FAILED) << goal.x << "," << goal.y;
        EXPECT_TRUE(search.getClosed().empty());
    }
    EXPECT_EQ(countLines(logText(), "PathFind::cycleOnce(): Error! Goal (80,3) is not a cell of the world."),
              1);

    // Three cells wide, the walker would meet the wall at (11, 5) on the goal.
    p_walker->setBox(Box(Vector(-1.5f, -1.5f), 3, 3));
    placeWall(11, 5);
    PathFind beside_wall(p_walker, Cell{2, 5}, Cell{10, 5});
    EXPECT_EQ(beside_wall.cycleOnce(), PathFind::FAILED);
    EXPECT_TRUE(beside_wall.getClosed().empty());
    // Where its box clears the wall it can stand, and the search goes there.
    PathFind clear_of_wall(p_walker, Cell{2, 5}, Cell{8, 5});
    ASSERT_EQ(runSearch(clear_of_wall), PathFind::FOUND);
    EXPECT_EQ(clear_of_wall.getPath().getCount(), 7);
}

TEST_F(PathFindTest, MemoryFollowsTheCellsSearchedNotTheWorld) {
    WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 2000, 2000));
    const long before = test::residentKilobytes();
    ASSERT_GT(before, 0);
    std::vector<std::unique_ptr<PathFind>> searches;
    for (int i = 0; i < 5; i++) {
        searches.push_back(
            std::make_unique<PathFind>(p_walker, Cell{10, 10 + 3 * i}, Cell{1990, 10 + 3 * i}));
        ASSERT_EQ(runSearch(*searches.back()), PathFind::FOUND);
        EXPECT_EQ(searches.back()->getPath().getCount(), 1981);
    }
    // A node for each of the four million cells would take tens of MB per search.
    EXPECT_LT(test::residentKilobytes() - before, 16 * 1024);
}

TEST_F(PathFindTest, SolidTilesBlockOnlySearchesThatAvoidThem) {
    // A wall of solid cells down column 5, open below row 20.
    auto p_map = std::make_unique<TileMap>(80, 24);
    Tile wall;
    wall.solid = true;
    p_map->fill(5, 0, 1, 21, wall);
    WorldManager::getInstance().setTileMap(std::move(p_map));

    PathFind through(p_walker, Cell{3, 2}, Cell{8, 2});
    ASSERT_EQ(runSearch(through), PathFind::FOUND);
    EXPECT_EQ(waypoints(through.getPath()), "(3,2)|(4,2)|(5,2)|(6,2)|(7,2)|(8,2)|");

    PathFind around(p_walker, Cell{3, 2}, Cell{8, 2});
    around.setAvoidsSolidTiles(true);
    ASSERT_EQ(runSearch(around), PathFind::FOUND);
    const Path path = around.getPath();
    bool passed_below = false;
    for (Path rest = path; !rest.isDone(); rest.advance()) {
        const Vector cell = rest.getCurrent();
        EXPECT_FALSE(cell.getX() == 5 && cell.getY() <= 20) << path.toString();
        passed_below = passed_below || (cell.getX() == 5 && cell.getY() == 21);
    }
    EXPECT_TRUE(passed_below) << path.toString();

    // A goal on a solid cell cannot be reached; the path manager hands the option on.
    PathFind onto_wall(p_walker, Cell{3, 2}, Cell{5, 2});
    onto_wall.setAvoidsSolidTiles(true);
    EXPECT_EQ(runSearch(onto_wall), PathFind::FAILED);
    PathManager::getInstance().setAvoidsSolidTiles(true);
    ASSERT_EQ(PathManager::getInstance().findPath(p_walker, Vector(3, 2), Vector(8, 2)), 0);
    EXPECT_TRUE(p_walker->getPathSearch()->getAvoidsSolidTiles());
}

} // namespace
} // namespace vt
