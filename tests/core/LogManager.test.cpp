#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "support/EngineTest.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"

namespace vt::test {
namespace {

class LogManagerTest : public EngineTest {};

TEST_F(LogManagerTest, WritesUnlevelledLinesWithTimeAndStepPrefixesAndFiltersLevelledOnes) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);

    EXPECT_EQ(log.writeLog("hello %d", 42), 8);
    EXPECT_EQ(log.writeLog(1, "never shown"), 0);
    EXPECT_EQ(log.writeLog(0, "level zero %s", "shown"), 16);
    log.shutDown();

    const std::string text = readFile(logPath());
    EXPECT_TRUE(std::regex_search(text, std::regex("(^|\n)\\d\\d:\\d\\d:\\d\\d    0 hello 42\n")));
    EXPECT_EQ(text.find("never shown"), std::string::npos);
    EXPECT_NE(text.find("level zero shown"), std::string::npos);
    // The shut-down line is levelled, so nothing follows the last message.
    EXPECT_EQ(countLines(text, "successfully"), 0);
}

TEST_F(LogManagerTest, EnvironmentVariableWinsOverConfiguredFileName) {
    writeConfig("logfile:configured.log,");
    Config::getInstance().loadConfig("");
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("into the environment's file");
    log.shutDown();
    EXPECT_NE(readFile(logPath()).find("into the environment's file"), std::string::npos);
    EXPECT_TRUE(readFile(dir().file("configured.log")).empty());
}

TEST_F(LogManagerTest, ConfiguredFileNameIsUsedWithoutEnvironmentVariable) {
    unsetenv("VINTREL_LOG");
    writeConfig("logfile:configured.log,");
    Config::getInstance().loadConfig("");
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("into the configured file");
    log.shutDown();
    EXPECT_NE(readFile(dir().file("configured.log")).find("into the configured file"), std::string::npos);
}

TEST_F(LogManagerTest, SecondStartUpWarnsWithTypeTwice) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_EQ(log.startUp(), -1);
    log.shutDown();
    EXPECT_NE(readFile(logPath()).find("LogManager::startup(): Warning! LogManager already started."),
              std::string::npos);
}

TEST_F(LogManagerTest, UnopenableFileFailsStartUpAndReportsOnStandardError) {
    setenv("VINTREL_LOG", dir().file("missing-dir/x.log").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LogManager::getInstance().startUp(), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("LogManager::startup(): Warning! Unable to open file '"), std::string::npos);
    EXPECT_FALSE(LogManager::getInstance().isStarted());
}

TEST_F(LogManagerTest, LinesBeforeStartAndAfterShutDownGoToStandardError) {
    LogManager& log = LogManager::getInstance();
    testing::internal::CaptureStderr();
    log.writeLog("before the file");
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("inside the file");
    log.shutDown();
    log.writeLog("after the file");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("before the file"), std::string::npos);
    EXPECT_NE(err.find("after the file"), std::string::npos);
    EXPECT_EQ(err.find("inside the file"), std::string::npos);
}

TEST_F(LogManagerTest, TheFileStopsAtItsLimitWithOneLastLineSayingSo) {
    EXPECT_EQ(Config::getInstance().getLogfileMaxMb(), 64);
    ASSERT_EQ(startEngine(headlessConfig() + "logfile_max_mb:1,"), 0);
    LogManager& log = LogManager::getInstance();
    EXPECT_EQ(log.getMaxFileBytes(), 1 << 20);
    for (int i = 0; i < 20000; i++)
        log.writeLog("%s", std::string(100, 'x').c_str());
    EXPECT_EQ(log.writeLog("after the cut"), 0);
    stopEngine();
    const std::string text = readFile(logPath());
    EXPECT_LE(text.size(), 1u << 20);
    EXPECT_GT(text.size(), (1u << 20) - 512u);
    // One cut line, the last: not even the closing banner follows it.
    EXPECT_EQ(countLines(text, "Log cut here"), 1);
    EXPECT_NE(text.substr(text.rfind('\n', text.size() - 2)).find("Log cut here"), std::string::npos);

    testing::internal::CaptureStderr();
    Config::getInstance().loadConfig("logfile_max_mb:0,");
    EXPECT_EQ(countLines(testing::internal::GetCapturedStderr(), "Unsupported log file size '0'"), 1);
}

TEST_F(LogManagerTest, FlushMakesEachLineVisibleAtOnce) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.setFlush(true);
    log.writeLog("flushed line");
    // Read through a separate stream without flushing ours.
    std::FILE* p_f = std::fopen(logPath().c_str(), "r");
    ASSERT_NE(p_f, nullptr);
    char buffer[256] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof(buffer) - 1, p_f);
    std::fclose(p_f);
    EXPECT_NE(std::string(buffer, n).find("flushed line"), std::string::npos);
    log.shutDown();
}

} // namespace
} // namespace vt::test
