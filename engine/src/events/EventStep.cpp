#include "vintrel/events/EventStep.h"

namespace vt {

EventStep::EventStep(int step_count) : m_step_count(step_count) { setType(EVENT_STEP); }

} // namespace vt
