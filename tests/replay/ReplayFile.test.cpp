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

namespace vt {
namespace {

// A checkpoint detail as a recorder writes it: per object, id, the mask of
// the attributes that follow, then each attribute's length and bytes.
std::string detail(int id, std::uint32_t mask, const std::vector<std::string>& attributes) {
    std::string bytes;
    const auto little = [&bytes](std::uint32_t value) {
        for (int i = 0; i < 4; i++)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    little(static_cast<std::uint32_t>(id));
    little(mask);
    for (const std::string& attribute : attributes) {
        little(static_cast<std::uint32_t>(attribute.size()));
        bytes += attribute;
    }
    return bytes;
}

// The sample with every record a recording may add.
ReplayFile sampleWithEverything() {
    ReplayFile file = sample();
    file.game_settings = {{"autoplay", "3"}, {"bind_fire", "SPACE+MOUSE_LEFT"}, {"empty", ""}};
    file.saved_values = {{"best", true, std::string("12\0x", 4)}, {"never.saved", false, ""}};
    file.details[6] = detail(1, 0x21, {"id..", "position"}) + detail(2, 0x40000, {"\x0c\0\0\0"});
    file.details[14] = detail(2147483647, 0x1, {"\xff\xff\xff\x7f"});
    return file;
}

TEST(ReplayFileTest, OlderRecordingsReadAndWriteBackByteForByte) {
    const std::string path = std::string(VINTREL_SOURCE_DIR) + "/game/replays/shooter.vtr";
    ReplayFile file;
    std::string error;
    ASSERT_EQ(file.load(path, error), 0) << error;
    EXPECT_TRUE(file.game_settings.empty());
    EXPECT_TRUE(file.saved_values.empty());
    EXPECT_TRUE(file.details.empty());
    EXPECT_EQ(file.encode(), test::readFile(path));
}

TEST(ReplayFileTest, SettingsSavedValuesAndDetailsReadBackTheSame) {
    const std::string bytes = sampleWithEverything().encode();
    ReplayFile read;
    std::string error;
    ASSERT_EQ(read.decode(bytes, error), 0) << error;
    EXPECT_EQ(read.encode(), bytes);
    ASSERT_EQ(read.game_settings.size(), 3u);
    EXPECT_EQ(read.game_settings[1].value, "SPACE+MOUSE_LEFT");
    EXPECT_EQ(read.game_settings[2].value, "");
    ASSERT_EQ(read.saved_values.size(), 2u);
    EXPECT_EQ(read.saved_values[0].value, std::string("12\0x", 4));
    EXPECT_FALSE(read.saved_values[1].present);
    EXPECT_EQ(read.details, sampleWithEverything().details);

    for (std::size_t size = 0; size < bytes.size(); size++) {
        SCOPED_TRACE(size);
        EXPECT_EQ(read.decode(bytes.substr(0, size), error), -1);
    }
}

TEST(ReplayFileTest, ForgedSettingsSavedValuesAndDetailsAreRefused) {
    struct Forgery {
        const char* name;
        void (*apply)(ReplayFile& file);
        const char* why;
    };
    const Forgery forgeries[] = {
        {"a setting twice",
         [](ReplayFile& f) {
             f.game_settings.push_back({"autoplay", "4"});
         },
         "repeated"},
        {"a saved key twice",
         [](ReplayFile& f) {
             f.saved_values.push_back({"best", true, "1"});
         },
         "repeated"},
        {"one setting too many",
         [](ReplayFile& f) {
             for (std::size_t i = 0; i < ReplayFile::MAX_NAMED_VALUES; i++)
                 f.game_settings.push_back({"s" + std::to_string(i), ""});
         },
         "one too many"},
        {"a detail of an object not in its checkpoint",
         [](ReplayFile& f) { f.details[13] = detail(1, 0x1, {"x"}); }, "does not fit"},
        {"a detail without attributes", [](ReplayFile& f) { f.details[6] = detail(1, 0, {}); },
         "does not fit"},
        {"a detail of unknown attributes", [](ReplayFile& f) { f.details[6] = detail(1, 0x200000, {"x"}); },
         "does not fit"},
        {"a detail out of id order",
         [](ReplayFile& f) { f.details[6] = detail(2, 0x1, {"x"}) + detail(1, 0x1, {"x"}); }, "does not fit"},
        {"a detail cut short", [](ReplayFile& f) { f.details[6].pop_back(); }, "cut short"},
    };
    for (const Forgery& forgery : forgeries) {
        SCOPED_TRACE(forgery.name);
        ReplayFile file = sampleWithEverything();
        forgery.apply(file);
        ReplayFile read;
        std::string error;
        EXPECT_EQ(read.decode(file.encode(), error), -1);
        EXPECT_NE(error.find(forgery.why), std::string::npos) << error;
    }
}

} // namespace
} // namespace vt
