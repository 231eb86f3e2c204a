#pragma once

#include "vintrel/events/Event.h"

namespace vt {

/// What happened to a key.
enum KeyAction {
    KEY_ACTION_UNDEFINED = -1,
    KEY_ACTION_PRESSED = 0, ///< went down (once)
    KEY_ACTION_RELEASED,    ///< went up (once)
    KEY_ACTION_HELD,        ///< down when input was polled (every step)
};

/// A key pressed, held or released. The key is a code of the input manager's Key set.
class EventKeyboard : public Event {
  public:
    EventKeyboard();

    /// Sets the key, a code of the Key enumeration.
    virtual void setKey(int key);
    /// The key, a code of the Key enumeration; KEY_UNDEFINED until set.
    virtual int getKey() const;
    /// Sets what happened to the key, a KeyAction.
    virtual void setKeyboardAction(int keyboard_action);
    /// What happened to the key, a KeyAction.
    virtual int getKeyboardAction() const;

  private:
    int m_key;
    int m_keyboard_action;
};

} // namespace vt
