#include "Asteroid.h"
#include "Bullet.h"
#include "GameNames.h"
#include "GameTest.h"
#include "Missile.h"
#include "Player.h"
#include "Points.h"

namespace game_test {
namespace {

using CombatTest = GameTest;

TEST_F(CombatTest, BulletKillExplodesAndGrowsTheField) {
    new Player;
    auto* p_points = new Points;
    auto* p_target = new Asteroid;
    park(p_target, vt::Vector(30, 6));
    new Bullet(vt::Vector(24, 6), vt::Vector(1, 0));
    ASSERT_EQ(count(names::ASTEROID), 1);
    int steps = 0;
    while (count(names::BULLET) == 1 && steps < 10) {
        step();
        ++steps;
    }
    ASSERT_LT(steps, 10);
    EXPECT_EQ(count(names::BULLET), 0);
    const auto asteroids = all(names::ASTEROID);
    EXPECT_EQ(asteroids.size(), 2u);
    for (vt::Object* p_a : asteroids)
        EXPECT_NE(p_a, p_target);
    ASSERT_EQ(count(names::EXPLOSION), 1);
    EXPECT_EQ(all(names::EXPLOSION)[0]->getPosition(), vt::Vector(30, 6));
    EXPECT_EQ(p_points->getValue(), 5);
}

TEST_F(CombatTest, MissileKillLeavesThreeBlastsThatClearTheRocksAround) {
    new Player;
    auto* p_points = new Points;
    auto* p_target = new Asteroid;
    park(p_target, vt::Vector(30, 6));
    new Missile(vt::Vector(25, 6), vt::Vector(0.85f, 0));
    int steps = 0;
    while (count(names::MISSILE) == 1 && steps < 10) {
        step();
        ++steps;
    }
    ASSERT_LT(steps, 10);
    ASSERT_EQ(count(names::ASTEROID), 1);
    EXPECT_NE(all(names::ASTEROID)[0], p_target);
    const auto explosions = all(names::EXPLOSION);
    ASSERT_EQ(explosions.size(), 2u);
    for (vt::Object* p_e : explosions)
        EXPECT_EQ(p_e->getPosition(), vt::Vector(30, 6));
    ASSERT_EQ(count(names::MISSILE_EXPLOSION), 1);
    EXPECT_LT(all(names::MISSILE_EXPLOSION)[0]->getPosition().getX(), 30.0f);
    EXPECT_EQ(p_points->getValue(), 5);

    // A rock flying into the missile's blast from the left is destroyed and
    // replaced; the blast reaches well beyond the rock it was made by.
    const vt::Vector blast = all(names::MISSILE_EXPLOSION)[0]->getPosition();
    auto* p_near = new Asteroid;
    park(p_near, vt::Vector(blast.getX() - 10, blast.getY()));
    p_near->setVelocity(vt::Vector(1, 0));
    step(4);
    for (vt::Object* p_a : all(names::ASTEROID))
        EXPECT_NE(p_a, p_near);
    EXPECT_EQ(count(names::ASTEROID), 2);
    EXPECT_EQ(p_points->getValue(), 10);
}

TEST_F(CombatTest, RockOnTheShipEndsTheGameWithoutAnExplosion) {
    auto* p_ship = new Player;
    auto* p_rock = new Asteroid;
    park(p_rock, vt::Vector(46, 12));
    p_rock->setVelocity(vt::Vector(-1, 0));
    step(4);
    EXPECT_EQ(count(names::PLAYER), 0);
    EXPECT_EQ(count(names::RETICLE), 0);
    EXPECT_EQ(count(names::ASTEROID), 0);
    EXPECT_EQ(count(names::EXPLOSION), 0);
    EXPECT_EQ(count(names::GAME_OVER), 1);
    (void)p_ship;
}

} // namespace
} // namespace game_test
