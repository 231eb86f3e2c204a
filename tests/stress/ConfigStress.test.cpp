#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/EngineTest.h"
#include "vintrel/core/Config.h"

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
    // Tests run as root, whom permissions do not stop; a link that points to
    // itself cannot be opened, and /proc/self/mem opens as a regular file
    // whose first page cannot be read, whoever asks.
    const std::pair<std::string, const char*> cases[] = {
        {"/dev/zero", "is not a regular file"},
        {dir().path(), "is not a regular file"},
        {dir().file("pipe"), "is not a regular file"},
        {dir().file("loop"), "Cannot read configuration file"},
        {"/proc/self/mem", "Cannot read configuration file"},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        const std::string err = loadFrom(path);
        EXPECT_EQ(countLines(err, message), 1) << err;
        EXPECT_EQ(countLines(logText(), message), 1);
        EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
        EXPECT_FALSE(Config::getInstance().getHeadless());
        writeFile(logPath(), "");
    }
}

TEST_F(ConfigStressTest, AHugeSingleLineIsRefusedAfterReadingOnlyTheLimit) {
    // 64 MiB of one line, without a line break, written sparsely.
    const std::string path = dir().file("huge.txt");
    ASSERT_TRUE(writeFile(path, "frame_time:20,headless:true,"));
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
