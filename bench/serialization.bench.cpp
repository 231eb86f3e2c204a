// Writing and rebuilding the records of a busy world's 10,000 objects.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/HeadlessEngine.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/world/Object.h"

namespace {

constexpr int OBJECT_COUNT = 10000;

// A headless engine for one benchmark, stopped (and its objects deleted) at
// the end of it.
class Engine {
  public:
    Engine() = default;
    ~Engine() { vt::GameManager::getInstance().shutDown(); }
    bool started() const { return m_engine.result() == 0; }

  private:
    const vt::test::HeadlessEngine m_engine;
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

void BM_SerializeObjects(benchmark::State& state) {
    const Engine engine;
    if (!engine.started()) {
        state.SkipWithError("the engine did not start");
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
BENCHMARK(BM_SerializeObjects)->Unit(benchmark::kMillisecond);

void BM_DeserializeObjects(benchmark::State& state) {
    const Engine engine;
    if (!engine.started()) {
        state.SkipWithError("the engine did not start");
        return;
    }
    const std::vector<vt::Object*> objects = makeObjects();
    std::stringstream written;
    for (vt::Object* p_o : objects)
        p_o->serialize(&written, vt::ALL_ATTRIBUTES);
    const std::string records = written.str();
    for (auto _ : state) {
        std::stringstream ss(records);
        int failures = 0;
        // Each record is rebuilt into another object than the one that wrote it.
        for (std::size_t i = 0; i < objects.size(); i++)
            failures += objects[objects.size() - 1 - i]->deserialize(&ss) != 0;
        if (failures != 0)
            state.SkipWithError("a record was refused");
    }
    state.SetItemsProcessed(state.iterations() * OBJECT_COUNT);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(records.size()));
}
BENCHMARK(BM_DeserializeObjects)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
