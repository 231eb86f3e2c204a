#include <gtest/gtest.h>

#include "support/EngineTest.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"
#include "vintrel/world/WorldUtility.h"

namespace vt::test {
namespace {

class WorldUtilityTest : public EngineTest {};

TEST_F(WorldUtilityTest, WorldBoxesMoveTheObjectsBox) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_o = new Object;
    p_o->setPosition(Vector(10, 5));
    const Box world = getWorldBox(p_o);
    EXPECT_FLOAT_EQ(world.getCorner().getX(), 9.5f);
    EXPECT_FLOAT_EQ(world.getCorner().getY(), 4.5f);
    EXPECT_FLOAT_EQ(world.getHorizontal(), 0.99f);
    const Box there = getWorldBox(p_o, Vector(0, 0));
    EXPECT_FLOAT_EQ(there.getCorner().getX(), -0.5f);
}

TEST_F(WorldUtilityTest, ViewConversionsUseTheViewCorner) {
    ASSERT_EQ(startEngine(), 0);
    WorldManager::getInstance().setView(Box(Vector(10, 3), 80, 24));
    const Vector view = worldToView(Vector(15, 4));
    EXPECT_EQ(view, Vector(5, 1));
    EXPECT_EQ(viewToWorld(view), Vector(15, 4));
}

TEST_F(WorldUtilityTest, NormalTellsTheSideOfTheObstacle) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_wall = new Object;
    p_wall->setPosition(Vector(10, 10));
    auto* p_mover = new Object;
    p_mover->setSolidness(SPECTRAL);

    p_mover->setPosition(Vector(8.5f, 10));
    p_mover->setVelocity(Vector(1, 0));
    EXPECT_EQ(getNormal(p_mover, p_wall), Vector(-1, 0));

    p_mover->setPosition(Vector(11.5f, 10));
    p_mover->setVelocity(Vector(-1, 0));
    EXPECT_EQ(getNormal(p_mover, p_wall), Vector(1, 0));

    p_mover->setPosition(Vector(10, 8.5f));
    p_mover->setVelocity(Vector(0, 1));
    EXPECT_EQ(getNormal(p_mover, p_wall), Vector(0, -1));

    p_mover->setPosition(Vector(10, 11.5f));
    p_mover->setVelocity(Vector(0, -1));
    EXPECT_EQ(getNormal(p_mover, p_wall), Vector(0, 1));

    // Far away and standing still: no side.
    p_mover->setPosition(Vector(40, 20));
    p_mover->setVelocity(Vector(0, 0));
    EXPECT_EQ(getNormal(p_mover, p_wall), Vector(0, 0));
}

} // namespace
} // namespace vt::test
