#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/EngineTest.h"
#include "vintrel/core/Config.h"

// Configuration files that are not what they claim: the engine must refuse
// each one with a line a person sees, read no more than the size limit, and
// keep its defaults.
namespace vt::test {
namespace {

// Bytes this process has read through system calls so far.
long long bytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

class ConfigStressTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(headlessConfig() + "frame_time:20,"), 0); }

    /// Loads the configuration from path, with the log open; what went to standard error.
    std::string loadFrom(const std::string& path) {
        Config::getInstance().reset();
        setenv("VINTREL_CONFIG", path.c_str(), 1);
        testing::internal::CaptureStderr();
        Config::getInstance().loadConfig("");
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(ConfigStressTest, FilesThatAreNotRegularOrCannotBeReadLeaveTheDefaults) {
    ASSERT_EQ(mkfifo(dir().file("pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("loop", dir().file("loop").c_str()), 0);
    struct Case {
        std::string path;
        const char* message;
    };
    // Tests run as root, whom permissions do not stop; a link that points to
    // itself cannot be opened, and /proc/self/mem opens as a regular file
    // whose first page cannot be read, whoever asks.
    const Case cases[] = {
        {"/dev/zero", "is not a regular file"},
        {dir().path(), "is not a regular file"},
        {dir().file("pipe"), "is not a regular file"},
        {dir().file("loop"), "Cannot read configuration file"},
        {"/proc/self/mem", "Cannot read configuration file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string err = loadFrom(c.path);
        EXPECT_EQ(countLines(err, c.message), 1) << err;
        EXPECT_EQ(countLines(logText(), c.message), 1);
        EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
        EXPECT_FALSE(Config::getInstance().getHeadless());
        writeFile(logPath(), "");
    }
}

TEST_F(ConfigStressTest, AHugeSingleLineIsRefusedAfterReadingOnlyTheLimit) {
    const std::string path = dir().file("huge.txt");
    {
        std::ofstream huge(path);
        huge << "frame_time:20,headless:true,";
    }
    // 64 MiB of one line, without a line break, written sparsely.
    ASSERT_EQ(truncate(path.c_str(), 64 << 20), 0);
    const long long before = bytesRead();
    ASSERT_GE(before, 0) << "no /proc/self/io";
    const std::string err = loadFrom(path);
    const long long read = bytesRead() - before;
    EXPECT_EQ(countLines(err, "is larger than 1048576 bytes"), 1) << err;
    EXPECT_LT(read, 2 << 20) << "bytes read";
    EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
    EXPECT_FALSE(Config::getInstance().getHeadless());
}

} // namespace
} // namespace vt::test
