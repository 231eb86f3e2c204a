#include "support/EngineTest.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"

namespace vt::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vintrel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "cannot make a temporary directory";
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::file(const std::string& name) const { return m_path + "/" + name; }

bool writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int countLines(const std::string& text, const std::string& fragment) {
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line))
        if (line.find(fragment) != std::string::npos)
            count++;
    return count;
}

std::string headlessConfig() { return "headless:true,\nnetworking:false,\nrandom_seed:42,\n"; }

EngineTest::EngineTest() {
    char cwd[4096];
    if (getcwd(cwd, sizeof(cwd)))
        m_previous_cwd = cwd;
    if (chdir(m_dir.path().c_str()) != 0)
        ADD_FAILURE() << "cannot enter " << m_dir.path();
    setenv("VINTREL_CONFIG", configPath().c_str(), 1);
    setenv("VINTREL_LOG", logPath().c_str(), 1);
}

EngineTest::~EngineTest() {
    stopEngine();
    if (!m_previous_cwd.empty() && chdir(m_previous_cwd.c_str()) != 0)
        std::perror("chdir");
}

void EngineTest::writeConfig(const std::string& config_text) {
    ASSERT_TRUE(writeFile(configPath(), config_text));
}

int EngineTest::startEngine(const std::string& config_text) {
    writeConfig(config_text);
    return GameManager::getInstance().startUp();
}

void EngineTest::stopEngine() {
    if (GameManager::getInstance().isStarted() || LogManager::getInstance().isStarted())
        GameManager::getInstance().shutDown();
}

std::string EngineTest::logText() const {
    std::fflush(nullptr);
    return readFile(logPath());
}

} // namespace vt::test
