#include <vintrel/core/LogManager.h>
#include <vintrel/input/Key.h>

#include "Bullet.h"
#include "GameNames.h"
#include "GameTest.h"
#include "Player.h"
#include "Reticle.h"

namespace game_test {
namespace {

using PlayerTest = GameTest;

const vt::Vector CENTRE(40, 12);

TEST_F(PlayerTest, StartsInTheCentreWithItsCrossHair) {
    auto* p_ship = new Player;
    EXPECT_EQ(p_ship->getPosition(), CENTRE);
    EXPECT_EQ(p_ship->getMissiles(), MISSILE_STOCK_MAX);
    Reticle* p_reticle = p_ship->getReticle();
    ASSERT_NE(p_reticle, nullptr);
    EXPECT_EQ(p_reticle->getPosition(), CENTRE);
    EXPECT_EQ(p_reticle->getSolidness(), vt::SPECTRAL);
    EXPECT_EQ(p_reticle->getAltitude(), vt::ALTITUDE_MAX);
    // The cross-hair follows moves, not clicks.
    mouse(vt::MOUSE_ACTION_MOVED, vt::MOUSE_BUTTON_UNDEFINED, vt::Vector(10, 5));
    EXPECT_EQ(p_reticle->getPosition(), vt::Vector(10, 5));
    mouse(vt::MOUSE_ACTION_CLICKED, vt::MOUSE_BUTTON_LEFT, vt::Vector(60, 20));
    EXPECT_EQ(p_reticle->getPosition(), vt::Vector(10, 5));
}

TEST_F(PlayerTest, HeldKeysMoveAtFixedRates) {
    auto* p_ship = new Player;
    // Pressed and released reports do not move the ship, only held ones.
    key(vt::KEY_D, vt::KEY_ACTION_PRESSED);
    step(10);
    EXPECT_EQ(p_ship->getPosition(), CENTRE);
    hold(vt::KEY_D, 30);
    EXPECT_EQ(p_ship->getPosition(), vt::Vector(CENTRE.getX() + 10, CENTRE.getY()));
    hold(vt::KEY_S, 30);
    EXPECT_EQ(p_ship->getPosition(), vt::Vector(CENTRE.getX() + 10, CENTRE.getY() + 6));
    // A and D together: whichever comes first sets the countdown for both.
    const float x = p_ship->getPosition().getX();
    for (int i = 0; i < 30; ++i) {
        key(vt::KEY_A, vt::KEY_ACTION_HELD);
        key(vt::KEY_D, vt::KEY_ACTION_HELD);
        step();
    }
    EXPECT_EQ(p_ship->getPosition().getX(), x - 10);
}

TEST_F(PlayerTest, NeverReachesTheEdgesOrTheDisplayRows) {
    auto* p_ship = new Player;
    hold(vt::KEY_A, 200);
    EXPECT_EQ(p_ship->getPosition().getX(), 1.0f);
    hold(vt::KEY_W, 100);
    EXPECT_EQ(p_ship->getPosition().getY(), 4.0f);
    hold(vt::KEY_D, 300);
    EXPECT_EQ(p_ship->getPosition().getX(), 78.0f);
    hold(vt::KEY_S, 150);
    EXPECT_EQ(p_ship->getPosition().getY(), 22.0f);
}

TEST_F(PlayerTest, FiresAtMostOnceEvery20Steps) {
    vt::LogManager::getInstance().setLogLevel(5);
    new Player;
    const std::string before = logText();
    std::vector<int> fired_at;
    for (int i = 1; i <= 45; ++i) {
        const int before_click = count(names::BULLET);
        mouse(vt::MOUSE_ACTION_CLICKED, vt::MOUSE_BUTTON_LEFT, vt::Vector(40, 2));
        if (count(names::BULLET) > before_click)
            fired_at.push_back(i);
        step();
    }
    // The new ship waits out 20 steps; then the clicks in between shots are
    // dropped, not queued.
    EXPECT_EQ(fired_at, (std::vector<int>{21, 41}));
    EXPECT_EQ(vt::test::countLines(logText().substr(before.size()), "Looking for sound 'fire'"), 2);
    for (vt::Object* p_bullet : all(names::BULLET)) {
        EXPECT_FLOAT_EQ(p_bullet->getSpeed(), 1.0f);
        EXPECT_EQ(p_bullet->getDirection(), vt::Vector(0, -1));
        EXPECT_EQ(p_bullet->getSolidness(), vt::SOFT);
    }
    // Both fly up and leave the world, which ends them.
    step(30);
    EXPECT_EQ(count(names::BULLET), 0);
    EXPECT_EQ(count(names::PLAYER), 1);
}

TEST_F(PlayerTest, ClickOnTheShipGivesABulletThatStays) {
    auto* p_ship = new Player;
    step(20);
    mouse(vt::MOUSE_ACTION_CLICKED, vt::MOUSE_BUTTON_LEFT, p_ship->getPosition());
    step(5);
    ASSERT_EQ(count(names::BULLET), 1);
    EXPECT_EQ(all(names::BULLET)[0]->getPosition(), CENTRE);
    EXPECT_EQ(all(names::BULLET)[0]->getSpeed(), 0.0f);
}

TEST_F(PlayerTest, MissileStockEmptiesAndRefillsEvery900Steps) {
    auto* p_ship = new Player;
    auto* p_display = new vt::ViewObject;
    p_display->setViewString(names::MISSILES_VIEW);
    p_display->setValue(MISSILE_STOCK_MAX);
    int launches = 0;
    for (int i = 1; i <= 160; ++i) {
        const int before = count(names::MISSILE);
        mouse(vt::MOUSE_ACTION_CLICKED, vt::MOUSE_BUTTON_RIGHT, vt::Vector(79, 12));
        if (count(names::MISSILE) > before)
            ++launches;
        step();
    }
    // One launch per 30 steps, four in all; the fifth click finds none.
    EXPECT_EQ(launches, 4);
    EXPECT_EQ(p_ship->getMissiles(), 0);
    EXPECT_EQ(p_display->getValue(), 0);
    const vt::Object* p_missile = all(names::MISSILE).empty() ? nullptr : all(names::MISSILE)[0];
    if (p_missile != nullptr) {
        EXPECT_FLOAT_EQ(p_missile->getSpeed(), 0.85f);
        EXPECT_EQ(p_missile->getSolidness(), vt::SOFT);
    }
    // Steps up to 899 bring nothing back; 900 brings one, 1800 another.
    setStepCount(899);
    step();
    EXPECT_EQ(p_ship->getMissiles(), 0);
    step();
    EXPECT_EQ(p_ship->getMissiles(), 1);
    EXPECT_EQ(p_display->getValue(), 1);
    setStepCount(1800);
    step();
    EXPECT_EQ(p_ship->getMissiles(), 2);
    EXPECT_EQ(p_display->getValue(), 2);
}

TEST_F(PlayerTest, QEndsTheGameEvenWhenMotionless) {
    new Player;
    key(vt::KEY_Q, vt::KEY_ACTION_PRESSED);
    EXPECT_EQ(count(names::PLAYER), 1);
    step();
    // Ship and cross-hair go at the end of the same step; the game-over screen comes up.
    EXPECT_EQ(count(names::PLAYER), 0);
    EXPECT_EQ(count(names::RETICLE), 0);
    EXPECT_EQ(count(names::GAME_OVER), 1);
}

} // namespace
} // namespace game_test
