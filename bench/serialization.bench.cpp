#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "vintrel/core/GameManager.h"
#include "vintrel/world/Object.h"

namespace {

constexpr int OBJECT_COUNT = 10000;

// A headless engine in a scratch directory, so that objects have a world.
class HeadlessEngine {
public:
    HeadlessEngine() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vintrel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_dir = pattern;
        const std::string config = m_dir + "/vt-config.txt";
        std::ofstream(config) << "headless:true,\nnetworking:false,\nrandom_seed:42,\n";
        setenv("VINTREL_CONFIG", config.c_str(), 1);
        setenv("VINTREL_LOG", (m_dir + "/bench.log").c_str(), 1);
        m_started = vt::GameManager::getInstance().startUp() == 0;
    }
    ~HeadlessEngine() {
        vt::GameManager::getInstance().shutDown();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    bool started() const { return m_started; }

private:
    std::string m_dir;
    bool m_started = false;
};

// Objects like those of a busy shooter: moving, typed, listening for steps.
std::vector<vt::Object*> makeObjects() {
    std::vector<vt::Object*> objects;
    for (int i = 0; i < OBJECT_COUNT; i++) {
        auto* p_o = new vt::Object;
        p_o->setType(i % 2 ? "Asteroid" : "Bullet");
        p_o->setPosition(vt::Vector(static_cast<float>(i % 80), static_cast<float>(i % 24)));
        p_o->setVelocity(vt::Vector(0.3f, -0.3f));
        p_o->registerInterest("vt-step");
        objects.push_back(p_o);
    }
    return objects;
}

void serializeAll(benchmark::State& state) {
    HeadlessEngine engine;
    if (!engine.started()) {
        state.SkipWithError("engine did not start");
        return;
    }
    const std::vector<vt::Object*> objects = makeObjects();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::stringstream ss;
        for (vt::Object* p_o : objects)
            p_o->serialize(&ss, vt::ALL_ATTRIBUTES);
        bytes = ss.str().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * OBJECT_COUNT);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
BENCHMARK(serializeAll)->Unit(benchmark::kMillisecond);

void deserializeAll(benchmark::State& state) {
    HeadlessEngine engine;
    if (!engine.started()) {
        state.SkipWithError("engine did not start");
        return;
    }
    const std::vector<vt::Object*> objects = makeObjects();
    std::stringstream written;
    for (vt::Object* p_o : objects)
        p_o->serialize(&written, vt::ALL_ATTRIBUTES);
    const std::string records = written.str();
    // Each record is rebuilt into another object than the one that wrote it.
    for (auto _ : state) {
        std::stringstream ss(records);
        int failures = 0;
        for (std::size_t i = 0; i < objects.size(); i++)
            failures += objects[objects.size() - 1 - i]->deserialize(&ss) != 0;
        if (failures != 0)
            state.SkipWithError("a record was refused");
    }
    state.SetItemsProcessed(state.iterations() * OBJECT_COUNT);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(records.size()));
}
BENCHMARK(deserializeAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
