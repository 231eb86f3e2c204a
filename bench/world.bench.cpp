#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/HeadlessEngine.h"
#include "support/WorldScenes.h"
#include "vintrel/events/Event.h"
#include "vintrel/events/EventTimer.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"

namespace {

using vt::test::Drifter;

// Objects per square space in the scaled scenes: one per 20.
constexpr float SPACES_PER_OBJECT = 20.0f;

// The scene is kept between runs of the same benchmark and replaced only
// when another one asks for a different scene.
struct Scene {
    int count = -1;
    vt::Box boundary;
};
Scene g_scene;

void useScene(int count, const vt::Box& boundary) {
    if (g_scene.count == count && g_scene.boundary == boundary)
        return;
    vt::test::clearWorld();
    vt::WorldManager::getInstance().setBoundary(boundary);
    vt::test::populateDrifters(count, boundary, 7);
    g_scene.count = count;
    g_scene.boundary = boundary;
}

void reportPerObject(benchmark::State& state, int count, long collisions_before) {
    state.counters["per_object"] =
        benchmark::Counter(static_cast<double>(count),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["collisions_per_step"] = static_cast<double>(Drifter::collisions() - collisions_before) /
                                            static_cast<double>(state.iterations());
}

// One world step with N drifting SOFT objects, collisions included, in a
// world that grows with N.
void BM_UpdateScaled(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    useScene(count, vt::test::crowdBoundary(count, SPACES_PER_OBJECT));
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const long collisions_before = Drifter::collisions();
    for (auto _ : state)
        world_manager.update();
    reportPerObject(state, count, collisions_before);
}

// One world step with 10,000 drifting SOFT objects in a 1000 x 1000 world,
// without a tile map (0) and over a 1000 x 1000 map (1) with a solid cell in
// every 97, which the drifters meet and hear of as they pass.
void BM_UpdateOverTileMap(benchmark::State& state) {
    constexpr int COUNT = 10000;
    constexpr int SIDE = 1000;
    useScene(COUNT, vt::Box(vt::Vector(0, 0), SIDE, SIDE));
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    if (state.range(0) == 1) {
        auto p_map = std::make_unique<vt::TileMap>(SIDE, SIDE);
        vt::Tile wall;
        wall.ch = '#';
        wall.solid = true;
        for (int y = 0; y < SIDE; y++)
            for (int x = 0; x < SIDE; x++)
                if ((x * 7 + y * 13) % 97 == 0)
                    p_map->setTile(x, y, wall);
        world_manager.setTileMap(std::move(p_map));
    }
    const long collisions_before = Drifter::collisions();
    for (auto _ : state)
        world_manager.update();
    world_manager.removeTileMap();
    reportPerObject(state, COUNT, collisions_before);
}

// The game's own crowding: 500 objects in the default 80 x 24 world.
void BM_UpdateGameCrowd(benchmark::State& state) {
    useScene(500, vt::Box(vt::Vector(0, 0), 80, 24));
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const long collisions_before = Drifter::collisions();
    for (auto _ : state)
        world_manager.update();
    reportPerObject(state, 500, collisions_before);
}

// The grid query alone: every object asks where its next move would take it.
void BM_GetCollisions(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    useScene(count, vt::test::crowdBoundary(count, SPACES_PER_OBJECT));
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const vt::ObjectList all = world_manager.getAllObjects();
    long found = 0;
    for (auto _ : state) {
        for (int i = 0; i < all.getCount(); i++) {
            const vt::Object* p_o = all[i];
            found += world_manager.getCollisions(p_o, p_o->predictPosition()).getCount();
        }
    }
    benchmark::DoNotOptimize(found);
    state.counters["per_query"] =
        benchmark::Counter(static_cast<double>(count),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Makes `count` objects where `place` says (not timed), then marks them all
// and deletes them in one update.
template <typename Place>
void markAndDeleteEach(benchmark::State& state, int count, bool listening, Place place) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    std::vector<vt::Object*> objects(static_cast<std::size_t>(count));
    for (auto _ : state) {
        state.PauseTiming();
        for (vt::Object*& p_o : objects) {
            p_o = new vt::Object;
            p_o->setPosition(place());
            if (listening)
                p_o->registerInterest(vt::EVENT_STEP);
        }
        state.ResumeTiming();
        for (vt::Object* p_o : objects)
            world_manager.markForDelete(p_o);
        world_manager.update();
    }
    state.counters["per_object"] =
        benchmark::Counter(static_cast<double>(count),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Marking N objects that listen for steps and deleting them in one update,
// in a world that grows with N.
void BM_MarkAndDelete(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    vt::test::clearWorld();
    g_scene = Scene();
    const vt::Box boundary = vt::test::crowdBoundary(count, SPACES_PER_OBJECT);
    vt::WorldManager::getInstance().setBoundary(boundary);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> along_x(0, boundary.getHorizontal());
    std::uniform_real_distribution<float> along_y(0, boundary.getVertical());
    markAndDeleteEach(state, count, true, [&] { return vt::Vector(along_x(random), along_y(random)); });
}

// A crowd of N hard objects on one spot of the 80 x 24 world, all in one
// cell of the collision grid, deleted in one update. The spot is off the
// cell where new objects start, so that making the crowd (not timed) does
// not search it for each object.
void BM_DeleteStacked(benchmark::State& state) {
    vt::test::clearWorld();
    g_scene = Scene();
    vt::WorldManager::getInstance().setBoundary(vt::Box(vt::Vector(0, 0), 80, 24));
    markAndDeleteEach(state, static_cast<int>(state.range(0)), false, [] { return vt::Vector(10, 12); });
}

// Gives the game's crowd of 500 objects N repeating timers, N / 500 each, of
// 30 to 1,000 steps: about 36 of 10,000 fall due in a step, as in a game.
// Returns the objects, whose timers the caller cancels.
vt::ObjectList startCrowdTimers(int count) {
    useScene(500, vt::Box(vt::Vector(0, 0), 80, 24));
    const vt::ObjectList all = vt::WorldManager::getInstance().getAllObjects();
    std::mt19937 random(13);
    std::uniform_int_distribution<int> period(30, 1000);
    for (int i = 0; i < count; i++)
        all[i % all.getCount()]->startTimer("t" + std::to_string(i / all.getCount()), period(random),
                                            vt::TIMER_REPEATING);
    return all;
}

void cancelCrowdTimers(const vt::ObjectList& all, int count) {
    for (int i = 0; i < count; i++)
        all[i % all.getCount()]->cancelTimer("t" + std::to_string(i / all.getCount()));
}

// A whole world step of the game's crowd (timers, then the update) with N
// timers pending: the difference between N = 10,000 and N = 0 is what the
// timers add to a step.
void BM_StepWithTimers(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const vt::ObjectList all = startCrowdTimers(count);
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    for (auto _ : state) {
        world_manager.fireTimers();
        world_manager.update();
    }
    cancelCrowdTimers(all, count);
}

// The timers' part of a step alone, with N pending.
void BM_FireTimers(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const vt::ObjectList all = startCrowdTimers(count);
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    for (auto _ : state)
        world_manager.fireTimers();
    cancelCrowdTimers(all, count);
}

// Small scenes first: replacing a large scene costs more than building it.
BENCHMARK(BM_UpdateGameCrowd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepWithTimers)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FireTimers)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetCollisions)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateOverTileMap)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateScaled)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkAndDelete)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteStacked)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond);

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
    // The world is left standing: its deletion is measured above.
    return 0;
}
