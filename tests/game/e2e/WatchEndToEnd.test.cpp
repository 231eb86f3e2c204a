#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "support/ChildProcess.h"
#include "support/EngineTest.h"
#include "support/LoopbackPeers.h"

// The real shooter twice: one process hosting its game, another watching it.
namespace {

using namespace std::chrono_literals;
using vt::test::ChildProcess;
using vt::test::readFile;
using vt::test::runCommand;
using vt::test::waitFor;

using Clock = std::chrono::steady_clock;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SANITIZED = true;
#else
constexpr bool SANITIZED = false;
#endif

// What a 640 x 480 window shows, as the X server's 32-bit pixels; empty
// when it cannot be read.
class Frames {
  public:
    Frames() : m_p_display(XOpenDisplay(nullptr)) {}
    ~Frames() {
        if (m_p_display)
            XCloseDisplay(m_p_display);
    }
    std::string capture(unsigned long window) {
        XImage* p_image =
            m_p_display ? XGetImage(m_p_display, window, 0, 0, 640, 480, AllPlanes, ZPixmap) : nullptr;
        if (!p_image)
            return "";
        std::string pixels;
        if (p_image->bits_per_pixel == 32 && p_image->bytes_per_line == 640 * 4)
            pixels.assign(p_image->data, 640u * 480u * 4u);
        XDestroyImage(p_image);
        return pixels;
    }

  private:
    Display* m_p_display;
};

// Each process packs the glyphs it draws into its own font texture, in the
// order it first meets them, and a glyph drawn between pixels may then show
// an edge of its neighbour there. Such edges, one or two pixel columns, are
// all that may differ in a character cell (8 x 20 pixels in a 640 x 480
// window); a glyph missing, added, moved or changed differs in more.
bool sameFrame(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.size() != 640u * 480u * 4u)
        return false;
    if (a == b)
        return true;
    std::map<std::size_t, std::set<std::size_t>> columns_of_cell;
    for (std::size_t pixel = 0; pixel < a.size() / 4; pixel++) {
        std::uint32_t word_a = 0;
        std::uint32_t word_b = 0;
        std::memcpy(&word_a, &a[pixel * 4], 4);
        std::memcpy(&word_b, &b[pixel * 4], 4);
        if (word_a == word_b)
            continue;
        bool near = true;
        for (std::size_t i = pixel * 4; i < pixel * 4 + 4; i++)
            near =
                near && std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i])) <= 32;
        if (near)
            continue;
        const std::size_t x = pixel % 640;
        std::set<std::size_t>& columns = columns_of_cell[pixel / 640 / 20 * 80 + x / 8];
        columns.insert(x);
        if (columns.size() > 2)
            return false;
    }
    return true;
}

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
    EXPECT_NE(text("lonely.out").find("cannot watch 127.0.0.1 port " + port), std::string::npos);
}

// A port on 127.0.0.1 where no game is served: it accepts one connection
// (after the kernel has made it) and closes or resets it, or never answers.
class NoGame {
  public:
    enum Answer { CLOSE, RESET, SILENCE };
    explicit NoGame(Answer answer) {
        int number = 0;
        m_listener = vt::test::listenPeer(&number);
        if (m_listener == -1)
            return;
        port = std::to_string(number);
        if (answer == SILENCE)
            return;
        m_answering = std::thread([this, answer] {
            pollfd waiting{m_listener, POLLIN, 0};
            if (poll(&waiting, 1, 20000) != 1)
                return;
            const int sock = accept(m_listener, nullptr, nullptr);
            const linger reset{1, 0};
            if (answer == RESET)
                setsockopt(sock, SOL_SOCKET, SO_LINGER, &reset, sizeof(reset));
            close(sock);
        });
    }
    ~NoGame() {
        if (m_answering.joinable())
            m_answering.join();
        close(m_listener);
    }
    std::string port;

  private:
    int m_listener = -1;
    std::thread m_answering;
};

TEST_F(WatchTest, WhereNoGameBeginsTheWatcherSaysNoGameWasFoundAndFails) {
    struct Case {
        const char* name;
        NoGame::Answer answer;
        const char* why;
    };
    const Case cases[] = {
        {"accepts and closes", NoGame::CLOSE, "(closed before any game)"},
        {"accepts and resets", NoGame::RESET, "(closed before any game)"},
        {"stays silent", NoGame::SILENCE, "(none within 2 s)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const NoGame host(c.answer);
        ASSERT_FALSE(host.port.empty());
        ChildProcess watcher;
        launch(&watcher, "watch", {"--watch", "127.0.0.1:" + host.port},
               "headless:true,\nwatch_timeout:1500,\n");
        EXPECT_EQ(watcher.exitCode(15s), 1) << text("watch.out") << text("watch.log");
        EXPECT_NE(text("watch.out")
                      .find("vintrel-shooter: Cannot watch: no game found at 127.0.0.1 port " + host.port +
                            " " + c.why + "."),
                  std::string::npos)
            << text("watch.out");
        EXPECT_EQ(text("watch.out").find("ended"), std::string::npos) << text("watch.out");
    }
}

TEST_F(WatchTest, HostAndWatcherWindowsShowTheSameFrames) {
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (runCommand("command -v xdotool").empty())
        GTEST_SKIP() << "needs xdotool";
    // Two 640 x 480 windows side by side on the display.
    const std::string id = std::to_string(getpid());
    // Slow steps, so that every frame stays on the screen long enough to be
    // read back (slower still when everything runs under the sanitizers).
    const std::string windowed =
        ",\nwindow_horizontal_pixels:640,\nwindow_vertical_pixels:480,\nrandom_seed:5,"
        "\nframe_time:" +
        std::to_string(SANITIZED ? 200 : 80) + ",\n";
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

    // The game goes on while both windows are read back in turn, every few
    // milliseconds: each frame the watcher shows must be one the host has
    // just shown. The host's recent frames are kept for that.
    tap("p");
    std::this_thread::sleep_for(1000ms);
    runCommand("xdotool mousemove --window " + host_window + " 200 300 click 1");
    const unsigned long host_id = std::strtoul(host_window.c_str(), nullptr, 10);
    const unsigned long watch_id = std::strtoul(watch_window.c_str(), nullptr, 10);
    Frames frames;
    std::deque<std::pair<Clock::time_point, std::string>> recent;
    int watched = 0;
    int matched = 0;
    std::set<std::size_t> distinct;
    for (const Clock::time_point end = Clock::now() + (SANITIZED ? 6s : 3s); Clock::now() < end;) {
        recent.emplace_back(Clock::now(), frames.capture(host_id));
        while (recent.front().first < Clock::now() - (SANITIZED ? 1500ms : 600ms))
            recent.pop_front();
        distinct.insert(std::hash<std::string>{}(recent.back().second));
        const std::string shown = frames.capture(watch_id);
        watched++;
        bool found = false;
        for (auto entry = recent.rbegin(); entry != recent.rend() && !found; ++entry)
            found = sameFrame(entry->second, shown);
        matched += found ? 1 : 0;
    }
    EXPECT_GE(watched, 20);
    EXPECT_GE(distinct.size(), 5u) << "the host's game did not move";
    EXPECT_GE(matched * 4, watched * 3)
        << matched << " of " << watched << " watcher frames were frames of the host; see watch-*.png";

    // The host closes: the watcher shows its message, then ends by itself.
    host.signal(SIGTERM);
    EXPECT_NE(host.exitCode(10s), -1);
    EXPECT_EQ(watcher.exitCode(15s), 0) << text("watch.log");
    EXPECT_NE(text("watch.out").find("The host has ended the game."), std::string::npos);
}

} // namespace
