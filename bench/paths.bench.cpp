// Path searches as a game would start them: across a full 80 x 24 world,
// toward an unreachable goal in a wide world, and twenty at once in a
// 2000 x 2000 world with the heap they hold.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "paths/PathScene.h"
#include "support/HeadlessEngine.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/WorldManager.h"

namespace {

// Heap bytes held by this program and the most held since the last reset,
// counted by the replaced allocation functions below.
std::size_t g_heap_bytes = 0;
std::size_t g_heap_peak = 0;

void* countedAllocation(std::size_t size) {
    void* p_block = std::malloc(size == 0 ? 1 : size);
    if (!p_block)
        throw std::bad_alloc();
    g_heap_bytes += malloc_usable_size(p_block);
    g_heap_peak = std::max(g_heap_peak, g_heap_bytes);
    return p_block;
}

void countedRelease(void* p_block) {
    if (!p_block)
        return;
    g_heap_bytes -= malloc_usable_size(p_block);
    std::free(p_block);
}

} // namespace

void* operator new(std::size_t size) { return countedAllocation(size); }
void* operator new[](std::size_t size) { return countedAllocation(size); }
void operator delete(void* p_block) noexcept { countedRelease(p_block); }
void operator delete[](void* p_block) noexcept { countedRelease(p_block); }
void operator delete(void* p_block, std::size_t) noexcept { countedRelease(p_block); }
void operator delete[](void* p_block, std::size_t) noexcept { countedRelease(p_block); }

namespace {

using vt::PathFind;
using Cell = PathFind::Cell;

constexpr double MEGABYTE = 1024.0 * 1024.0;

// An empty world, 80 x 24 unless told otherwise.
void resetWorld(float columns = 80, float rows = 24) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    world_manager.shutDown();
    world_manager.startUp();
    world_manager.setBoundary(vt::Box(vt::Vector(0, 0), columns, rows));
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

// A goal walled in at one corner of a 300 x 300 world, looked for from the
// far corner: nothing tells the search it is unreachable but trying.
void BM_UnreachableGoal300(benchmark::State& state) {
    resetWorld(300, 300);
    const Cell goal = vt::test::wallInCell(10);
    auto* p_walker = new vt::Object;
    p_walker->setSolidness(vt::SPECTRAL);
    runSearches(state, p_walker, Cell{290, 290}, goal);
}
BENCHMARK(BM_UnreachableGoal300)->Unit(benchmark::kMillisecond);

// Twenty walkers of a 2000 x 2000 world ask for paths in the same step and
// the path manager runs the searches to their end (at most a minute).
// Argument 0: each goal is walled in, the worst case; 1: each goal lies
// across the world, one on a long diagonal. peak_MB is the most heap held
// meanwhile beyond what the world held before the requests.
void BM_TwentySearches2000(benchmark::State& state) {
    const bool reachable = state.range(0) == 1;
    resetWorld(2000, 2000);
    vt::PathManager& path_manager = vt::PathManager::getInstance();
    std::vector<vt::Object*> walkers;
    std::vector<vt::Vector> starts;
    std::vector<vt::Vector> goals;
    for (int i = 0; i < 20; i++) {
        const float row = static_cast<float>(100 * i);
        auto* p_walker = new vt::Object;
        p_walker->setSolidness(vt::SPECTRAL);
        walkers.push_back(p_walker);
        if (reachable) {
            starts.emplace_back(10.0f, row + 10);
            goals.emplace_back(1990.0f, 1990 - row);
        } else {
            const Cell walled_in = vt::test::wallInCell(100 * i);
            starts.emplace_back(1000.0f + static_cast<float>(40 * i), 1000.0f);
            goals.emplace_back(static_cast<float>(walled_in.x), static_cast<float>(walled_in.y));
        }
    }
    double requested = 0;
    double peak = 0;
    int found = 0;
    int unfinished = 0;
    for (auto _ : state) {
        const std::size_t base = g_heap_bytes;
        g_heap_peak = base;
        for (std::size_t i = 0; i < walkers.size(); i++) {
            walkers[i]->setPath(vt::Path());
            walkers[i]->setFollowPath(false);
            path_manager.findPath(walkers[i], starts[i], goals[i]);
        }
        requested = static_cast<double>(g_heap_bytes - base) / MEGABYTE;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (path_manager.getSearchCount() > 0 && std::chrono::steady_clock::now() < deadline)
            path_manager.cycle(100);
        peak = static_cast<double>(g_heap_peak - base) / MEGABYTE;
        unfinished = path_manager.getSearchCount();
        found = 0;
        for (vt::Object* p_walker : walkers) {
            found += p_walker->getPath().getCount() > 0 ? 1 : 0;
            p_walker->setPathSearch(nullptr);
        }
    }
    state.counters["requested_MB"] = requested;
    state.counters["peak_MB"] = peak;
    state.counters["found"] = found;
    state.counters["unfinished"] = unfinished;
}
BENCHMARK(BM_TwentySearches2000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

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
