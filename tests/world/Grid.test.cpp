#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/EngineTest.h"
#include "support/WorldChecks.h"
#include "vintrel/world/Grid.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

using Cells = std::vector<Grid::Cell>;

class GridTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }

    const Grid& grid() { return WorldManager::getInstance().getSceneGraph().getGrid(); }

    Object* make(const Vector& position, Solidness solidness = HARD) {
        auto* p_o = new Object;
        p_o->setSolidness(solidness);
        p_o->setPosition(position);
        return p_o;
    }
};

TEST_F(GridTest, ColumnsAndRowsCoverTheBoundary) {
    EXPECT_EQ(grid().getNumCols(), 4);
    EXPECT_EQ(grid().getNumRows(), 3);
    EXPECT_EQ(grid().getCellWidth(), 20);
    EXPECT_EQ(grid().getCellHeight(), 8);
    WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 81, 24));
    EXPECT_EQ(grid().getNumCols(), 5);
    EXPECT_EQ(grid().getNumRows(), 3);
    WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 81, 24.5f));
    EXPECT_EQ(grid().getNumRows(), 4);
}

TEST_F(GridTest, CellsOfABoxAtTheBorders) {
    Object* p_o = make(Vector(1, 1));
    EXPECT_EQ(grid().cellsOf(p_o, Vector(1, 1)), (Cells{{0, 0}}));
    EXPECT_EQ(grid().cellsOf(p_o, Vector(0, 0)), (Cells{{-1, -1}, {0, 0}}));
    // A box that ends exactly on a cell border covers the next cell too.
    Object* p_unit = make(Vector(3, 3));
    p_unit->setBox(Box(Vector(-0.5f, -0.5f), 1, 1));
    EXPECT_EQ(grid().cellsOf(p_unit, Vector(19.5f, 7.5f)), (Cells{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(grid().cellsOf(p_unit, Vector(19.25f, 7.25f)), (Cells{{0, 0}}));
    // Reaching past the right and bottom edges of an 80 x 24 world.
    EXPECT_EQ(grid().cellsOf(p_o, Vector(79.6f, 23.6f)), (Cells{{-1, -1}, {3, 2}}));
    // Wholly outside: only the out-of-bounds cell.
    EXPECT_EQ(grid().cellsOf(p_o, Vector(200, 5)), (Cells{{-1, -1}}));
    EXPECT_EQ(grid().cellsOf(p_o, Vector(-200, -5)), (Cells{{-1, -1}}));
    // Not numbers, or far beyond any int, index nothing outside the grid.
    EXPECT_EQ(grid().cellsOf(p_o, Vector(std::nanf(""), 5)), (Cells{{-1, -1}}));
    EXPECT_EQ(grid().cellsOf(p_o, Vector(1e30f, -1e30f)), (Cells{{-1, -1}}));
    EXPECT_EQ(grid().cellsOf(p_o, Vector(INFINITY, 3)), (Cells{{-1, -1}}));

    // A box larger than the world covers every cell.
    p_o->setBox(Box(Vector(-1e20f, -1e20f), 2e20f, 2e20f));
    EXPECT_EQ(grid().cellsOf(p_o, Vector(5, 5)).size(), 13u);
    EXPECT_EQ(indexMismatch(p_o), "");
}

TEST_F(GridTest, StrangePositionsKeepTheIndexWhole) {
    Object* p_o = make(Vector(10, 10));
    Object* p_other = make(Vector(30, 10));
    for (const Vector& where : {Vector(std::nanf(""), 2), Vector(1e30f, 1e30f), Vector(-INFINITY, 5),
                                Vector(21, 9), Vector(std::nanf(""), std::nanf(""))}) {
        SCOPED_TRACE(where.toString());
        p_o->setPosition(where);
        EXPECT_EQ(indexMismatch(p_o), "");
        EXPECT_EQ(indexMismatch(p_other), "");
        (void)WorldManager::getInstance().getCollisions(p_other, where);
    }
    p_o->setPosition(Vector(30.5f, 10));
    EXPECT_EQ(WorldManager::getInstance().getCollisions(p_other, Vector(30, 10)).getCount(), 1);
}

TEST_F(GridTest, MovingWithinCellsChangesNoListAndAcrossMovesTheEntry) {
    Object* p_o = make(Vector(5, 3));
    ASSERT_EQ(grid().objectsInCell({0, 0}).getCount(), 1);
    p_o->setPosition(Vector(12, 6));
    EXPECT_EQ(grid().objectsInCell({0, 0}).getCount(), 1);
    EXPECT_EQ(grid().objectsInCell({1, 0}).getCount(), 0);
    p_o->setPosition(Vector(32, 6));
    EXPECT_EQ(grid().objectsInCell({0, 0}).getCount(), 0);
    EXPECT_EQ(grid().objectsInCell({1, 0}).getCount(), 1);
    // On the corner of four cells: its box spans 39.5..40.49 and 15.5..16.49.
    p_o->setPosition(Vector(40, 16));
    EXPECT_EQ(indexMismatch(p_o), "");
    EXPECT_EQ(grid().objectsInCell({1, 0}).getCount(), 0);
    for (const Grid::Cell& cell : Cells{{1, 1}, {2, 1}, {1, 2}, {2, 2}})
        EXPECT_EQ(grid().objectsInCell(cell).getCount(), 1);
    EXPECT_EQ(grid().objectsInCell({7, 7}).getCount(), 0);
}

TEST_F(GridTest, StraddlingObjectIsFoundFromEitherSideOnce) {
    Object* p_straddler = make(Vector(20, 4));
    Object* p_left = make(Vector(19, 12));
    Object* p_right = make(Vector(21, 12));
    Object* p_wide = make(Vector(20, 20));
    p_wide->setBox(Box(Vector(-2, -0.5f), 4, 1));

    const ObjectList from_left = grid().getCollisions(p_left, Vector(19.2f, 4));
    const ObjectList from_right = grid().getCollisions(p_right, Vector(20.8f, 4));
    const ObjectList from_wide = grid().getCollisions(p_wide, Vector(20, 4));
    ASSERT_EQ(from_left.getCount(), 1);
    ASSERT_EQ(from_right.getCount(), 1);
    ASSERT_EQ(from_wide.getCount(), 1);
    EXPECT_EQ(from_left[0], p_straddler);
    EXPECT_EQ(from_right[0], p_straddler);
    EXPECT_EQ(from_wide[0], p_straddler);

    EXPECT_TRUE(grid().getCollisions(p_straddler, Vector(20, 4)).isEmpty()) << "never the object itself";
    EXPECT_TRUE(grid().getCollisions(p_left, Vector(19.2f, 5.49f)).isEmpty());
}

TEST_F(GridTest, ObjectsBeyondAnEmptyGridStillCollide) {
    WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 0, 0));
    EXPECT_EQ(grid().getNumCols(), 0);
    EXPECT_EQ(grid().getNumRows(), 0);
    Object* p_a = make(Vector(5, 5));
    Object* p_b = make(Vector(5.5f, 5), SOFT);
    EXPECT_EQ(grid().objectsInCell({-1, -1}).getCount(), 2);
    const ObjectList hits = grid().getCollisions(p_a, Vector(5.2f, 5));
    ASSERT_EQ(hits.getCount(), 1);
    EXPECT_EQ(hits[0], p_b);
}

TEST_F(GridTest, StandaloneGridRefusesWorkWhenNotStartedAndASecondStart) {
    Grid grid;
    Object* p_o = make(Vector(3, 3));
    EXPECT_EQ(grid.insertObject(p_o), -1);
    EXPECT_EQ(grid.updatePosition(p_o, Vector(4, 4)), -1);
    EXPECT_TRUE(grid.getCollisions(p_o, Vector(3, 3)).isEmpty());
    ASSERT_EQ(grid.startUp(), 0);
    EXPECT_EQ(grid.insertObject(nullptr), -1);
    EXPECT_EQ(grid.insertObject(p_o), 0);
    EXPECT_EQ(grid.startUp(), -1);
    EXPECT_EQ(grid.objectsInCell({0, 0}).getCount(), 1) << "a refused start leaves the grid as it was";
    grid.shutDown();
    EXPECT_EQ(grid.objectsInCell({0, 0}).getCount(), 0);
    EXPECT_EQ(grid.startUp(), 0);

    const std::string log = logText();
    EXPECT_EQ(countLines(log, "Grid::insertObject(): Error! grid is NULL"), 1);
    EXPECT_EQ(countLines(log, "Grid::updatePosition(): Error! grid is NULL"), 1);
    EXPECT_EQ(countLines(log, "Grid::getCollisions(): Error! grid is NULL"), 1);
    EXPECT_EQ(countLines(log, "Grid::insertObject(): Error! Object is NULL"), 1);
    EXPECT_EQ(countLines(log, "Grid::startUp(): Warning! Grid allocated. Not proceeding."), 1);
}

TEST_F(GridTest, RemovalsFromACrowdedCellKeepTheRestInOrderAndLeaversCanComeBack) {
    Grid grid;
    ASSERT_EQ(grid.startUp(), 0);
    // Enough removals that some are settled while others are still pending.
    std::vector<Object*> crowd;
    for (int i = 0; i < 3000; i++) {
        crowd.push_back(make(Vector(5, 3)));
        ASSERT_EQ(grid.insertObject(crowd.back()), 0);
    }
    std::vector<Object*> expected;
    for (std::size_t i = 0; i < crowd.size(); i++) {
        if (i % 3 == 0)
            expected.push_back(crowd[i]);
        else
            ASSERT_EQ(grid.removeObject(crowd[i]), 0);
    }
    // One leaver comes back while removals are pending, another moves there.
    Object* p_back = crowd[2999];
    ASSERT_EQ(grid.insertObject(p_back), 0);
    expected.push_back(p_back);
    ASSERT_EQ(grid.removeObject(crowd[0]), 0);
    ASSERT_EQ(grid.updatePosition(crowd[3], Vector(30, 3)), 0);
    crowd[3]->setPosition(Vector(30, 3));
    expected.erase(expected.begin(), expected.begin() + 2);

    const ObjectList listed = grid.objectsInCell({0, 0});
    ASSERT_EQ(listed.getCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < listed.getCount(); i++)
        ASSERT_EQ(listed[i], expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(grid.objectsInCell({1, 0}).getCount(), 1);
    const ObjectList hits = grid.getCollisions(crowd[1], Vector(5, 3));
    EXPECT_EQ(hits.getCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(occurrences(hits, p_back), 1);
    EXPECT_EQ(occurrences(hits, crowd[0]), 0);
}

} // namespace
} // namespace vt::test
