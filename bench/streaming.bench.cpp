// Serving a typical game's world to watchers: the host's step with 0 and 3
// watchers, the bytes each step costs, the snapshot a joining watcher gets,
// how far behind the host a watcher process shows it, and how long ending a
// watch of many mirrors takes.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "network/WorldStreamFormat.h"
#include "support/HeadlessEngine.h"
#include "support/StreamMessages.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/network/EventNetworkSync.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/network/WorldHost.h"
#include "vintrel/network/WorldMirror.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace {

constexpr int ROCKS = 52;
constexpr int BULLETS = 6;

double now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A shooter-like scene of about 60 objects: rocks drifting across an 80 x 24
// world and wrapping round, bullets fired and gone every few steps, a score
// that grows every 30 steps and a stock display; one rock is destroyed and
// replaced every 10 steps.
class Scene : public vt::Object {
  public:
    Scene() {
        setSolidness(vt::SPECTRAL);
        registerInterest(vt::EVENT_STEP);
        for (int i = 0; i < ROCKS; i++)
            m_rocks.push_back(rock(i));
        for (int i = 0; i < BULLETS; i++)
            m_bullets.push_back(bullet(i));
        m_p_score = new vt::ViewObject;
        m_p_score->setViewString("Points");
        auto* p_stock = new vt::ViewObject;
        p_stock->setViewString("Missiles");
        p_stock->setLocation(vt::TOP_RIGHT);
    }
    int eventHandler(const vt::Event* p_event) override {
        if (p_event->getType() != vt::EVENT_STEP)
            return 0;
        const int step = static_cast<const vt::EventStep*>(p_event)->getStepCount();
        vt::WorldManager& world_manager = vt::WorldManager::getInstance();
        for (vt::Object* p_rock : m_rocks)
            if (p_rock->getPosition().getX() < 0)
                p_rock->setPosition(vt::Vector(80, p_rock->getPosition().getY()));
        if (step % 30 == 0)
            m_p_score->setValue(m_p_score->getValue() + 1);
        if (step % 10 == 0) {
            const std::size_t gone = static_cast<std::size_t>(step / 10) % m_rocks.size();
            world_manager.markForDelete(m_rocks[gone]);
            m_rocks[gone] = rock(step);
        }
        const std::size_t fired = static_cast<std::size_t>(step) % m_bullets.size();
        if (step % 4 == 0) {
            world_manager.markForDelete(m_bullets[fired]);
            m_bullets[fired] = bullet(step);
        }
        return 1;
    }

  private:
    static vt::Object* rock(int i) {
        auto* p_rock = new vt::Object;
        p_rock->setType("Asteroid");
        p_rock->setSprite("rock");
        p_rock->setSolidness(vt::SPECTRAL);
        p_rock->setPosition(vt::Vector(static_cast<float>(i * 7 % 80), static_cast<float>(i * 5 % 24)));
        p_rock->setVelocity(vt::Vector(-0.25f - 0.01f * static_cast<float>(i % 10), 0.01f));
        return p_rock;
    }
    static vt::Object* bullet(int i) {
        auto* p_bullet = new vt::Object;
        p_bullet->setType("Bullet");
        p_bullet->setSprite("shot");
        p_bullet->setSolidness(vt::SPECTRAL);
        p_bullet->setPosition(vt::Vector(40, 12));
        p_bullet->setVelocity(vt::Vector(static_cast<float>(i % 3) - 1.0f, -1));
        return p_bullet;
    }

    std::vector<vt::Object*> m_rocks;
    std::vector<vt::Object*> m_bullets;
    vt::ViewObject* m_p_score;
};

// A plain socket connected to 127.0.0.1:port that has said hello as a
// watcher, or -1.
int connectTo(int port) {
    const int sock = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string hello = vt::stream::hello();
    if (sock != -1 && (connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
                       send(sock, hello.data(), hello.size(), 0) != static_cast<ssize_t>(hello.size()))) {
        close(sock);
        return -1;
    }
    return sock;
}

// Watchers as other processes would be: threads that read everything the host sends.
class Watchers {
  public:
    Watchers(int count, int port) {
        for (int i = 0; i < count; i++) {
            const int sock = connectTo(port);
            m_socks.push_back(sock);
            m_threads.emplace_back([sock] {
                char buffer[64 * 1024];
                while (recv(sock, buffer, sizeof(buffer), 0) > 0) {
                }
            });
        }
    }
    ~Watchers() {
        for (const int sock : m_socks)
            shutdown(sock, SHUT_RDWR);
        for (std::thread& thread : m_threads)
            thread.join();
        for (const int sock : m_socks)
            close(sock);
    }

  private:
    std::vector<int> m_socks;
    std::vector<std::thread> m_threads;
};

// One pass of the game loop without its sleep: steps, shows the last frame,
// moves, draws, streams. The network phase's own time is added to *p_network_us.
void hostStep(int step, double* p_network_us = nullptr) {
    const vt::EventStep step_event(step);
    vt::GameManager::getInstance().onEvent(&step_event);
    vt::DisplayManager::getInstance().presentFrame();
    vt::WorldManager::getInstance().update();
    vt::WorldManager::getInstance().draw();
    const double start = now();
    vt::NetworkManager::getInstance().update();
    if (p_network_us)
        *p_network_us += (now() - start) * 1000.0;
}

// The game's two sprites, written where the engine runs and loaded: a
// four-frame rock of 4 x 3 characters and a one-character shot.
void loadSprites() {
    const char* const rock = "4\n4\n3\n6\nwhite\n __ \n/. \\\n\\_o/\n __ \n/ .\\\n\\o_/\n"
                             " __ \n/o \\\n\\_./\n __ \n/ o\\\n\\._/\n";
    std::FILE* p_file = std::fopen("bench-rock.txt", "w");
    if (p_file) {
        std::fputs(rock, p_file);
        std::fclose(p_file);
    }
    p_file = std::fopen("bench-shot.txt", "w");
    if (p_file) {
        std::fputs("1\n1\n1\n1\nyellow\n*\n", p_file);
        std::fclose(p_file);
    }
    vt::ResourceManager::getInstance().loadSprite("bench-rock.txt", "rock");
    vt::ResourceManager::getInstance().loadSprite("bench-shot.txt", "shot");
    std::remove("bench-rock.txt");
    std::remove("bench-shot.txt");
}

// Watchers (state.range(0)) of the scene; with state.range(1) the host draws
// into a real window (run under xvfb-run), as a game does.
void BM_HostStep(benchmark::State& state) {
    const int watcher_count = static_cast<int>(state.range(0));
    const bool windowed = state.range(1) != 0;
    if (windowed && std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("no X display for the windowed step");
        return;
    }
    const vt::test::HeadlessEngine engine(
        windowed
            ? "networking:true,headless:false,font_file:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf,"
            : "networking:true,");
    auto* p_host = new vt::WorldHost;
    if (engine.result() != 0 || p_host->serve("0") != 0) {
        state.SkipWithError("the engine or the host did not start");
        vt::GameManager::getInstance().shutDown();
        return;
    }
    loadSprites();
    new Scene;
    {
        const Watchers watchers(watcher_count, vt::NetworkManager::getInstance().getPort());
        int step = 0;
        // Until every watcher is in and has had its snapshot.
        while (p_host->getWatcherCount() < watcher_count && step < 1000)
            hostStep(step++);
        hostStep(step++);
        std::size_t bytes = 0;
        double network_us = 0;
        for (auto _ : state) {
            hostStep(step++, &network_us);
            bytes += p_host->getLastStepBytes();
        }
        state.counters["objects"] = vt::WorldManager::getInstance().getAllObjects(true).getCount();
        state.counters["network_phase_us"] = network_us / static_cast<double>(state.iterations());
        if (watcher_count > 0) {
            state.counters["bytes_per_step"] =
                static_cast<double>(bytes) / static_cast<double>(state.iterations());
            state.counters["snapshot_bytes"] = static_cast<double>(p_host->getLastSnapshotBytes());
        }
    }
    vt::GameManager::getInstance().shutDown();
}
BENCHMARK(BM_HostStep)
    ->ArgNames({"watchers", "windowed"})
    ->Args({0, 0})
    ->Args({3, 0})
    ->Args({0, 1})
    ->Args({3, 1})
    ->Unit(benchmark::kMicrosecond);

// Writes down when the host sent each step.
class SendClock : public vt::Object {
  public:
    explicit SendClock(std::vector<double>* p_sent) : m_p_sent(p_sent) {
        setSolidness(vt::SPECTRAL);
        registerInterest(vt::EVENT_NETWORK_SYNC);
        registerInterest(vt::EVENT_STEP);
    }
    int eventHandler(const vt::Event* p_event) override {
        const int step = vt::GameManager::getInstance().getStepCount();
        if (p_event->getType() == vt::EVENT_STEP) {
            if (step >= static_cast<int>(m_p_sent->size()))
                vt::GameManager::getInstance().setGameOver();
            return 1;
        }
        (*m_p_sent)[static_cast<std::size_t>(step)] = now();
        return 1;
    }

  private:
    std::vector<double>* m_p_sent;
};

// Ends the watcher's game loop once watching has stopped.
class WatchEnder : public vt::Object {
  public:
    explicit WatchEnder(const vt::WorldMirror* p_mirror) : m_p_mirror(p_mirror) {
        setSolidness(vt::SPECTRAL);
        registerInterest(vt::EVENT_STEP);
    }
    int eventHandler(const vt::Event*) override {
        const vt::WorldMirror::State state = m_p_mirror->getState();
        if (state != vt::WorldMirror::CONNECTING && state != vt::WorldMirror::WATCHING)
            vt::GameManager::getInstance().setGameOver();
        return 1;
    }

  private:
    const vt::WorldMirror* m_p_mirror;
};

// The watcher process: writes each host step and the time it was applied to the pipe.
void watchAndReport(int port, int report) {
    const vt::test::HeadlessEngine engine("networking:true,frame_time:33,");
    auto* p_mirror = new vt::WorldMirror;
    new WatchEnder(p_mirror);
    p_mirror->setOnHostStep([report](int step) {
        const double at = now();
        const ssize_t written = write(report, &step, sizeof(step)) + write(report, &at, sizeof(at));
        (void)written;
    });
    if (engine.result() == 0 && p_mirror->watch("127.0.0.1", std::to_string(port)) == 0)
        vt::GameManager::getInstance().run();
    vt::GameManager::getInstance().shutDown();
}

// A real watcher process at the default 33 ms step: how long after the
// host's network phase each host step is applied, in steps of the host.
void BM_WatcherLag(benchmark::State& state) {
    constexpr int STEPS = 150;
    int report[2];
    if (pipe(report) != 0) {
        state.SkipWithError("no pipe");
        return;
    }
    const vt::test::HeadlessEngine engine("networking:true,frame_time:33,");
    auto* p_host = new vt::WorldHost;
    if (engine.result() != 0 || p_host->serve("0") != 0) {
        state.SkipWithError("the engine or the host did not start");
        vt::GameManager::getInstance().shutDown();
        return;
    }
    const int port = vt::NetworkManager::getInstance().getPort();
    new Scene;
    std::vector<double> sent(STEPS, 0.0);
    new SendClock(&sent);

    const pid_t watcher = fork();
    if (watcher == 0) {
        // The child drops the host's world it was born with and watches it instead.
        vt::GameManager::getInstance().shutDown();
        close(report[0]);
        watchAndReport(port, report[1]);
        _exit(0);
    }
    close(report[1]);
    for (auto _ : state)
        vt::GameManager::getInstance().run();
    vt::GameManager::getInstance().shutDown(); // ends the watcher's watching
    std::vector<double> lags;
    int step = 0;
    double at = 0;
    while (read(report[0], &step, sizeof(step)) == sizeof(step) &&
           read(report[0], &at, sizeof(at)) == sizeof(at))
        if (step >= 0 && step < STEPS && sent[static_cast<std::size_t>(step)] > 0)
            lags.push_back((at - sent[static_cast<std::size_t>(step)]) / 33.0);
    close(report[0]);
    waitpid(watcher, nullptr, 0);
    if (lags.empty()) {
        state.SkipWithError("the watcher applied nothing");
        return;
    }
    std::sort(lags.begin(), lags.end());
    state.counters["steps_seen"] = static_cast<double>(lags.size());
    state.counters["lag_median_steps"] = lags[lags.size() / 2];
    state.counters["lag_p95_steps"] = lags[lags.size() * 95 / 100];
    state.counters["lag_max_steps"] = lags.back();
}
BENCHMARK(BM_WatcherLag)->Iterations(1)->Unit(benchmark::kMillisecond);

// Ending the watch of N mirrors stacked on one spot (the host's end message,
// and the update that deletes them); mirroring them first is not timed.
void BM_EndWatch(benchmark::State& state) {
    const vt::test::HeadlessEngine engine("networking:true,");
    const std::string crowd = vt::test::crowdSnapshot(static_cast<int>(state.range(0)));
    const std::string end = vt::test::frame(vt::stream::END, "");
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    for (auto _ : state) {
        state.PauseTiming();
        auto* p_mirror = new vt::WorldMirror;
        p_mirror->receiveBytes(crowd.data(), crowd.size());
        world_manager.update();
        state.ResumeTiming();
        p_mirror->receiveBytes(end.data(), end.size());
        world_manager.update();
        state.PauseTiming();
        if (p_mirror->getState() != vt::WorldMirror::ENDED)
            state.SkipWithError("the watch did not end");
        world_manager.markForDelete(p_mirror);
        world_manager.update();
        state.ResumeTiming();
    }
    state.counters["per_mirror"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    vt::GameManager::getInstance().shutDown();
}
BENCHMARK(BM_EndWatch)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
