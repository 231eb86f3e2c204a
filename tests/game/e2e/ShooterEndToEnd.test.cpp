#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/EngineTest.h"
#include "support/XInput.h"

// The real game binary in a window of the X display, played with real key
// presses and clicks through xdotool; what it shows is read back from
// screenshots, what it did from its log.
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;
constexpr float CELL_W = WIDTH / 80.0f;
constexpr float CELL_H = HEIGHT / 24.0f;

using vt::test::runCommand;
using vt::test::waitFor;

/// One screenshot of the game window as RGB bytes.
class Shot {
  public:
    bool empty() const { return m_rgb.size() != static_cast<size_t>(WIDTH * HEIGHT * 3); }

    /// Pixels of the colour in the rectangle of cells [x0, x1) x [y0, y1).
    int count(float x0, float y0, float x1, float y1, const std::function<bool(int, int, int)>& is) const {
        if (empty())
            return 0;
        int n = 0;
        for (int py = static_cast<int>(y0 * CELL_H); py < static_cast<int>(y1 * CELL_H) && py < HEIGHT; ++py)
            for (int px = static_cast<int>(x0 * CELL_W); px < static_cast<int>(x1 * CELL_W) && px < WIDTH;
                 ++px) {
                const size_t i = (static_cast<size_t>(py) * WIDTH + static_cast<size_t>(px)) * 3;
                if (is(m_rgb[i], m_rgb[i + 1], m_rgb[i + 2]))
                    ++n;
            }
        return n;
    }
    /// Leftmost pixel column of the colour anywhere, or -1.
    int leftmost(const std::function<bool(int, int, int)>& is) const {
        for (int px = 0; px < WIDTH && !empty(); ++px)
            for (int py = 0; py < HEIGHT; ++py) {
                const size_t i = (static_cast<size_t>(py) * WIDTH + static_cast<size_t>(px)) * 3;
                if (is(m_rgb[i], m_rgb[i + 1], m_rgb[i + 2]))
                    return px;
            }
        return -1;
    }

    std::vector<unsigned char> m_rgb;
};

bool yellow(int r, int g, int b) { return r > 200 && g > 200 && b < 90; }
bool cyan(int r, int g, int b) { return r < 90 && g > 200 && b > 200; }
bool white(int r, int g, int b) { return r > 200 && g > 200 && b > 200; }
bool red(int r, int g, int b) { return r > 200 && g < 90 && b < 90; }

class ShooterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        if (runCommand("command -v xdotool").empty() || runCommand("command -v import").empty())
            GTEST_SKIP() << "needs xdotool and imagemagick";
        m_title = "VintrelShooter" + std::to_string(getpid());
        for (const char* name : {"sprites", "sounds", "vt-font.ttf"}) {
            std::error_code error;
            std::filesystem::create_symlink(std::filesystem::path(VINTREL_GAME_DATA_DIR) / name,
                                            m_dir.file(name), error);
            ASSERT_FALSE(error) << error.message();
        }
        ASSERT_TRUE(
            vt::test::writeFile(m_dir.file("vt-config.txt"),
                                "window_title:" + m_title +
                                    ",\nwindow_horizontal_pixels:1024,\n"
                                    "window_vertical_pixels:768,\nnetworking:false,\nrandom_seed:3,\n"));
    }

    void TearDown() override {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    /// Starts the game; its standard error goes to a file (stderr()). A
    /// display, when given, replaces the environment's.
    void launch(const char* display = nullptr) {
        m_pid = fork();
        if (m_pid == 0) {
            if (chdir(m_dir.path().c_str()) != 0 || std::freopen("stderr.txt", "w", stderr) == nullptr)
                _exit(127);
            if (display != nullptr)
                setenv("DISPLAY", display, 1);
            setenv("VINTREL_CONFIG", "vt-config.txt", 1);
            setenv("VINTREL_LOG", "shooter.log", 1);
            setenv("ALSOFT_DRIVERS", "null", 1);
            // In a sanitizer build the software GL driver's own leaks are
            // recognisable only with slow unwinding, under which its shader
            // compiler takes minutes to draw a frame. The game's objects are
            // leak-checked by the headless tests; here memory errors still stop it.
            const char* asan = std::getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":detect_leaks=0").c_str(), 1);
            execl(VINTREL_SHOOTER, VINTREL_SHOOTER, static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(m_pid, 0);
    }

    /// The X id of the game's window, once it is there.
    bool findWindow() {
        return waitFor(
            [this] {
                const std::string found = runCommand("xdotool search --name '^" + m_title + "$' 2>/dev/null");
                m_window = std::strtoul(found.c_str(), nullptr, 10);
                return m_window != 0;
            },
            20s);
    }

    void xdo(const std::string& args) { runCommand("xdotool " + args + " >/dev/null 2>&1"); }
    void focus() { xdo("windowfocus " + std::to_string(m_window)); }
    /// A real key press: down, long enough to be seen held in a step, up.
    void tap(const std::string& keysym, std::chrono::milliseconds held = 120ms) {
        focus();
        xdo("keydown " + keysym);
        std::this_thread::sleep_for(held);
        xdo("keyup " + keysym);
    }
    /// Mouse to the middle of a cell, then a click of the button.
    void clickCell(float x, float y, int button) {
        focus();
        xdo("mousemove --window " + std::to_string(m_window) + " " +
            std::to_string(static_cast<int>((x + 0.5f) * CELL_W)) + " " +
            std::to_string(static_cast<int>((y + 0.5f) * CELL_H)));
        std::this_thread::sleep_for(100ms);
        xdo("click " + std::to_string(button));
    }

    /// A screenshot of the window, also kept as a PNG beside the test for a look.
    Shot shoot(const std::string& name) {
        const std::string png = std::string(VINTREL_E2E_SHOTS) + "/" + name + ".png";
        const std::string rgb = m_dir.file(name + ".rgb");
        runCommand("import -window " + std::to_string(m_window) + " " + png + " 2>/dev/null && convert " +
                   png + " -depth 8 rgb:" + rgb + " 2>/dev/null");
        Shot shot;
        const std::string bytes = vt::test::readFile(rgb);
        shot.m_rgb.assign(bytes.begin(), bytes.end());
        return shot;
    }
    /// Waits until a screenshot satisfies the condition; the last one taken.
    Shot shootUntil(const std::string& name, const std::function<bool(const Shot&)>& condition,
                    std::chrono::milliseconds limit) {
        Shot shot;
        waitFor(
            [&] {
                shot = shoot(name);
                return condition(shot);
            },
            limit);
        return shot;
    }

    /// The exit code, or -1 when the game is still running after the limit.
    int exitCode(std::chrono::milliseconds limit) {
        int status = 0;
        const bool ended = waitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, limit);
        if (!ended)
            return -1;
        m_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string log() const { return vt::test::readFile(m_dir.file("shooter.log")); }
    std::string stderrText() const { return vt::test::readFile(m_dir.file("stderr.txt")); }

    /// The title screen: yellow text in the middle of the window.
    static bool startScreen(const Shot& shot) { return shot.count(20, 8, 60, 16, yellow) > 500; }

    vt::test::TempDir m_dir;
    std::string m_title;
    pid_t m_pid = 0;
    unsigned long m_window = 0;
};

TEST_F(ShooterTest, PlayOneGameAndQuit) {
    launch();
    ASSERT_TRUE(findWindow()) << log();
    std::this_thread::sleep_for(600ms);

    // The splash is showing, not yet the title; a key ends it long before its three seconds.
    const Shot splash = shoot("1-splash");
    EXPECT_FALSE(startScreen(splash));
    tap("space");
    const auto skipped_at = Clock::now();
    const Shot title = shootUntil("2-title", startScreen, 5s);
    ASSERT_TRUE(startScreen(title)) << log();
    EXPECT_LT(Clock::now() - skipped_at, 2s);
    EXPECT_EQ(vt::test::countLines(log(), "Pause::Pause(): Pause enabled."), 1);

    // P: a ship at the centre, the score at the top centre, the title gone.
    const int out_lines = vt::test::countLines(log(), "Event vt-out handled automatically.");
    tap("p");
    const Shot playing = shootUntil(
        "3-playing", [](const Shot& s) { return s.count(35, 9, 45, 15, cyan) > 20; }, 3s);
    EXPECT_GT(playing.count(35, 9, 45, 15, cyan), 20);
    EXPECT_GT(playing.count(30, 0, 50, 3, white), 50);
    EXPECT_FALSE(startScreen(playing));
    EXPECT_GE(vt::test::countLines(log(), "Event vt-out handled automatically.") - out_lines, 5);

    // D held: the ship goes right.
    const int ship_before = playing.leftmost(cyan);
    tap("d", 700ms);
    const Shot moved = shoot("4-moved");
    const int ship_after = moved.leftmost(cyan);
    EXPECT_GT(ship_after, ship_before + static_cast<int>(2 * CELL_W));

    // A left click at the bottom left: the red cross-hair is there and a
    // yellow bullet is on its way.
    clickCell(4, 21, 1);
    const Shot fired = shoot("5-fired");
    EXPECT_GT(fired.count(3, 20, 6, 23, red), 5);
    EXPECT_GT(fired.count(0, 3, 80, 24, yellow), 3);

    // Q: the ship goes, the red game-over sign shows, then the title again.
    tap("q");
    const Shot over = shootUntil(
        "6-game-over", [](const Shot& s) { return s.count(20, 8, 60, 16, red) > 500; }, 2s);
    EXPECT_GT(over.count(20, 8, 60, 16, red), 500);
    EXPECT_LT(over.count(0, 3, 80, 24, cyan), 5);
    const Shot back = shootUntil("7-title-again", startScreen, 6s);
    ASSERT_TRUE(startScreen(back));

    tap("q");
    EXPECT_EQ(exitCode(10s), 0) << log();
    const std::string text = log();
    EXPECT_EQ(vt::test::countLines(text, "Error"), 0) << text;
    EXPECT_EQ(vt::test::countLines(text, "RM::loadSprite(): Error"), 0);
}

TEST_F(ShooterTest, ClosingTheWindowOnTheTitleEndsCleanly) {
    launch();
    ASSERT_TRUE(findWindow()) << log();
    std::this_thread::sleep_for(300ms);
    tap("Return");
    ASSERT_TRUE(startScreen(shootUntil("close-title", startScreen, 6s))) << log();
    vt::test::XInput window(m_window);
    ASSERT_TRUE(window.isOpen());
    ASSERT_TRUE(window.requestClose());
    EXPECT_EQ(exitCode(10s), 0) << log();
}

TEST_F(ShooterTest, InterruptedOnTheTitleItShutsDownCleanly) {
    launch();
    ASSERT_TRUE(findWindow()) << log();
    std::this_thread::sleep_for(300ms);
    tap("Return");
    ASSERT_TRUE(startScreen(shootUntil("interrupt-title", startScreen, 6s))) << log();
    kill(m_pid, SIGTERM);
    EXPECT_EQ(exitCode(10s), 0) << log();
    const std::string text = log();
    EXPECT_EQ(vt::test::countLines(text, "GameManager::run(): Signal 15 received; ending the game loop."), 1)
        << text;
    EXPECT_EQ(vt::test::countLines(text, "** Game engine stopped **"), 1) << text;
}

TEST_F(ShooterTest, WithoutADisplayTheGameSaysSoAndExitsWithOne) {
    launch(":4049");
    EXPECT_EQ(exitCode(20s), 1);
    EXPECT_EQ(vt::test::countLines(log(), "Error starting game manager!"), 1) << log();
    EXPECT_EQ(
        vt::test::countLines(log(), "DisplayManager::startUp(): Error! Unable to open a display (':4049')"),
        1);
    EXPECT_EQ(vt::test::countLines(stderrText(), "Unable to open a display"), 1) << stderrText();
}

TEST_F(ShooterTest, WithoutItsFontTheGameDoesNotStart) {
    std::filesystem::remove(m_dir.file("vt-font.ttf"));
    launch();
    EXPECT_EQ(exitCode(20s), 1);
    EXPECT_EQ(vt::test::countLines(log(), "Error starting game manager!"), 1) << log();
}

} // namespace
