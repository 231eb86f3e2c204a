#include <vintrel/input/Key.h>
#include <vintrel/media/ResourceManager.h>

#include "GameNames.h"
#include "GameStart.h"
#include "GameTest.h"

namespace game_test {
namespace {

using LoadResourcesTest = GameTest;

TEST_F(LoadResourcesTest, LoadsTheTwelveInOrder) {
    vt::ResourceManager& rm = vt::ResourceManager::getInstance();
    EXPECT_EQ(rm.getSpriteCount(), 8);
    EXPECT_EQ(rm.getSoundCount(), 3);
    EXPECT_EQ(rm.getMusicCount(), 1);
    const std::vector<std::string> expected = {
        "Loading sprite 'sprites/player-spr.txt'",    "Loading sprite 'sprites/missile-spr.txt'",
        "Loading sprite 'sprites/explosion-spr.txt'", "Loading sprite 'sprites/missile-explosion-spr.txt'",
        "Loading sprite 'sprites/asteroid-spr.txt'",  "Loading sprite 'sprites/bullet-spr.txt'",
        "Loading sprite 'sprites/gamestart-spr.txt'", "Loading sprite 'sprites/gameover-spr.txt'",
        "Music 'start music' successfully loaded",    "Sound 'fire' successfully loaded",
        "Sound 'explode' successfully loaded",        "Sound 'game over' successfully loaded",
    };
    const std::string log = logText();
    size_t at = 0;
    for (const std::string& line : expected) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << log;
        at = found;
    }
    EXPECT_EQ(vt::test::countLines(log, "Error"), 0) << log;
    // Every sprite is in the robust or the simple format, and both are used.
    EXPECT_GT(vt::test::countLines(log, "assuming robust"), 0);
    EXPECT_GT(vt::test::countLines(log, "assuming simple"), 0);
    for (const char* label : {names::PLAYER_SPRITE, names::MISSILE_SPRITE, names::EXPLOSION_SPRITE,
                              names::MISSILE_EXPLOSION_SPRITE, names::ASTEROID_SPRITE, names::BULLET_SPRITE,
                              names::GAME_START_SPRITE, names::GAME_OVER_SPRITE})
        EXPECT_NE(rm.getSprite(label), nullptr) << label;
}

class WithoutMusicTest : public GameTest {
  protected:
    std::vector<std::string> missingData() const override { return {"sounds/start-music.wav"}; }
};

TEST_F(WithoutMusicTest, TheGameStillStartsAndPlays) {
    EXPECT_EQ(vt::ResourceManager::getInstance().getMusicCount(), 0);
    EXPECT_EQ(vt::test::countLines(logText(), "RM::loadmusic(): Error! Cannot load music from file"), 1);
    new GameStart;
    key(vt::KEY_P, vt::KEY_ACTION_PRESSED);
    step(5);
    EXPECT_EQ(count(names::PLAYER), 1);
    EXPECT_EQ(count(names::ASTEROID), 5);
}

class WithoutGameOverSpriteTest : public GameTest {
  protected:
    std::vector<std::string> missingData() const override { return {"sprites/gameover-spr.txt"}; }
};

TEST_F(WithoutGameOverSpriteTest, TheStartScreenReturnsAtOnce) {
    auto* p_start = new GameStart;
    p_start->start();
    key(vt::KEY_Q, vt::KEY_ACTION_PRESSED);
    step(); // the ship goes, the invisible game-over screen comes
    ASSERT_EQ(count(names::GAME_OVER), 1);
    step(); // and goes on its first step
    EXPECT_EQ(count(names::GAME_OVER), 0);
    EXPECT_TRUE(p_start->isActive());
}

} // namespace
} // namespace game_test
