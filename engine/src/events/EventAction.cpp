#include "vintrel/events/EventAction.h"

namespace vt {

EventAction::EventAction(const std::string& action, ActionPhase phase) : m_action(action), m_phase(phase) {
    setType(EVENT_ACTION);
}

} // namespace vt
