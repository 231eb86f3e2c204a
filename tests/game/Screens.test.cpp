#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/Music.h>
#include <vintrel/media/ResourceManager.h>

#include "Asteroid.h"
#include "GameNames.h"
#include "GameOver.h"
#include "GameStart.h"
#include "GameTest.h"
#include "Player.h"

namespace game_test {
namespace {

using ScreensTest = GameTest;

// The length of one pass of the game-over animation, in steps.
constexpr int GAME_OVER_STEPS = 80;

TEST_F(ScreensTest, HoldingPStartsExactlyOneGame) {
    auto* p_start = new GameStart;
    EXPECT_EQ(p_start->getLocation(), 4);
    vt::Music* p_music = vt::ResourceManager::getInstance().getMusic(names::START_MUSIC);
    ASSERT_NE(p_music, nullptr);
    EXPECT_TRUE(p_music->isPlaying());
    EXPECT_TRUE(p_music->isLooping());
    key(vt::KEY_P, vt::KEY_ACTION_PRESSED);
    EXPECT_FALSE(p_music->isPlaying());
    for (int i = 0; i < 10; ++i) {
        key(vt::KEY_P, vt::KEY_ACTION_HELD);
        step();
    }
    EXPECT_EQ(count(names::PLAYER), 1);
    EXPECT_EQ(count(names::RETICLE), 1);
    EXPECT_EQ(count(names::ASTEROID), 5);
    ASSERT_EQ(displays(names::POINTS_VIEW).size(), 1u);
    ASSERT_EQ(displays(names::MISSILES_VIEW).size(), 1u);
    EXPECT_EQ(displays(names::POINTS_VIEW)[0]->getLocation(), 1);
    EXPECT_EQ(displays(names::MISSILES_VIEW)[0]->getLocation(), 2);
    EXPECT_EQ(displays(names::MISSILES_VIEW)[0]->getValue(), 4);
    EXPECT_EQ(displays(names::MISSILES_VIEW)[0]->getColor(), vt::GREEN);
    EXPECT_FALSE(p_start->isActive());
    // Q now belongs to the ship, not to the start screen.
    key(vt::KEY_Q, vt::KEY_ACTION_PRESSED);
    step();
    EXPECT_FALSE(vt::GameManager::getInstance().getGameOver());
    EXPECT_EQ(count(names::PLAYER), 0);
}

TEST_F(ScreensTest, GameOverLastsOnePassThenTheStartScreenReturns) {
    vt::LogManager::getInstance().setLogLevel(5);
    auto* p_start = new GameStart;
    p_start->start();
    step(3);
    const std::string before = logText();
    key(vt::KEY_Q, vt::KEY_ACTION_PRESSED);
    step();
    ASSERT_EQ(count(names::GAME_OVER), 1);
    EXPECT_EQ(vt::test::countLines(logText().substr(before.size()), "Looking for sound 'game over'"), 1);
    auto* p_over = dynamic_cast<GameOver*>(all(names::GAME_OVER)[0]);
    ASSERT_NE(p_over, nullptr);
    EXPECT_EQ(p_over->getTimeToLive(), GAME_OVER_STEPS);
    step(GAME_OVER_STEPS - 1);
    EXPECT_EQ(count(names::GAME_OVER), 1);
    EXPECT_FALSE(p_start->isActive());
    step();
    EXPECT_EQ(count(names::GAME_OVER), 0);
    EXPECT_TRUE(p_start->isActive());
    // Music starts only with the start screen itself, not on its return.
    EXPECT_EQ(vt::test::countLines(logText(), "Music::play(): Playing music."), 1);
}

TEST_F(ScreensTest, ANewGameKeepsTheLastOnesAsteroidsButReplacesItsDisplays) {
    auto* p_start = new GameStart;
    p_start->start();
    ASSERT_EQ(displays(names::MISSILES_VIEW).size(), 1u);
    displays(names::MISSILES_VIEW)[0]->setValue(1);
    key(vt::KEY_Q, vt::KEY_ACTION_PRESSED);
    step(GAME_OVER_STEPS + 1);
    ASSERT_TRUE(p_start->isActive());
    ASSERT_EQ(displays(names::POINTS_VIEW).size(), 1u);
    EXPECT_GT(displays(names::POINTS_VIEW)[0]->getValue(), 0);
    const int old_ids[] = {displays(names::POINTS_VIEW)[0]->getId(),
                           displays(names::MISSILES_VIEW)[0]->getId()};
    const int rocks_left = count(names::ASTEROID);
    EXPECT_GT(rocks_left, 0);
    key(vt::KEY_P, vt::KEY_ACTION_PRESSED);
    EXPECT_EQ(count(names::ASTEROID), rocks_left + 5);
    EXPECT_EQ(count(names::PLAYER), 1);
    step();
    // One display of each, the new game's: the last game's two are gone.
    for (const char* label : {names::POINTS_VIEW, names::MISSILES_VIEW}) {
        SCOPED_TRACE(label);
        ASSERT_EQ(displays(label).size(), 1u);
        for (const int old_id : old_ids)
            EXPECT_NE(displays(label)[0]->getId(), old_id);
    }
    EXPECT_EQ(displays(names::MISSILES_VIEW)[0]->getValue(), 4);
    EXPECT_EQ(displays(names::POINTS_VIEW)[0]->getLocation(), 1);
}

TEST_F(ScreensTest, QOnTheStartScreenEndsTheProgram) {
    new GameStart;
    key(vt::KEY_A, vt::KEY_ACTION_PRESSED);
    EXPECT_FALSE(vt::GameManager::getInstance().getGameOver());
    key(vt::KEY_Q, vt::KEY_ACTION_RELEASED);
    EXPECT_TRUE(vt::GameManager::getInstance().getGameOver());
    EXPECT_EQ(count(names::PLAYER), 0);
}

TEST_F(ScreensTest, ShuttingDownMidGameLeavesNothingBehind) {
    vt::LogManager::getInstance().setLogLevel(5);
    auto* p_start = new GameStart;
    p_start->start();
    step(2);
    const std::string before = logText();
    stopEngine();
    const std::string after = logText().substr(before.size());
    // The world deletes the ship on its way down: no game-over screen, which
    // would only play its sound during shut-down (or be refused and lost).
    EXPECT_EQ(vt::test::countLines(after, "Not adding Object"), 0);
    EXPECT_EQ(vt::test::countLines(after, "Looking for sound"), 0);
    EXPECT_EQ(vt::test::countLines(after, "Sound::play()"), 0);
}

} // namespace
} // namespace game_test
