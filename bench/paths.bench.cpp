// Path searches across a full 80 x 24 world, as a game would start them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "paths/PathScene.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/world/WorldManager.h"

namespace {

using vt::PathFind;
using Cell = PathFind::Cell;

// Starts the engine headless with its files in a scratch directory.
bool startEngine() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vintrel-bench-paths";
    std::filesystem::create_directories(dir);
    const std::string config = (dir / "vt-config.txt").string();
    std::ofstream(config) << "headless:true,\nnetworking:false,\nrandom_seed:1,\n";
    setenv("VINTREL_CONFIG", config.c_str(), 1);
    setenv("VINTREL_LOG", (dir / "bench.log").string().c_str(), 1);
    return vt::GameManager::getInstance().startUp() == 0;
}

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
    if (!startEngine())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vt::GameManager::getInstance().shutDown();
    return 0;
}
