#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/ChildProcess.h"
#include "support/EngineTest.h"

// Xlib's macros clash with other names: it comes last.
#include <X11/Xlib.h>

// The real game started on an X server of the test's own, one that resets
// whenever its last client leaves, as a bare server started for one program
// does.
namespace {

using namespace std::chrono_literals;
using vt::test::ChildProcess;
using vt::test::countLines;
using vt::test::readFile;
using vt::test::waitFor;

/// An Xvfb of its own on a display number nobody uses, stopped with the test.
class OwnXServer {
  public:
    OwnXServer() = default;
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;

    /// Starts it with the extra arguments; false when no server could start.
    bool start(const std::string& directory, const std::vector<std::string>& extra) {
        for (int number = 150; number < 250; number++) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (std::filesystem::exists(socket) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
                continue;
            std::vector<std::string> arguments{
                ":" + std::to_string(number), "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
            arguments.insert(arguments.end(), extra.begin(), extra.end());
            if (!m_server.start("/usr/bin/Xvfb", arguments, directory, {}, directory + "/xvfb.out"))
                return false;
            // Waiting for the socket, not connecting: a connection closed
            // again would reset the server before the game starts.
            int exited = -1;
            if (waitFor(
                    [&] {
                        return std::filesystem::exists(socket) || (exited = m_server.exitCode(0ms)) != -1;
                    },
                    10s) &&
                exited == -1) {
                m_display = ":" + std::to_string(number);
                return true;
            }
        }
        return false;
    }
    /// Stopped with SIGTERM, the server removes its socket and lock file.
    ~OwnXServer() {
        m_server.signal(SIGTERM);
        m_server.exitCode(5s);
    }
    const std::string& display() const { return m_display; }

  private:
    ChildProcess m_server;
    std::string m_display;
};

class DisplayStartUpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/bin/Xvfb"))
            GTEST_SKIP() << "needs Xvfb";
        for (const char* name : {"sprites", "sounds", "vt-font.ttf"}) {
            std::error_code error;
            std::filesystem::create_symlink(std::filesystem::path(VINTREL_GAME_DATA_DIR) / name,
                                            m_dir.file(name), error);
            ASSERT_FALSE(error) << error.message();
        }
        // Short steps: the title sequence is over in half a second.
        ASSERT_TRUE(vt::test::writeFile(m_dir.file("vt-config.txt"),
                                        "networking:false,\nrandom_seed:3,\nframe_time:5,\n"));
    }

    /// Starts the game on the display; its log is name.log, its output name.out.
    void launch(ChildProcess* p_game, const std::string& display, const std::string& name) {
        const char* asan = std::getenv("ASAN_OPTIONS");
        ASSERT_TRUE(p_game->start(VINTREL_SHOOTER, {}, m_dir.path(),
                                  {{"DISPLAY", display},
                                   {"VINTREL_CONFIG", "vt-config.txt"},
                                   {"VINTREL_LOG", name + ".log"},
                                   {"ALSOFT_DRIVERS", "null"},
                                   {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0"}},
                                  m_dir.file(name + ".out")));
    }

    std::string text(const std::string& name) const { return readFile(m_dir.file(name)); }

    vt::test::TempDir m_dir;
};

TEST_F(DisplayStartUpTest, TenStartsInARowOnAServerThatResetsWhenLeftAllSucceed) {
    OwnXServer server;
    ASSERT_TRUE(server.start(m_dir.path(), {})) << text("xvfb.out");
    for (int i = 0; i < 10; i++) {
        SCOPED_TRACE("start " + std::to_string(i + 1));
        const std::string name = "game" + std::to_string(i);
        ChildProcess game;
        launch(&game, server.display(), name);
        // The pause key is set up once the game proper begins, in its window.
        int code = -1;
        waitFor(
            [&] {
                code = game.exitCode(0ms);
                return code != -1 || countLines(text(name + ".log"), "Pause::Pause(): Pause enabled.") == 1;
            },
            30s);
        if (code == -1) {
            game.signal(SIGTERM);
            code = game.exitCode(20s);
        }
        EXPECT_EQ(code, 0) << text(name + ".out") << text(name + ".log");
        EXPECT_EQ(countLines(text(name + ".log"), "Pause::Pause(): Pause enabled."), 1);
        EXPECT_EQ(countLines(text(name + ".log"), "** Game engine stopped **"), 1);
    }
}

TEST_F(DisplayStartUpTest, AWindowLibraryThatCannotConnectEndsTheGameWithItsLogWritten) {
    OwnXServer server;
    ASSERT_TRUE(server.start(m_dir.path(), {"-maxclients", "64", "-noreset"})) << text("xvfb.out");
    // Every connection the server takes but one: the engine's own check gets
    // it, the window library's connection after it is refused.
    std::vector<Display*> taken;
    while (taken.size() < 200) {
        Display* p_display = XOpenDisplay(server.display().c_str());
        if (p_display == nullptr)
            break;
        taken.push_back(p_display);
    }
    ASSERT_FALSE(taken.empty());
    XCloseDisplay(taken.back());
    taken.pop_back();

    ChildProcess game;
    launch(&game, server.display(), "game");
    const int code = game.exitCode(30s);
    for (Display* p_display : taken)
        XCloseDisplay(p_display);

    const std::string log = text("game.log");
    const std::string lost = "DisplayManager::startUp(): Error! The window library gave up opening a window "
                             "on display '" +
                             server.display() + "' and ended the game.";
    EXPECT_EQ(code, 1) << text("game.out") << log;
    EXPECT_EQ(countLines(log, "** Game engine started **"), 1) << log;
    EXPECT_EQ(countLines(log, lost), 1) << log;
    EXPECT_LT(log.find("** Game engine started **"), log.find(lost));
    EXPECT_EQ(countLines(text("game.out"), "Vintrel: " + lost), 1) << text("game.out");
}

} // namespace
