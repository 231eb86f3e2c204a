#include "vintrel/events/Event.h"

namespace vt {

Event::Event() : m_type(EVENT_UNDEFINED) {}

Event::~Event() = default;

void Event::setType(const std::string& type) { m_type = type; }

std::string Event::getType() const { return m_type; }

} // namespace vt
