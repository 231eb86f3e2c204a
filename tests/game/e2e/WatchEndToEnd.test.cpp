#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "support/ChildProcess.h"
#include "support/EngineTest.h"

// The real shooter twice: one process hosting its game, another watching it.
namespace {

using namespace std::chrono_literals;
using vt::test::ChildProcess;
using vt::test::readFile;
using vt::test::runCommand;
using vt::test::waitFor;

class WatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sprites", "sounds", "vt-font.ttf"}) {
            std::error_code error;
            std::filesystem::create_symlink(std::filesystem::path(VINTREL_GAME_DATA_DIR) / name,
                                            m_dir.file(name), error);
            ASSERT_FALSE(error) << error.message();
        }
    }

    /// Starts the shooter with these arguments and settings; its output and
    /// log are `name`.out and `name`.log.
    void launch(ChildProcess* p_child, const std::string& name, const std::vector<std::string>& arguments,
                const std::string& config) {
        ASSERT_TRUE(vt::test::writeFile(m_dir.file(name + ".cfg"), config));
        const char* asan = std::getenv("ASAN_OPTIONS");
        ASSERT_TRUE(p_child->start(VINTREL_SHOOTER, arguments, m_dir.path(),
                                   {{"VINTREL_CONFIG", name + ".cfg"},
                                    {"VINTREL_LOG", name + ".log"},
                                    {"ALSOFT_DRIVERS", "null"},
                                    // The software GL driver's own leaks are not the game's.
                                    {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0"}},
                                   m_dir.file(name + ".out")));
    }
    std::string text(const std::string& file) const { return readFile(m_dir.file(file)); }
    /// The port the host says it serves on, once it says so; empty after the limit.
    std::string hostPort(std::chrono::milliseconds limit) const {
        std::string port;
        waitFor(
            [&] {
                const std::string out = text("host.out");
                const std::size_t at = out.find("serving the game on 127.0.0.1 port ");
                if (at != std::string::npos && out.find('\n', at) != std::string::npos)
                    port = std::to_string(std::atoi(out.c_str() + at + 35));
                return !port.empty();
            },
            limit);
        return port;
    }

    vt::test::TempDir m_dir;
};

TEST_F(WatchTest, WhenTheHostIsKilledTheWatcherSaysSoAndEndsWell) {
    const std::string headless = "headless:true,\nframe_time:20,\n";
    ChildProcess host;
    ChildProcess watcher;
    launch(&host, "host", {"--host", "127.0.0.1:0"}, headless);
    const std::string port = hostPort(20s);
    ASSERT_FALSE(port.empty()) << text("host.out") << text("host.log");
    launch(&watcher, "watch", {"--watch", "127.0.0.1:" + port}, headless);
    std::this_thread::sleep_for(1500ms);

    host.signal(SIGKILL);
    EXPECT_EQ(host.exitCode(5s), 128 + SIGKILL);
    EXPECT_EQ(watcher.exitCode(15s), 0) << text("watch.out") << text("watch.log");
    EXPECT_NE(text("watch.out").find("vintrel-shooter: The host has ended the game."), std::string::npos)
        << text("watch.out");
    EXPECT_EQ(vt::test::countLines(text("watch.log"), "Watching ended: the host closed the connection"), 1)
        << text("watch.log");

    // With nobody there, watching fails at once.
    ChildProcess lonely;
    launch(&lonely, "lonely", {"--watch", "127.0.0.1:" + port}, headless);
    EXPECT_EQ(lonely.exitCode(15s), 1);
    EXPECT_NE(text("lonely.out").find("cannot watch 127.0.0.1 port " + port), std::string::npos)
        << text("lonely.out");
}

TEST_F(WatchTest, HostAndWatcherWindowsShowTheSameFrames) {
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (runCommand("command -v xdotool").empty() || runCommand("command -v import").empty())
        GTEST_SKIP() << "needs xdotool and imagemagick";
    // Two 640 x 480 windows side by side on the display.
    const std::string id = std::to_string(getpid());
    const std::string windowed =
        ",\nwindow_horizontal_pixels:640,\nwindow_vertical_pixels:480,\nrandom_seed:5,\n";
    ChildProcess host;
    ChildProcess watcher;
    launch(&host, "host", {"--host", "127.0.0.1:0"}, "window_title:Host" + id + windowed);
    auto findWindow = [](const std::string& title) {
        unsigned long window = 0;
        waitFor(
            [&] {
                window = std::strtoul(
                    runCommand("xdotool search --name '^" + title + "$' 2>/dev/null").c_str(), nullptr, 10);
                return window != 0;
            },
            20s);
        return std::to_string(window);
    };
    const std::string host_window = findWindow("Host" + id);
    ASSERT_NE(host_window, "0") << text("host.log");
    auto tap = [&](const std::string& keysym) {
        runCommand("xdotool windowfocus " + host_window + " keydown " + keysym + " sleep 0.15 keyup " +
                   keysym + " 2>/dev/null");
    };
    tap("space"); // past the title sequence
    const std::string port = hostPort(20s);
    ASSERT_FALSE(port.empty()) << text("host.out") << text("host.log");
    launch(&watcher, "watch", {"--watch", "127.0.0.1:" + port}, "window_title:Watch" + id + windowed);
    const std::string watch_window = findWindow("Watch" + id);
    ASSERT_NE(watch_window, "0") << text("watch.log");
    runCommand("xdotool windowmove " + host_window + " 0 0 windowmove " + watch_window + " 640 0");

    auto shoot = [&](const std::string& window, const std::string& name) {
        const std::string png = std::string(VINTREL_E2E_SHOTS) + "/watch-" + name + ".png";
        runCommand("import -window " + window + " " + png + " 2>/dev/null && convert " + png +
                   " -depth 8 rgb:" + m_dir.file(name + ".rgb") + " 2>/dev/null");
        return text(name + ".rgb");
    };
    // Paused, the host's last frame stays on its screen, and the watcher's
    // catches up with it.
    tap("p");
    for (const char* moment : {"early", "later"}) {
        SCOPED_TRACE(moment);
        std::this_thread::sleep_for(1200ms);
        runCommand("xdotool mousemove --window " + host_window + " 200 300 click 1");
        std::this_thread::sleep_for(300ms);
        tap("F10");
        std::this_thread::sleep_for(800ms);
        const std::string hosted = shoot(host_window, std::string(moment) + "-host");
        const std::string watched = shoot(watch_window, std::string(moment) + "-watcher");
        ASSERT_EQ(hosted.size(), 640u * 480u * 3u);
        // Each process packs the glyphs it draws into its own font texture,
        // in the order it first meets them, and a glyph may then show one
        // column of its neighbour there. Such a column is all that may
        // differ in a character cell (8 x 20 pixels here).
        ASSERT_EQ(watched.size(), hosted.size());
        std::size_t lit = 0;
        std::map<std::pair<std::size_t, std::size_t>, std::set<std::size_t>> columns;
        for (std::size_t i = 0; i < hosted.size(); i++) {
            lit += hosted[i] != 0 ? 1 : 0;
            if (std::abs(static_cast<unsigned char>(hosted[i]) - static_cast<unsigned char>(watched[i])) >
                32) {
                const std::size_t x = i / 3 % 640;
                columns[{x / 8, i / 3 / 640 / 20}].insert(x);
            }
        }
        EXPECT_GT(lit, 2000u) << "the host shows next to nothing";
        for (const auto& [cell, xs] : columns)
            EXPECT_EQ(xs.size(), 1u) << "cell " << cell.first << "," << cell.second
                                     << " differs; see the watch-*.png files";
        tap("F10");
    }

    // The host closes: the watcher shows its message, then ends by itself.
    host.signal(SIGTERM);
    EXPECT_NE(host.exitCode(10s), -1);
    EXPECT_EQ(watcher.exitCode(15s), 0) << text("watch.log");
    EXPECT_NE(text("watch.out").find("The host has ended the game."), std::string::npos);
}

} // namespace
