#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "media/LogLines.h"
#include "support/AudioFiles.h"
#include "support/EngineTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/media/Music.h"
#include "vintrel/media/Sound.h"

namespace vt::test {
namespace {

class AudioTest : public EngineTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(startEngine(), 0);
        LogManager::getInstance().setLogLevel(5);
    }
};

void waitFor(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

TEST_F(AudioTest, AudioThatNeverLoadedOnlyLogsItsPlay) {
    Sound sound;
    EXPECT_EQ(sound.getLabel(), "[Undefined]");
    EXPECT_EQ(sound.loadSound("missing.wav"), -1);
    ASSERT_TRUE(writeFile("noise.wav", "RIFF not really a wave file"));
    EXPECT_EQ(sound.loadSound("noise.wav"), -1);
    EXPECT_FALSE(sound.isLoaded());
    sound.play(false);
    sound.stop();
    EXPECT_FALSE(sound.isPlaying());

    ASSERT_TRUE(writeFile("bad.ogg", "OggS but nothing else"));
    Music music;
    EXPECT_EQ(music.loadMusic("bad.ogg"), -1);
    music.play(true);
    EXPECT_FALSE(music.isPlaying());
    const std::string log = logText();
    EXPECT_EQ(countMessages(log, "Sound::play(): Playing sound."), 1);
    EXPECT_EQ(countMessages(log, "Music::play(): Playing music."), 1);
}

TEST_F(AudioTest, ASoundPlaysOnceOrInALoopUntilStopped) {
    ASSERT_TRUE(makeTone("beep.wav", 0.1));
    Sound sound;
    ASSERT_EQ(sound.loadSound("beep.wav"), 0);
    sound.play(false);
    EXPECT_TRUE(sound.isPlaying());
    EXPECT_FALSE(sound.isLooping());
    waitFor(0.5);
    EXPECT_FALSE(sound.isPlaying());

    sound.play(true);
    EXPECT_TRUE(sound.isLooping());
    waitFor(0.5);
    EXPECT_TRUE(sound.isPlaying());
    sound.stop();
    EXPECT_FALSE(sound.isPlaying());
}

TEST_F(AudioTest, MusicLoopsUntilStoppedAndStopAlwaysLogs) {
    ASSERT_TRUE(makeTone("tune.ogg", 0.15));
    Music music;
    EXPECT_EQ(music.getLabel(), "[Undefined]");
    music.stop();
    EXPECT_EQ(countMessages(logText(), "Music::stop(): Stopping music."), 1);

    ASSERT_EQ(music.loadMusic("tune.ogg"), 0);
    music.play(true);
    EXPECT_TRUE(music.isLooping());
    waitFor(0.6);
    EXPECT_TRUE(music.isPlaying());
    music.stop();
    EXPECT_FALSE(music.isPlaying());

    music.play(false);
    waitFor(0.6);
    EXPECT_FALSE(music.isPlaying());
    const std::string log = logText();
    EXPECT_EQ(countMessages(log, "Music::play(): Playing music."), 2);
    EXPECT_EQ(countMessages(log, "Music::stop(): Stopping music."), 2);
}

} // namespace
} // namespace vt::test
