// What a paused game costs: the pause blocks the game's thread in a real
// window (run under Xvfb) until a real key press, sent from another thread a
// few seconds later, resumes it. The figure is the process's processor time
// per second of pause.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "media/SfmlCompat.h"
#include "platform/SystemClock.h"
#include "support/ScratchEngine.h"
#include "support/XInput.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/input/Pause.h"
#include "vintrel/media/DisplayManager.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds PAUSE_LENGTH(3);

double processSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

unsigned long engineWindow() {
    return static_cast<unsigned long>(vt::sfml::nativeHandle(*vt::DisplayManager::getInstance().getWindow()));
}

/// Runs `pause` (which must return once a key is pressed in the window) with
/// a key pressed after PAUSE_LENGTH; reports processor seconds per second.
template <typename Pause> void measurePause(benchmark::State& state, Pause pause) {
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        std::thread presser([] {
            vt::test::XInput user(engineWindow());
            std::this_thread::sleep_for(PAUSE_LENGTH);
            user.keyDown("space");
            user.keyUp("space");
        });
        const Clock::time_point start = Clock::now();
        const double cpu_start = processSeconds();
        pause();
        const double cpu_spent = processSeconds() - cpu_start;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        presser.join();
        state.SetIterationTime(elapsed);
        cpu += cpu_spent;
        wall += elapsed;
    }
    state.counters["cpu_percent_of_a_core"] = wall > 0 ? 100.0 * cpu / wall : 0;
}

// The engine's pause object, paused by its key's event as the input manager delivers it.
void BM_PausedGame(benchmark::State& state) {
    auto* p_pause = new vt::Pause(vt::KEY_F10);
    vt::EventKeyboard f10;
    f10.setKey(vt::KEY_F10);
    f10.setKeyboardAction(vt::KEY_ACTION_PRESSED);
    measurePause(state, [p_pause, &f10] { p_pause->eventHandler(&f10); });
}
BENCHMARK(BM_PausedGame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// For comparison: the same wait looking at the window every 30 microseconds,
// as the pause did before.
void BM_WaitPollingEvery30Microseconds(benchmark::State& state) {
    sf::RenderWindow& window = *vt::DisplayManager::getInstance().getWindow();
    measurePause(state, [&window] {
        bool key_pressed = false;
        while (!key_pressed) {
            while (const std::optional<sf::Event> event = vt::sfml::pollEvent(window))
                if (vt::sfml::describeEvent(*event).kind == vt::sfml::InputEvent::Kind::KeyPressed)
                    key_pressed = true;
            vt::platform::sleepMicroseconds(30);
        }
    });
}
BENCHMARK(BM_WaitPollingEvery30Microseconds)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    const vt::test::ScratchEngine engine(std::string("networking:false,\nrandom_seed:1,\nfont_file:") +
                                         VINTREL_FONT_FILE + ",\n");
    if (engine.result() != 0 || !vt::test::XInput(engineWindow()).focus()) {
        std::fprintf(stderr, "bench_pause: no engine window with the focus (run it under xvfb-run)\n");
        vt::GameManager::getInstance().shutDown();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    vt::GameManager::getInstance().shutDown();
    benchmark::Shutdown();
    return 0;
}
