#include "vintrel/events/EventKeyboard.h"

namespace vt {

EventKeyboard::EventKeyboard() : m_key(-1), m_keyboard_action(KEY_ACTION_UNDEFINED) {
    setType(EVENT_KEYBOARD);
}

void EventKeyboard::setKey(int key) { m_key = key; }

int EventKeyboard::getKey() const { return m_key; }

void EventKeyboard::setKeyboardAction(int keyboard_action) { m_keyboard_action = keyboard_action; }

int EventKeyboard::getKeyboardAction() const { return m_keyboard_action; }

} // namespace vt
