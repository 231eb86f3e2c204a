#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "replay/CheckpointDetail.h"
#include "support/HeadlessEngine.h"
#include "support/WorldScenes.h"
#include "vintrel/core/Utility.h"
#include "vintrel/replay/ReplayFile.h"
#include "vintrel/replay/WorldChecksum.h"
#include "vintrel/world/WorldManager.h"

namespace {

// The committed recording of a real game, replayed by the real binary headless
// and unthrottled: a whole process per iteration, start-up and shut-down
// included. steps_per_second is the replay's speed; times_faster compares it
// with the recording's own length at its frame time.
void BM_ReplayShooterFast(benchmark::State& state) {
#if defined(VINTREL_SHOOTER) && defined(VINTREL_GAME_DATA_DIR)
    const std::string file = std::string(VINTREL_SOURCE_DIR) + "/game/replays/shooter.vtr";
    vt::ReplayFile replay;
    std::string error;
    if (replay.load(file, error) != 0) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int frame_time = std::atoi(vt::match(replay.config, "frame_time").c_str());
    const std::string command = std::string("cd '") + VINTREL_GAME_DATA_DIR +
                                "' && ALSOFT_DRIVERS=null VINTREL_LOG=/dev/null '" + VINTREL_SHOOTER +
                                "' --replay '" + file + "' --headless --fast >/dev/null 2>&1";
    for (auto _ : state) {
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the replay did not match");
            return;
        }
    }
    const double steps = static_cast<double>(replay.step_count);
    state.counters["steps"] = steps;
    state.counters["steps_per_second"] =
        benchmark::Counter(steps, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["recorded_seconds"] = steps * frame_time / 1000.0;
    state.counters["times_faster"] =
        benchmark::Counter(steps * frame_time / 1000.0, benchmark::Counter::kIsIterationInvariantRate);
#else
    state.SkipWithError("built without the shooter");
#endif
}

// One checkpoint: every object's full record written and hashed, in id order.
void BM_ChecksumWorld(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    vt::test::clearWorld();
    const vt::Box boundary(vt::Vector(0, 0), 80, 24);
    vt::test::populateDrifters(count, boundary, 7);
    for (auto _ : state)
        benchmark::DoNotOptimize(vt::checksumWorld(0).world_hash);
    state.counters["per_object"] =
        benchmark::Counter(static_cast<double>(count),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// What a recorder does at each checkpoint: the checksums, and the detail of
// what changed since the checkpoint before, here with every object moved in
// between (the world's update is not timed). detail_bytes is what the detail
// adds to the recording per object.
void BM_RecordCheckpoint(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    vt::test::clearWorld();
    const vt::Box boundary(vt::Vector(0, 0), 80, 24);
    vt::test::populateDrifters(count, boundary, 7);
    vt::replay::CheckpointDetail detail;
    std::size_t detail_bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        vt::WorldManager::getInstance().update();
        state.ResumeTiming();
        const vt::ReplayFile::Checkpoint checkpoint = vt::checksumWorld(0);
        detail_bytes = detail.take(checkpoint).size();
    }
    state.counters["per_object"] =
        benchmark::Counter(static_cast<double>(count),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["detail_bytes"] = static_cast<double>(detail_bytes) / count;
}

BENCHMARK(BM_ReplayShooterFast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChecksumWorld)->Arg(60)->Arg(600)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordCheckpoint)->Arg(60)->Arg(600)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    const vt::test::HeadlessEngine engine;
    if (engine.result() != 0) {
        std::fprintf(stderr, "the engine did not start\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
