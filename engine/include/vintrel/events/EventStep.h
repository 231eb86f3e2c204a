#pragma once

#include "vintrel/events/Event.h"

namespace vt {

/// Sent once per step of the game loop to objects interested in "vt-step".
class EventStep : public Event {
  public:
    /// A "vt-step" event for the step in progress.
    explicit EventStep(int step_count = 0);
    /// Sets the step in progress.
    void setStepCount(int step_count) { m_step_count = step_count; }
    /// The step in progress; 0 in the first step of a run.
    int getStepCount() const { return m_step_count; }

  private:
    int m_step_count;
};

} // namespace vt
