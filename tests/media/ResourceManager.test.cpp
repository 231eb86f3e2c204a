#include <gtest/gtest.h>

#include <string>

#include "media/LogLines.h"
#include "support/AudioFiles.h"
#include "support/EngineTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/media/Music.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/media/Sound.h"
#include "vintrel/media/Sprite.h"

namespace vt::test {
namespace {

const char* const ONE_CELL = "1\n1\n1\n0\nred\nx\n";

class ResourceManagerTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
    static ResourceManager& rm() { return ResourceManager::getInstance(); }
};

TEST(ResourceManagerStoppedTest, LoadingBeforeStartUpIsRefused) {
    testing::internal::CaptureStderr();
    ResourceManager& rm = ResourceManager::getInstance();
    EXPECT_FALSE(rm.isStarted());
    EXPECT_EQ(rm.loadSprite("any.txt", "any"), -1);
    EXPECT_EQ(rm.loadSound("any.wav", "any"), -1);
    EXPECT_EQ(rm.loadMusic("any.wav", "any"), -1);
    EXPECT_EQ(rm.getSprite("any"), nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countLines(err, "ResourceManager not started!"), 3) << err;
    EXPECT_EQ(countLines(err, "RM::getSprite(): Warning! Sprite 'any' not found."), 1) << err;
}

TEST_F(ResourceManagerTest, StartingTwiceWarnsAndShutDownEmptiesTheTables) {
    ASSERT_TRUE(writeFile("a.txt", ONE_CELL));
    ASSERT_EQ(rm().loadSprite("a.txt", "a"), 0);
    EXPECT_EQ(rm().startUp(), -1);
    EXPECT_TRUE(
        hasMessage(logText(), "ResourceManager::startup(): Warning! ResourceManager already started."));
    EXPECT_EQ(rm().getSpriteCount(), 1);

    rm().shutDown();
    EXPECT_FALSE(rm().isStarted());
    EXPECT_EQ(rm().getSpriteCount(), 0);
    EXPECT_EQ(rm().getSprite("a"), nullptr);
    ASSERT_EQ(rm().startUp(), 0);
    EXPECT_EQ(rm().getSprite("a"), nullptr);
}

TEST_F(ResourceManagerTest, MissingFilesAreReportedAndLeaveTheTablesAlone) {
    EXPECT_EQ(rm().loadSprite("nowhere.txt", "ghost"), -1);
    EXPECT_EQ(rm().loadSprite("/dev/zero", "zero"), -1);
    EXPECT_EQ(rm().loadSprite(".", "here"), -1);
    EXPECT_EQ(rm().loadSound("nowhere.wav", "ghost"), -1);
    EXPECT_EQ(rm().loadMusic("nowhere.ogg", "ghost"), -1);
    EXPECT_EQ(rm().getSpriteCount(), 0);
    EXPECT_EQ(rm().getSoundCount(), 0);
    EXPECT_EQ(rm().getMusicCount(), 0);
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Error! Cannot open file 'nowhere.txt'."));
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Sprite 'ghost' not loaded."));
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Error! Cannot open file '/dev/zero'."));
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Error! Cannot open file '.'."));
    EXPECT_TRUE(hasMessage(log, "RM::loadSound(): Error! Cannot load sound from file 'nowhere.wav'."));
    EXPECT_TRUE(hasMessage(log, "RM::loadmusic(): Error! Cannot load music from file 'nowhere.ogg'."));
}

TEST_F(ResourceManagerTest, LookupsFindTheFirstOfEqualLabelsAndWarnOnUnknownOnes) {
    ASSERT_TRUE(writeFile("red.txt", ONE_CELL));
    ASSERT_TRUE(writeFile("blue.txt", "1\n1\n1\n0\nblue\ny\n"));
    ASSERT_EQ(rm().loadSprite("red.txt", "twin"), 0);
    ASSERT_EQ(rm().loadSprite("blue.txt", "twin"), 0);
    ASSERT_NE(rm().getSprite("twin"), nullptr);
    EXPECT_EQ(rm().getSprite("twin")->getColor(), RED);
    EXPECT_EQ(rm().getSprite("Twin"), nullptr);

    LogManager::getInstance().setLogLevel(5);
    EXPECT_EQ(rm().getSprite("nobody"), nullptr);
    EXPECT_EQ(rm().getSound("nobody"), nullptr);
    EXPECT_EQ(rm().getMusic("nobody"), nullptr);
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::getSprite(): Looking for sprite 'nobody'."));
    EXPECT_TRUE(hasMessage(log, "RM::getSprite(): Warning! Sprite 'nobody' not found."));
    EXPECT_TRUE(hasMessage(log, "RM::getSound(): Looking for sound 'nobody'."));
    EXPECT_TRUE(hasMessage(log, "RM::getSound(): Warning! Sound 'nobody' not found."));
    EXPECT_TRUE(hasMessage(log, "RM::getMusic(): Looking for music 'nobody'."));
    EXPECT_TRUE(hasMessage(log, "RM::getMusic(): Warning! Music 'nobody' not found."));
}

TEST_F(ResourceManagerTest, TheSpriteTableHoldsAThousand) {
    ASSERT_TRUE(writeFile("a.txt", ONE_CELL));
    for (int i = 0; i < MAX_SPRITES; i++)
        ASSERT_EQ(rm().loadSprite("a.txt", "s" + std::to_string(i)), 0);
    EXPECT_EQ(rm().loadSprite("not-even-there.txt", "extra"), -1);
    EXPECT_EQ(rm().getSpriteCount(), MAX_SPRITES);
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000)."));
    EXPECT_TRUE(hasMessage(log, "RM::loadRobustSprite(): Sprite 'extra' not loaded."));
    // Refused before the file was looked at.
    EXPECT_EQ(countLines(log, "not-even-there.txt"), 0);
    EXPECT_NE(rm().getSprite("s999"), nullptr);
}

TEST_F(ResourceManagerTest, LevelledMessagesShowTheLoadedFrames) {
    LogManager::getInstance().setLogLevel(15);
    ASSERT_TRUE(writeFile("two.txt", "2\n2\n2\n1\ncyan\nab\ncd\nef\ngh\n"));
    ASSERT_EQ(rm().loadSprite("two.txt", "two"), 0);
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Loading sprite 'two.txt'."));
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Sprite 'two' frames:"));
    EXPECT_TRUE(hasMessage(log, "\tFrame 2:"));
    EXPECT_TRUE(hasMessage(log, "\tcd"));
    EXPECT_TRUE(hasMessage(log, "\tgh"));
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Sprite 'two' loaded."));
    rm().shutDown();
    ASSERT_EQ(rm().startUp(), 0);
    const std::string restart_log = logText();
    EXPECT_TRUE(hasMessage(restart_log, "RM::shutDown(): successfully stopped."));
    EXPECT_TRUE(hasMessage(restart_log, "RM::startUp(): successfully started."));
}

TEST_F(ResourceManagerTest, SoundsLoadUnderAnyLabelAndTheTableHoldsAHundred) {
    ASSERT_TRUE(makeTone("beep.wav", 0.05));
    ASSERT_EQ(rm().loadSound("beep.wav", ""), 0);
    EXPECT_NE(rm().getSound(""), nullptr);
    for (int i = 1; i < MAX_SOUNDS; i++)
        ASSERT_EQ(rm().loadSound("beep.wav", "b" + std::to_string(i)), 0);
    EXPECT_EQ(rm().loadSound("beep.wav", "extra"), -1);
    EXPECT_EQ(rm().getSoundCount(), MAX_SOUNDS);
    EXPECT_TRUE(hasMessage(logText(), "RM::loadSound(): Error! Unable to add more sounds (max is 100)."));
    ASSERT_NE(rm().getSound("b99"), nullptr);
    EXPECT_EQ(rm().getSound("b99")->getLabel(), "b99");
}

TEST_F(ResourceManagerTest, MusicNeedsALabelAndTheTableHoldsFifty) {
    ASSERT_TRUE(makeTone("tune.ogg", 0.05));
    EXPECT_EQ(rm().loadMusic("not-there.ogg", ""), -1);
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::loadMusic(): Error! Must provide label for music."));
    EXPECT_EQ(countLines(log, "not-there.ogg"), 0);

    for (int i = 0; i < MAX_MUSICS; i++)
        ASSERT_EQ(rm().loadMusic("tune.ogg", "m" + std::to_string(i)), 0);
    EXPECT_EQ(rm().loadMusic("tune.ogg", "extra"), -1);
    EXPECT_EQ(rm().getMusicCount(), MAX_MUSICS);
    EXPECT_TRUE(hasMessage(logText(), "RM::loadMusic(): Error! Unable to add more musics (max is 50)."));
    EXPECT_NE(rm().getMusic("m49"), nullptr);
}

TEST_F(ResourceManagerTest, ShutDownStopsEverythingThatPlays) {
    ASSERT_TRUE(makeTone("long.wav", 2.0));
    ASSERT_EQ(rm().loadSound("long.wav", "fx"), 0);
    ASSERT_EQ(rm().loadMusic("long.wav", "tune"), 0);
    Sound* p_sound = rm().getSound("fx");
    Music* p_music = rm().getMusic("tune");
    ASSERT_NE(p_sound, nullptr);
    ASSERT_NE(p_music, nullptr);
    p_sound->play(true);
    p_music->play(true);
    EXPECT_TRUE(p_sound->isPlaying());
    EXPECT_TRUE(p_music->isPlaying());
    LogManager::getInstance().setLogLevel(5);
    rm().shutDown();
    EXPECT_FALSE(p_sound->isPlaying());
    EXPECT_FALSE(p_music->isPlaying());
    EXPECT_TRUE(hasMessage(logText(), "Music::stop(): Stopping music."));
}

} // namespace
} // namespace vt::test
