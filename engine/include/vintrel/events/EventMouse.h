#pragma once

#include "vintrel/core/Vector.h"
#include "vintrel/events/Event.h"

namespace vt {

/// What the mouse did.
enum MouseAction {
    MOUSE_ACTION_UNDEFINED = -1,
    MOUSE_ACTION_CLICKED = 0, ///< a button went down (once)
    MOUSE_ACTION_PRESSED,     ///< a button is down when input was polled (every step)
    MOUSE_ACTION_MOVED,       ///< the pointer moved; no button
};

/// The buttons a mouse event names.
enum MouseButton {
    MOUSE_BUTTON_UNDEFINED = -1,
    MOUSE_BUTTON_LEFT = 0,
    MOUSE_BUTTON_RIGHT,
    MOUSE_BUTTON_MIDDLE,
};

/// A mouse click, held button or move, with the pointer position in spaces.
class EventMouse : public Event {
  public:
    EventMouse();

    /// Sets what the mouse did, a MouseAction.
    void setMouseAction(int mouse_action) { m_mouse_action = mouse_action; }
    /// What the mouse did, a MouseAction.
    int getMouseAction() const { return m_mouse_action; }
    /// Sets the button, a MouseButton.
    void setMouseButton(int mouse_button) { m_mouse_button = mouse_button; }
    /// The button, a MouseButton; MOUSE_BUTTON_UNDEFINED for moves.
    int getMouseButton() const { return m_mouse_button; }
    /// Sets the pointer position, in spaces (world cells).
    void setMousePosition(const Vector& position) { m_mouse_position = position; }
    /// The pointer position, in spaces (world cells).
    Vector getMousePosition() const { return m_mouse_position; }

  private:
    int m_mouse_action;
    int m_mouse_button;
    Vector m_mouse_position;
};

} // namespace vt
