#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ExecutablePath.h"
#include "support/EngineTest.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/DataFile.h"
#include "vintrel/core/GameManager.h"

// Data files are looked for in the working directory, then beside the
// program; the log names each one found elsewhere.
namespace vt::test {
namespace {

class DataFileTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_beside = std::filesystem::path(platform::executablePath()).parent_path() / m_name;
        ASSERT_TRUE(writeFile(m_beside.string(), "beside"));
    }
    void TearDown() override {
        std::filesystem::remove(m_beside);
        EngineTest::TearDown();
    }

    // Unique to this process: test programs run side by side.
    const std::string m_name = "data-file-test-" + std::to_string(getpid()) + ".txt";
    std::filesystem::path m_beside;
};

TEST_F(DataFileTest, TheWorkingDirectoryWinsThenBesideTheProgramUnlessTakenAsItIs) {
    ASSERT_EQ(startEngine(), 0);
    const std::string found_line = "findDataFile(): '" + m_name +
                                   "' is not in the working directory: found in '" +
                                   m_beside.parent_path().string() + "'.";
    EXPECT_EQ(findDataFile(m_name), m_beside.string());
    EXPECT_EQ(countLines(logText(), found_line), 1);
    EXPECT_EQ(dataDirectories().front(), m_beside.parent_path().string());

    for (const std::string& name :
         std::vector<std::string>{"./" + m_name, "../" + m_name, "/no/such/" + m_name, "no-such-file.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(findDataFile(name), name);
    }
    ASSERT_TRUE(writeFile(dir().file(m_name), "here"));
    EXPECT_EQ(findDataFile(m_name), m_name);
    std::filesystem::remove(dir().file(m_name));
    Config::getInstance().loadConfig("data_paths:false,");
    EXPECT_EQ(findDataFile(m_name), m_name);
    EXPECT_EQ(countLines(logText(), "findDataFile()"), 1);
}

TEST_F(DataFileTest, AConfigurationFileBesideTheProgramIsReadAndNamedInTheLog) {
    ASSERT_TRUE(writeFile(m_beside.string(), "headless:true,\nnetworking:false,\nrandom_seed:99,\n"));
    setenv("VINTREL_CONFIG", m_name.c_str(), 1);
    ASSERT_EQ(GameManager::getInstance().startUp(), 0);
    EXPECT_EQ(Config::getInstance().getRandomSeed(), 99);
    // Found before the log opened, it is named once the log is open.
    EXPECT_EQ(countLines(logText(), "findDataFile(): '" + m_name + "' is not in the working directory"), 1);
}

} // namespace
} // namespace vt::test
