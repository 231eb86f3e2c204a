#include "vintrel/events/EventView.h"

namespace vt {

EventView::EventView() : m_tag(), m_value(0), m_delta(false) { setType(EVENT_VIEW); }

EventView::EventView(const std::string& tag, int value, bool delta)
    : m_tag(tag), m_value(value), m_delta(delta) {
    setType(EVENT_VIEW);
}

} // namespace vt
