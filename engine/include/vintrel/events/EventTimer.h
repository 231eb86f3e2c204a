#pragma once

#include <string>

#include "vintrel/events/Event.h"

namespace vt {

/// Whether a step timer fires once or again every period.
enum TimerRepeat : int {
    TIMER_ONCE = 0,      ///< fires once, then is gone
    TIMER_REPEATING = 1, ///< fires every period until cancelled
};

/// Most step timers one object may have pending at once; a further one is
/// refused with a log line.
constexpr int MAX_OBJECT_TIMERS = 64;

/// Sent to an object when one of its step timers falls due
/// (WorldManager::startTimer), without registration.
class EventTimer : public Event {
  public:
    EventTimer();
    /// The event of the timer named `name`, of period `steps`.
    EventTimer(const std::string& name, int steps, TimerRepeat repeat);

    /// The name the object gave the timer.
    std::string getName() const { return m_name; }
    /// The timer's period in steps.
    int getSteps() const { return m_steps; }
    /// True when the timer fires again after this event (unless cancelled).
    bool isRepeating() const { return m_repeat == TIMER_REPEATING; }

  private:
    std::string m_name;
    int m_steps;
    TimerRepeat m_repeat;
};

} // namespace vt
