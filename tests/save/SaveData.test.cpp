#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "support/EngineTest.h"
#include "vintrel/core/Config.h"
#include "vintrel/save/SaveData.h"

namespace vt::test {
namespace {

class SaveDataTest : public EngineTest {
  protected:
    SaveDataTest() : m_home(std::getenv("HOME") ? std::getenv("HOME") : "") {
        setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    }
    ~SaveDataTest() override {
        unsetenv("XDG_DATA_HOME");
        setenv("HOME", m_home.c_str(), 1);
    }
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }

    std::string dataHome() const { return dir().file("data"); }
    std::string savePath() const { return dataHome() + "/keeper/save.txt"; }
    // The save as a new run of the game finds it.
    static SaveData& reopen(int* p_result = nullptr) {
        SaveData& save = SaveData::getInstance();
        save.reset();
        const int result = save.open("keeper");
        if (p_result != nullptr)
            *p_result = result;
        return save;
    }

  private:
    std::string m_home;
};

TEST_F(SaveDataTest, ValuesComeBackAsTheyWereSavedWhateverTheirBytes) {
    SaveData& save = reopen();
    EXPECT_EQ(save.getInt("best", -1), -1) << "a game without a save file gets its defaults";
    const std::string awkward[] = {"", "two\nlines\r\n", "back\\slash \\n", std::string("zero\0byte", 9),
                                   std::string(SaveData::MAX_VALUE_BYTES, '\\')};
    for (std::size_t i = 0; i < std::size(awkward); i++)
        ASSERT_EQ(save.setString("text." + std::to_string(i), awkward[i]), 0);
    ASSERT_EQ(save.setInt("best", -2147483647 - 1), 0);
    ASSERT_EQ(save.setString("not-a-number", "12x"), 0);
    ASSERT_EQ(save.save(), 0) << logText();
    EXPECT_EQ(save.getPath(), savePath());

    int result = -1;
    reopen(&result);
    EXPECT_EQ(result, 0) << logText();
    for (std::size_t i = 0; i < std::size(awkward); i++)
        EXPECT_EQ(save.getString("text." + std::to_string(i), "absent"), awkward[i]) << i;
    EXPECT_EQ(save.getInt("best"), -2147483647 - 1);
    EXPECT_EQ(save.getInt("not-a-number", 7), 7);
    EXPECT_EQ(save.remove("best"), 0);
    EXPECT_EQ(save.remove("best"), -1);
    EXPECT_FALSE(save.has("best"));
}

TEST_F(SaveDataTest, KeysValuesAndNamesBeyondTheLimitsAreRefused) {
    SaveData& save = reopen();
    const std::string refused_keys[] = {
        "", "a b", "key:value", "x,y", "a/b", "caf\xc3\xa9", std::string(SaveData::MAX_KEY_BYTES + 1, 'k')};
    for (const std::string& key : refused_keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(save.setString(key, "1"), -1);
    }
    EXPECT_EQ(save.setString(std::string(SaveData::MAX_KEY_BYTES, 'k'), "1"), 0);
    EXPECT_EQ(save.setString("long", std::string(SaveData::MAX_VALUE_BYTES + 1, 'v')), -1);
    for (std::size_t i = 1; i < SaveData::MAX_ENTRIES; i++)
        ASSERT_EQ(save.setInt("key" + std::to_string(i), 1), 0);
    EXPECT_EQ(save.setInt("one.too.many", 1), -1);
    EXPECT_EQ(save.setInt("key1", 2), 0) << "a key already held takes a new value";
    EXPECT_EQ(countLines(logText(), "SaveData::setString(): Error!"), 9);

    const std::string refused_names[] = {
        "", ".hidden", "..", "../up", "a/b", "a b", std::string(SaveData::MAX_GAME_NAME_BYTES + 1, 'g')};
    for (const std::string& name : refused_names) {
        SCOPED_TRACE(name);
        save.reset();
        EXPECT_EQ(save.open(name), -1);
        EXPECT_FALSE(save.isOpen());
        EXPECT_EQ(save.save(), -1);
    }
    EXPECT_FALSE(std::filesystem::exists(dataHome())) << "nothing is made for a name refused";
}

TEST_F(SaveDataTest, FolderComesFromTheDataHomeAndTheConfiguredNameWins) {
    SaveData& save = SaveData::getInstance();
    setenv("HOME", dir().path().c_str(), 1);
    struct Place {
        const char* data_home;
        const char* configured_name;
        std::string path;
    };
    const Place places[] = {
        {"/absolute", nullptr, dataHome() + "/keeper/save.txt"},
        {"relative/ignored", nullptr, dir().path() + "/.local/share/keeper/save.txt"},
        {nullptr, nullptr, dir().path() + "/.local/share/keeper/save.txt"},
        {"/absolute", "other-game", dataHome() + "/other-game/save.txt"},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.path);
        if (place.data_home == nullptr)
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", place.data_home[0] == '/' ? dataHome().c_str() : place.data_home, 1);
        Config::getInstance().loadConfig(std::string("game_name:") +
                                         (place.configured_name ? place.configured_name : "keeper") + ",");
        save.reset();
        ASSERT_EQ(save.open("keeper"), 0);
        ASSERT_EQ(save.setInt("best", 1), 0);
        ASSERT_EQ(save.save(), 0) << logText();
        EXPECT_EQ(save.getPath(), place.path);
        EXPECT_TRUE(std::filesystem::is_regular_file(place.path));
    }
}

TEST_F(SaveDataTest, CorruptForeignAndOversizedFilesAreRefusedWithOneLineAndTheDefaults) {
    SaveData& save = reopen();
    ASSERT_EQ(save.setInt("best", 120), 0);
    ASSERT_EQ(save.setString("name", "Ada"), 0);
    ASSERT_EQ(save.save(), 0);
    const std::string good = readFile(savePath());

    struct BadFile {
        std::string name;
        std::string bytes;
        const char* why;
    };
    std::vector<BadFile> files = {
        {"foreign", "#!/bin/sh\necho hello\n", "not a save file"},
        {"another format", "vintrel-save 2\nbest=1\nend 1 0000000000000000\n", "another save format"},
        {"text after the end", good + "best=9\n", "after the end line"},
        {"oversized", "vintrel-save 1\n" + std::string(SaveData::MAX_FILE_BYTES, 'x'), "larger than"},
    };
    for (std::size_t size = 0; size < good.size(); size++)
        files.push_back({"cut at " + std::to_string(size), good.substr(0, size), ""});
    for (std::size_t at = 0; at < good.size(); at++) {
        files.push_back({"byte " + std::to_string(at) + " changed", good, ""});
        files.back().bytes[at] = static_cast<char>(good[at] ^ 0x01);
    }
    for (const BadFile& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(writeFile(savePath(), file.bytes));
        const int lines_before = countLines(logText(), "refused");
        int result = 0;
        reopen(&result);
        EXPECT_EQ(result, -1);
        EXPECT_FALSE(save.has("best"));
        const std::string log = logText();
        EXPECT_EQ(countLines(log, "refused"), lines_before + 1);
        EXPECT_NE(log.rfind(file.why), std::string::npos);
    }

    // The next save keeps the refused file beside the new one.
    ASSERT_EQ(save.setInt("best", 5), 0);
    ASSERT_EQ(save.save(), 0);
    EXPECT_EQ(readFile(savePath() + ".refused"), files.back().bytes);
    EXPECT_EQ(reopen().getInt("best"), 5);

    std::filesystem::remove(savePath());
    std::filesystem::create_directory(savePath());
    int result = 0;
    reopen(&result);
    EXPECT_EQ(result, -1);
    EXPECT_NE(logText().rfind("not a regular file"), std::string::npos);
}

// The generation's values: every one shows which save wrote it, and they are
// large enough that a kill often lands in the middle of writing them.
void fillGeneration(SaveData& save, int generation) {
    save.setInt("generation", generation);
    for (int i = 0; i < 200; i++)
        save.setString("k" + std::to_string(i), std::string(900, static_cast<char>('a' + generation % 26)) +
                                                    std::to_string(generation));
}

bool holdsOneGeneration(SaveData& save, int* p_generation) {
    *p_generation = save.getInt("generation", -1);
    const std::string expected =
        std::string(900, static_cast<char>('a' + *p_generation % 26)) + std::to_string(*p_generation);
    for (int i = 0; i < 200; i++)
        if (save.getString("k" + std::to_string(i)) != expected)
            return false;
    return *p_generation >= 0;
}

TEST_F(SaveDataTest, KilledWhileSavingLeavesTheOldSaveOrTheNewOneWhole) {
    SaveData& save = reopen();
    fillGeneration(save, 0);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(save.save(), 0);
    // Kills are spread over the writer's first three saves or so, whatever
    // one takes on this machine.
    const auto spread = 3 * std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - started) +
                        std::chrono::milliseconds(1);
    std::mt19937 random(12345);
    int generation = 0;
    int rounds_saved = 0;
    long killed_while_writing = 0;
    // Rounds go on until both outcomes were seen often enough; how often a
    // kill lands mid-write depends on the machine and the build.
    for (int round = 0; round < 600 && (killed_while_writing <= 10 || rounds_saved <= 10); round++) {
        SCOPED_TRACE(round);
        const pid_t writer = fork();
        if (writer == 0) {
            // Saves one generation after another until it is killed.
            for (int next = generation + 1;; next++) {
                fillGeneration(save, next);
                save.save();
            }
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(random() % static_cast<std::uint64_t>(spread.count())));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        int result = -1;
        reopen(&result);
        ASSERT_EQ(result, 0) << logText();
        const int before = generation;
        ASSERT_TRUE(holdsOneGeneration(save, &generation)) << "generation " << generation;
        ASSERT_GE(generation, before);
        rounds_saved += generation > before ? 1 : 0;
        // Each writer killed while writing left its unfinished file behind.
        killed_while_writing =
            std::distance(std::filesystem::directory_iterator(dataHome() + "/keeper"), {}) - 1;
    }
    EXPECT_GT(killed_while_writing, 10);
    EXPECT_GT(rounds_saved, 10);
}

// A tmpfs of 64 KiB as the data home, unmounted however the test ends.
class SmallDisk {
  public:
    explicit SmallDisk(const std::string& path) : m_path(path) {
        std::filesystem::create_directories(path);
        m_mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
        m_error = m_mounted ? "" : std::strerror(errno);
    }
    ~SmallDisk() {
        if (m_mounted)
            umount2(m_path.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    const std::string& error() const { return m_error; }

  private:
    std::string m_path;
    bool m_mounted = false;
    std::string m_error;
};

TEST_F(SaveDataTest, FullDiskLeavesThePreviousSaveWholeAndNothingBeside) {
    const SmallDisk disk(dataHome());
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (" << disk.error() << "): mounting needs root";
    SaveData& save = reopen();
    ASSERT_EQ(save.setInt("best", 1), 0);
    ASSERT_EQ(save.save(), 0);
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(save.setString("filler" + std::to_string(i), std::string(1000, 'f')), 0);
    EXPECT_EQ(save.save(), -1);
    EXPECT_EQ(countLines(logText(), "The previous save is left as it was"), 1);

    int result = -1;
    reopen(&result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(save.getInt("best"), 1);
    EXPECT_FALSE(save.has("filler0"));
    const auto entries = std::distance(std::filesystem::directory_iterator(dataHome() + "/keeper"), {});
    EXPECT_EQ(entries, 1) << "the new file is gone, and its space with it";
    ASSERT_EQ(save.setInt("best", 2), 0);
    EXPECT_EQ(save.save(), 0);
}

} // namespace
} // namespace vt::test
