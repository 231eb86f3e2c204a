// Path searches across a full 80 x 24 world, as a game would start them.
#include <benchmark/benchmark.h>

#include <string>

#include "paths/PathScene.h"
#include "support/HeadlessEngine.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/world/WorldManager.h"

namespace {

using vt::PathFind;
using Cell = PathFind::Cell;

// An empty 80 x 24 world.
void resetWorld() {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    world_manager.shutDown();
    world_manager.startUp();
    world_manager.setBoundary(vt::Box(vt::Vector(0, 0), 80, 24));
}

// One whole search per iteration; counters give the route and the work.
void runSearches(benchmark::State& state, vt::Object* p_walker, Cell start, Cell goal) {
    std::size_t expansions = 0;
    int waypoints = 0;
    for (auto _ : state) {
        PathFind search(p_walker, start, goal);
        const int result = vt::test::runSearch(search);
        const vt::Path path = search.getPath();
        benchmark::DoNotOptimize(result);
        expansions = search.getClosed().size();
        waypoints = path.getCount();
    }
    state.counters["expansions"] = static_cast<double>(expansions);
    state.counters["waypoints"] = waypoints;
}

void BM_SearchOpenWorld(benchmark::State& state) {
    resetWorld();
    auto* p_walker = new vt::Object;
    runSearches(state, p_walker, Cell{0, 12}, Cell{79, 12});
}
BENCHMARK(BM_SearchOpenWorld)->Unit(benchmark::kMillisecond);

void BM_SearchSerpentine(benchmark::State& state) {
    resetWorld();
    vt::test::placeSerpentine();
    auto* p_walker = new vt::Object;
    p_walker->setSolidness(vt::SPECTRAL);
    runSearches(state, p_walker, Cell{0, 12}, Cell{79, 12});
}
BENCHMARK(BM_SearchSerpentine)->Unit(benchmark::kMillisecond);

void BM_SearchWalledInGoal(benchmark::State& state) {
    resetWorld();
    vt::test::placeSerpentine();
    vt::test::placeWalls({"###", "#.#", "###"}, 10);
    auto* p_walker = new vt::Object;
    p_walker->setSolidness(vt::SPECTRAL);
    runSearches(state, p_walker, Cell{40, 12}, Cell{1, 11});
}
BENCHMARK(BM_SearchWalledInGoal)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const vt::test::HeadlessEngine engine;
    if (engine.result() != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vt::GameManager::getInstance().shutDown();
    return 0;
}
