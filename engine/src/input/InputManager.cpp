#include "vintrel/input/InputManager.h"

#include "vintrel/events/Event.h"

namespace vt {

InputManager::InputManager() { setType("InputManager"); }

InputManager::~InputManager() = default;

InputManager& InputManager::getInstance() {
    static InputManager input_manager;
    return input_manager;
}

bool InputManager::isValid(const std::string& event_type) const {
    return event_type == EVENT_KEYBOARD || event_type == EVENT_MOUSE;
}

int InputManager::startUp() { return Manager::startUp(); }

void InputManager::shutDown() { Manager::shutDown(); }

void InputManager::getInput() {}

} // namespace vt
