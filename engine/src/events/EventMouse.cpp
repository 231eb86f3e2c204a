#include "vintrel/events/EventMouse.h"

namespace vt {

EventMouse::EventMouse()
    : m_mouse_action(MOUSE_ACTION_UNDEFINED), m_mouse_button(MOUSE_BUTTON_UNDEFINED), m_mouse_position() {
    setType(EVENT_MOUSE);
}

} // namespace vt
