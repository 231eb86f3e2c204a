#include "support/EngineTest.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"

namespace vt::test {

namespace {

// The Mesa software driver that renders under Xvfb is unloaded when the last
// GL context goes away, leaving allocations it still owns behind an unmapped
// module: the leak checker then reports them with no symbol to suppress.
// Loading the driver once more, never to be unloaded, keeps those blocks
// reachable, so that leak reports speak of our own code only.
struct KeepGraphicsDriverLoaded {
    KeepGraphicsDriverLoaded() {
        const char* const drivers[] = {
            "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
            "/usr/lib/x86_64-linux-gnu/dri/kms_swrast_dri.so",
        };
        for (const char* path : drivers)
            dlopen(path, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    }
};

const KeepGraphicsDriverLoaded g_keep_graphics_driver_loaded;

} // namespace

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

void resetEngineState() {
    if (GameManager::getInstance().restoreDefaults() != 0)
        ADD_FAILURE() << "the engine's defaults were not restored: it still runs";
}

EngineTest::EngineTest() {
    resetEngineState();
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
