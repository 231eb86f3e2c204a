#pragma once

#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {

/// Calls `each` with the step count at the start of every step, and ends the
/// run when it returns false or after the last step.
template <typename Each> class StepRunner : public Object {
  public:
    StepRunner(int last_step, Each each) : m_last_step(last_step), m_each(each) {
        setSolidness(SPECTRAL);
        registerInterest(EVENT_STEP);
    }
    int eventHandler(const Event* p_event) override {
        if (p_event->getType() != EVENT_STEP)
            return 0;
        const int step = static_cast<const EventStep*>(p_event)->getStepCount();
        if (!m_each(step) || step >= m_last_step)
            GameManager::getInstance().setGameOver();
        return 1;
    }

  private:
    int m_last_step;
    Each m_each;
};

/// Runs the real game loop (steps 0 to last_step at most) with `each` called
/// at every step; `each` is not called again after the run.
template <typename Each> void runSteps(int last_step, Each each) {
    auto* p_runner = new StepRunner<Each>(last_step, each);
    GameManager::getInstance().run();
    p_runner->unregisterInterest(EVENT_STEP);
    WorldManager::getInstance().markForDelete(p_runner);
}

} // namespace vt::test
