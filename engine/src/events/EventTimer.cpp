#include "vintrel/events/EventTimer.h"

namespace vt {

EventTimer::EventTimer() : m_name(), m_steps(0), m_repeat(TIMER_ONCE) { setType(EVENT_TIMER); }

EventTimer::EventTimer(const std::string& name, int steps, TimerRepeat repeat)
    : m_name(name), m_steps(steps), m_repeat(repeat) {
    setType(EVENT_TIMER);
}

} // namespace vt
