#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/EngineTest.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/media/Sprite.h"

namespace vt::test {
namespace {

const char* const RED_AB = "2\n2\n1\n0\nred\nab\ncd\n";
const char* const GREEN_XYZ = "3\n2\n1\n0\ngreen\nxy\nzw\nuv\n";
const char* const ROW_TOO_SHORT = "2\n2\n1\n0\nred\nab\nc\n";

class SpriteReloadTest : public EngineTest {
  protected:
    // Files are looked at no more than once a second.
    static int reloadAfterASecond() {
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        return ResourceManager::getInstance().reloadChangedSprites();
    }
};

// A change is picked up in place; a broken file is refused and the sprite
// keeps its frames; the fixed file reloads and the problem goes.
TEST_F(SpriteReloadTest, ChangedFileReloadsBrokenOneKeepsTheOldSprite) {
    ASSERT_EQ(startEngine(headlessConfig() + "sprite_reload:true,"), 0);
    ResourceManager& rm = ResourceManager::getInstance();
    ASSERT_TRUE(writeFile("s.txt", RED_AB));
    ASSERT_EQ(rm.loadSprite("s.txt", "s"), 0);
    Sprite* p_sprite = rm.getSprite("s");
    EXPECT_EQ(rm.reloadChangedSprites(), 0);

    ASSERT_TRUE(writeFile("s.txt", GREEN_XYZ));
    EXPECT_EQ(reloadAfterASecond(), 1);
    EXPECT_EQ(rm.getSprite("s"), p_sprite);
    EXPECT_EQ(p_sprite->getFrameCount(), 3);
    EXPECT_EQ(p_sprite->getFrame(2).getString(), "uv");
    EXPECT_EQ(p_sprite->getColor(), GREEN);
    EXPECT_EQ(p_sprite->getLabel(), "s");

    ASSERT_TRUE(writeFile("s.txt", ROW_TOO_SHORT));
    EXPECT_EQ(reloadAfterASecond(), 0);
    EXPECT_EQ(p_sprite->getFrameCount(), 3);
    EXPECT_EQ(p_sprite->getFrame(0).getString(), "xy");
    EXPECT_EQ(rm.getSpriteReloadProblem(), "s.txt line 7: sprite 's' not reloaded");
    EXPECT_EQ(countLines(logText(), "File 's.txt' line 7: sprite 's' not reloaded; it keeps its frames."), 1);
    EXPECT_EQ(reloadAfterASecond(), 0) << "an unchanged broken file is not read again";

    ASSERT_TRUE(writeFile("s.txt", RED_AB));
    EXPECT_EQ(reloadAfterASecond(), 1);
    EXPECT_EQ(p_sprite->getFrame(1).getString(), "cd");
    EXPECT_EQ(rm.getSpriteReloadProblem(), "");
}

TEST_F(SpriteReloadTest, NothingIsReloadedUnlessAskedFor) {
    ASSERT_EQ(startEngine(), 0);
    ResourceManager& rm = ResourceManager::getInstance();
    ASSERT_TRUE(writeFile("s.txt", RED_AB));
    ASSERT_EQ(rm.loadSprite("s.txt", "s"), 0);
    ASSERT_TRUE(writeFile("s.txt", GREEN_XYZ));
    EXPECT_EQ(reloadAfterASecond(), 0);
    EXPECT_EQ(rm.getSprite("s")->getFrameCount(), 2);
}

} // namespace
} // namespace vt::test
