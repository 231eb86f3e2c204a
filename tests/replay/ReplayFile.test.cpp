#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/replay/ReplayFile.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {
namespace {

// A small file with every kind of record and the edge values of each field.
ReplayFile sample() {
    ReplayFile file;
    file.config = "frame_time:33,random_seed:0,";
    file.seed = -1;
    file.checkpoint_interval = 7;
    file.path_expansions = 3;
    file.inputs = {{0, ReplayFile::Input::KEYBOARD, 0, -1, {}},
                   {0, ReplayFile::Input::MOUSE, 2, -1, Vector(-0.5f, 1e9f)},
                   {6, ReplayFile::Input::MOUSE, 0, 2, Vector(3.25f, 4)},
                   {13, ReplayFile::Input::KEYBOARD, 2, 76, {}},
                   {14, ReplayFile::Input::CLOSE, 0, 0, {}}};
    file.checkpoints = {{6, 0xFEDCBA9876543210ull, {{1, "Ship", 0xFFFFFFFFu}, {2, "Rock", 0}}},
                        {13, 1, {}},
                        {14, 2, {{2, "Rock", 5}, {3, "Ship", 6}, {2147483647, "Rock", 7}}}};
    file.step_count = 15;
    return file;
}

TEST(ReplayFileTest, WhatIsWrittenReadsBackTheSame) {
    const std::string bytes = sample().encode();
    ReplayFile read;
    std::string error;
    ASSERT_EQ(read.decode(bytes, error), 0) << error;
    EXPECT_EQ(read.encode(), bytes);
    // The edge values, one by one: a symmetric slip in writing and reading
    // would escape the comparison above.
    EXPECT_EQ(read.config, sample().config);
    EXPECT_EQ(read.seed, -1);
    EXPECT_EQ(read.checkpoint_interval, 7);
    EXPECT_EQ(read.path_expansions, 3);
    EXPECT_EQ(read.step_count, 15);
    ASSERT_EQ(read.inputs.size(), 5u);
    EXPECT_EQ(read.inputs[0].code, -1);
    EXPECT_EQ(read.inputs[1].code, -1);
    EXPECT_EQ(read.inputs[1].position, Vector(-0.5f, 1e9f));
    EXPECT_EQ(read.inputs[3].code, 76);
    EXPECT_EQ(read.inputs[4].kind, ReplayFile::Input::CLOSE);
    ASSERT_EQ(read.checkpoints.size(), 3u);
    EXPECT_EQ(read.checkpoints[0].world_hash, 0xFEDCBA9876543210ull);
    EXPECT_EQ(read.checkpoints[0].objects[0].hash, 0xFFFFFFFFu);
    EXPECT_EQ(read.checkpoints[2].objects[1].type, "Ship");
    EXPECT_EQ(read.checkpoints[2].objects[2].id, 2147483647);
}

TEST(ReplayFileTest, TypeNamesBeyondAsciiKeepTheirCharacters) {
    ReplayFile file = sample();
    // "Астероид" (16 bytes), and a name of 300 bytes whose cut at 255 would split a character.
    const std::string asteroid = "\xD0\x90\xD1\x81\xD1\x82\xD0\xB5\xD1\x80\xD0\xBE\xD0\xB8\xD0\xB4";
    std::string long_name = "x";
    while (long_name.size() < 300)
        long_name += "\xE2\x94\x80";
    file.checkpoints[1].objects = {{4, asteroid, 1}, {5, long_name, 2}};
    ReplayFile read;
    std::string error;
    ASSERT_EQ(read.decode(file.encode(), error), 0) << error;
    EXPECT_EQ(read.checkpoints[1].objects[0].type, asteroid);
    EXPECT_EQ(read.checkpoints[1].objects[1].type, long_name.substr(0, 253));
}

class ReplayRefusalTest : public test::EngineTest {
  protected:
    // Refused with one line naming the file; nothing is set up to replay.
    void expectRefused(const std::string& path, const std::string& why) {
        ReplayManager& replay = ReplayManager::getInstance();
        EXPECT_EQ(replay.startReplay(path), -1);
        EXPECT_FALSE(replay.isReplaying());
        EXPECT_EQ(replay.getError().rfind(path + ": ", 0), 0u) << replay.getError();
        EXPECT_NE(replay.getError().find(why), std::string::npos) << replay.getError();
        EXPECT_EQ(replay.getError().find('\n'), std::string::npos);
    }
};

TEST_F(ReplayRefusalTest, MissingTruncatedCorruptedAndForeignFilesAreRefused) {
    const std::string good = sample().encode();
    const std::string path = dir().file("bad.vtr");
    std::string version_two = good;
    version_two[8] = 2;
    std::string huge_count = good;
    // The first checkpoint's object count, after its tag, step and hash.
    const std::size_t count_at = good.find(std::string("\x05\x06\0\0\0", 5)) + 13;
    huge_count.replace(count_at, 4, "\xff\xff\xff\xff");

    struct BadFile {
        std::string name;
        std::string bytes;
        const char* why;
    };
    std::vector<BadFile> files = {
        {"empty", "", "not a replay file"},
        {"foreign", "#!/bin/sh\necho hello\n", "not a replay file"},
        {"another version", version_two, "version 2, this program reads version 1"},
        {"trailing bytes", good + "x", "data after the end record"},
        {"an object count beyond the file", huge_count, "truncated"},
    };
    for (std::size_t size = 0; size < good.size(); size++)
        files.push_back({"cut at " + std::to_string(size), good.substr(0, size),
                         size < 8 ? "not a replay file" : "truncated"});
    for (std::size_t at = 0; at < good.size(); at++) {
        files.push_back({"byte " + std::to_string(at) + " changed", good, ""});
        files.back().bytes[at] = static_cast<char>(good[at] ^ 0x10);
    }
    for (const BadFile& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(test::writeFile(path, file.bytes));
        expectRefused(path, file.why);
    }
    expectRefused(dir().file("missing.vtr"), "No such file");
    expectRefused(dir().path(), "not a regular file");
}

TEST_F(ReplayRefusalTest, RecordingIsSetUpBeforeStartUpIntoAWritableFile) {
    ReplayManager& replay = ReplayManager::getInstance();
    EXPECT_EQ(replay.startRecording(dir().file("none/run.vtr")), -1);
    EXPECT_EQ(replay.startRecording(dir().file("run.vtr"), 0), -1);
    EXPECT_FALSE(replay.isRecording());
    ASSERT_EQ(startEngine(), 0);
    EXPECT_EQ(replay.startRecording(dir().file("run.vtr")), -1);
    ASSERT_TRUE(test::writeFile(dir().file("good.vtr"), sample().encode()));
    EXPECT_EQ(replay.startReplay(dir().file("good.vtr")), -1);
    EXPECT_FALSE(replay.isDeterministic());
    EXPECT_EQ(test::countLines(logText(), "Must come before the game manager starts."), 2);
}

} // namespace
} // namespace vt
