#include <cmath>

#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventView.h>

#include "Asteroid.h"
#include "Bullet.h"
#include "Explosion.h"
#include "GameNames.h"
#include "GameTest.h"
#include "MissileExplosion.h"
#include "Player.h"
#include "Points.h"

namespace game_test {
namespace {

using AsteroidTest = GameTest;

constexpr float W = 80;
constexpr float H = 24;

// The entry position's side of the world, or -1 when it is not clear of it.
int sideOf(const vt::Vector& p) {
    if (p.getX() >= W + 3)
        return 0;
    if (p.getY() >= H + 3)
        return 1;
    if (p.getX() <= -3)
        return 2;
    if (p.getY() <= -3)
        return 3;
    return -1;
}

// True when the velocity points from the position at the target.
bool headsFor(const vt::Object* p_o, const vt::Vector& target) {
    vt::Vector to = target - p_o->getPosition();
    to.normalize();
    const vt::Vector d = p_o->getDirection();
    return std::fabs(to.getX() - d.getX()) < 1e-4f && std::fabs(to.getY() - d.getY()) < 1e-4f;
}

TEST_F(AsteroidTest, EnterFromTheRightHeadingForTheShip) {
    auto* p_ship = new Player;
    for (int i = 0; i < 5; ++i)
        new Asteroid;
    const auto asteroids = all(names::ASTEROID);
    ASSERT_EQ(asteroids.size(), 5u);
    for (vt::Object* p_a : asteroids) {
        const vt::Vector p = p_a->getPosition();
        EXPECT_GE(p.getX(), W + 3) << p.toString();
        EXPECT_GE(p.getY(), 4.0f) << p.toString();
        EXPECT_LE(p.getY(), H - 1) << p.toString();
        EXPECT_FLOAT_EQ(p_a->getSpeed(), 0.3f);
        EXPECT_TRUE(headsFor(p_a, p_ship->getPosition()));
        EXPECT_EQ(p_a->getSolidness(), vt::SOFT);
    }
}

TEST_F(AsteroidTest, EachSideHasItsOwnRegionAndSpeed) {
    auto* p_ship = new Player;
    auto* p_asteroid = new Asteroid;
    for (int side : {0, 1, 2, 3, 1, 3}) {
        const float before = p_asteroid->getSpeed();
        p_asteroid->moveToStart(side);
        const vt::Vector p = p_asteroid->getPosition();
        EXPECT_EQ(sideOf(p), side) << p.toString();
        if (side == 1 || side == 3) {
            EXPECT_GE(p.getX(), 1.5f);
            EXPECT_LT(p.getX(), W - 3 + 1.5f);
            EXPECT_FLOAT_EQ(p_asteroid->getSpeed(), before * 0.5f);
        } else {
            EXPECT_GE(p.getY(), 4.0f);
            EXPECT_LT(p.getY(), H);
            EXPECT_FLOAT_EQ(p_asteroid->getSpeed(), before);
        }
        EXPECT_TRUE(headsFor(p_asteroid, p_ship->getPosition()));
    }
}

TEST_F(AsteroidTest, EntryPointMovesOutwardPastOtherRocks) {
    new Player;
    auto* p_first = new Asteroid;
    auto* p_second = new Asteroid;
    // Both entered on the right; put the first where the second stands and
    // send the second there again with the same random numbers.
    std::srand(7);
    p_second->moveToStart(0);
    const vt::Vector free_spot = p_second->getPosition();
    park(p_first, free_spot);
    std::srand(7);
    p_second->moveToStart(0);
    EXPECT_EQ(p_second->getPosition().getY(), free_spot.getY());
    EXPECT_GT(p_second->getPosition().getX(), free_spot.getX());
    EXPECT_TRUE(vt::WorldManager::getInstance().getCollisions(p_second, p_second->getPosition()).isEmpty());
}

TEST_F(AsteroidTest, LeavingTheWorldRecyclesFaster) {
    new Player;
    auto* p_asteroid = new Asteroid;
    int recycled = 0;
    for (int attempt = 0; attempt < 12 && recycled < 4; ++attempt) {
        // Just inside the left edge, flying out at one cell per step.
        park(p_asteroid, vt::Vector(2, 10));
        p_asteroid->setVelocity(vt::Vector(-1, 0));
        for (int i = 0; i < 10 && p_asteroid->getSpeed() == 1.0f; ++i)
            step();
        const int side = sideOf(p_asteroid->getPosition());
        ASSERT_GE(side, 0) << p_asteroid->getPosition().toString();
        const float factor = side == 1 || side == 3 ? 0.5f : 1.0f;
        EXPECT_NEAR(p_asteroid->getSpeed(), factor + 0.2f, 1e-5f) << "side " << side;
        ++recycled;
    }
    EXPECT_EQ(recycled, 4);
    EXPECT_EQ(count(names::ASTEROID), 1);
}

TEST_F(AsteroidTest, WithoutAShipTheyKeepTheirCourse) {
    auto* p_asteroid = new Asteroid;
    EXPECT_EQ(p_asteroid->getPosition(), vt::Vector(1, 1));
    EXPECT_FLOAT_EQ(p_asteroid->getVelocity().getX(), -0.3f);
    EXPECT_FLOAT_EQ(p_asteroid->getVelocity().getY(), -0.3f);
    step(12);
    // Out over the top left corner: only faster, same direction.
    EXPECT_NEAR(p_asteroid->getSpeed(), 0.5f, 1e-5f);
    EXPECT_LT(p_asteroid->getPosition().getX(), -1.0f);
    EXPECT_EQ(count(names::ASTEROID), 1);
}

TEST_F(AsteroidTest, TwoRocksPassThroughEachOther) {
    new Player;
    auto* p_a = new Asteroid;
    auto* p_b = new Asteroid;
    park(p_a, vt::Vector(20, 6));
    park(p_b, vt::Vector(24, 6));
    p_a->setVelocity(vt::Vector(1, 0));
    step(6);
    EXPECT_EQ(count(names::ASTEROID), 2);
    EXPECT_EQ(count(names::EXPLOSION), 0);
    EXPECT_GT(p_a->getPosition().getX(), 24.0f);
}

TEST_F(AsteroidTest, ExplosionBlastsRocksThatFlyIntoIt) {
    vt::LogManager::getInstance().setLogLevel(5);
    new Player;
    auto* p_points = new Points;
    auto* p_asteroid = new Asteroid;
    park(p_asteroid, vt::Vector(20, 6));
    p_asteroid->setVelocity(vt::Vector(1, 0));
    auto* p_explosion = new Explosion;
    p_explosion->setPosition(vt::Vector(24, 6));
    const std::string before = logText();
    step(1);
    // The rock is gone and one new one comes in from the right.
    ASSERT_EQ(count(names::ASTEROID), 1);
    EXPECT_NE(all(names::ASTEROID)[0], p_asteroid);
    EXPECT_EQ(sideOf(all(names::ASTEROID)[0]->getPosition()), 0);
    EXPECT_EQ(p_points->getValue(), 5);
    const std::string during = logText().substr(before.size());
    EXPECT_EQ(vt::test::countLines(during, "RM::getSound(): Looking for sound 'explode'."), 1);
    EXPECT_EQ(count(names::EXPLOSION), 1);
    EXPECT_EQ(count(names::PLAYER), 1);
}

TEST_F(AsteroidTest, ExplosionsLiveOnePassOfTheirAnimation) {
    new Explosion;
    new MissileExplosion;
    EXPECT_EQ(all(names::MISSILE_EXPLOSION)[0]->getAltitude(), vt::ALTITUDE_MAX);
    step(11);
    EXPECT_EQ(count(names::EXPLOSION), 1);
    EXPECT_EQ(count(names::MISSILE_EXPLOSION), 1);
    step(1);
    EXPECT_EQ(count(names::EXPLOSION), 0);
    EXPECT_EQ(count(names::MISSILE_EXPLOSION), 0);
}

TEST_F(AsteroidTest, DestroyedRocksScoreFiveAndTimeScoresOnePer30Steps) {
    auto* p_points = new Points;
    EXPECT_EQ(p_points->getLocation(), 1);
    EXPECT_EQ(p_points->getColor(), vt::WHITE);
    step(89); // steps 1 to 89: 30 and 60 score
    EXPECT_EQ(p_points->getValue(), 2);
    step(1);
    EXPECT_EQ(p_points->getValue(), 3);
    auto* p_asteroid = new Asteroid;
    vt::WorldManager::getInstance().markForDelete(p_asteroid);
    step(1);
    EXPECT_EQ(p_points->getValue(), 8);
    // Only the "Points" tag counts.
    const vt::EventView other("points", 100, true);
    vt::WorldManager::getInstance().onEvent(&other);
    EXPECT_EQ(p_points->getValue(), 8);
}

class SmallWorldTest : public GameTest {
  protected:
    std::string config() const override {
        return vt::test::headlessConfig() + "window_horizontal_chars:3,\nwindow_vertical_chars:4,\n";
    }
};

TEST_F(SmallWorldTest, EntryPositionsStaySafe) {
    new Player;
    auto* p_asteroid = new Asteroid;
    for (int side = 0; side < 4; ++side) {
        p_asteroid->moveToStart(side);
        const vt::Vector p = p_asteroid->getPosition();
        EXPECT_TRUE(std::isfinite(p.getX()) && std::isfinite(p.getY()));
        EXPECT_TRUE(std::isfinite(p_asteroid->getSpeed()));
    }
    EXPECT_EQ(vt::WorldManager::getInstance().getBoundary().getHorizontal(), 3.0f);
    // Recycling draws new entry points too; the rock either keeps flying or
    // ends the game on the ship.
    step(60);
    EXPECT_TRUE(count(names::ASTEROID) == 1 || count(names::GAME_OVER) == 1);
}

} // namespace
} // namespace game_test
