// A game of its own, built against the installed engine: one object counts
// steps and ends the game loop after five.
#include <cstdio>

#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/world/Object.h>

namespace {

class Counter : public vt::Object {
  public:
    Counter() {
        setType("Counter");
        registerInterest(vt::EVENT_STEP);
    }
    int eventHandler(const vt::Event* p_event) override {
        if (p_event->getType() != vt::EVENT_STEP)
            return 0;
        const auto* p_step = dynamic_cast<const vt::EventStep*>(p_event);
        steps = p_step->getStepCount() + 1;
        if (steps == 5)
            vt::GameManager::getInstance().setGameOver();
        return 1;
    }
    int steps = 0;
};

} // namespace

int main() {
    vt::GameManager& game_manager = vt::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game_manager.shutDown();
        return 1;
    }
    auto* p_counter = new Counter;
    game_manager.run();
    const int steps = p_counter->steps;
    game_manager.shutDown();
    std::printf("steps %d\n", steps);
    return steps == 5 ? 0 : 2;
}
