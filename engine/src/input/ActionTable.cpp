#include "input/ActionTable.h"

#include <algorithm>
#include <cctype>

#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/events/EventAction.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/replay/ReplayManager.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

constexpr char NO_INPUT[] = "none";
constexpr char KEY_PREFIX[] = "bind_";

// The button names, by MouseButton from MOUSE_BUTTON_LEFT.
constexpr const char* BUTTON_NAMES[] = {"MOUSE_LEFT", "MOUSE_RIGHT", "MOUSE_MIDDLE"};

std::string upperCase(const std::string& text) {
    std::string upper;
    for (const char c : text)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A name that is also a configuration key, after "bind_".
bool validActionName(const std::string& action) {
    if (action.empty() || action.size() > InputManager::MAX_ACTION_NAME_BYTES)
        return false;
    return std::all_of(action.begin(), action.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-';
    });
}

template <typename T> void addOnce(std::vector<int>& list, T value) {
    if (std::find(list.begin(), list.end(), static_cast<int>(value)) == list.end())
        list.push_back(static_cast<int>(value));
}

bool holds(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace

const std::string& ActionTable::configText() {
    if (!m_config_read) {
        m_config = Config::getInstance().readConfig();
        m_config_read = true;
    }
    return m_config;
}

bool ActionTable::parse(const std::string& text, Inputs* p_inputs, std::string* p_unknown) {
    Inputs inputs;
    std::size_t start = 0;
    while (upperCase(text) != upperCase(NO_INPUT)) {
        const std::size_t plus = text.find('+', start);
        const std::string name =
            upperCase(text.substr(start, plus == std::string::npos ? plus : plus - start));
        const auto button = std::find(std::begin(BUTTON_NAMES), std::end(BUTTON_NAMES), name);
        const Key key = keyFromName(name);
        if (button != std::end(BUTTON_NAMES))
            addOnce(inputs.buttons, MOUSE_BUTTON_LEFT + (button - std::begin(BUTTON_NAMES)));
        else if (key != KEY_UNDEFINED)
            addOnce(inputs.keys, key);
        else {
            *p_unknown = name;
            return false;
        }
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    if (inputs.keys.size() + inputs.buttons.size() > InputManager::MAX_ACTION_INPUTS) {
        p_unknown->clear();
        return false;
    }
    *p_inputs = inputs;
    return true;
}

std::string ActionTable::format(const Inputs& inputs) {
    std::string text;
    for (const int key : inputs.keys)
        text += (text.empty() ? "" : "+") + keyToName(key);
    for (const int button : inputs.buttons)
        text += (text.empty() ? "" : "+") + std::string(BUTTON_NAMES[button - MOUSE_BUTTON_LEFT]);
    return text.empty() ? NO_INPUT : text;
}

int ActionTable::bind(const std::string& action, const std::vector<Key>& keys,
                      const std::vector<MouseButton>& buttons) {
    LogManager& log_manager = LogManager::getInstance();
    Inputs defaults;
    for (const Key key : keys)
        if (!keyToName(key).empty())
            addOnce(defaults.keys, key);
    for (const MouseButton button : buttons)
        if (button >= MOUSE_BUTTON_LEFT && button <= MOUSE_BUTTON_MIDDLE)
            addOnce(defaults.buttons, button);
    const bool new_action = find(action) == nullptr;
    if (!validActionName(action) || defaults.keys.size() != keys.size() ||
        defaults.buttons.size() != buttons.size() ||
        keys.size() + buttons.size() > InputManager::MAX_ACTION_INPUTS ||
        (new_action && m_actions.size() >= InputManager::MAX_ACTIONS)) {
        log_manager.writeLog(
            "InputManager::bindAction(): Error! Cannot bind '%s': names take 1 to %zu letters, "
            "digits, '_' or '-', and an action up to %zu different keys and buttons (of %zu "
            "actions).",
            clipForLog(action).c_str(), InputManager::MAX_ACTION_NAME_BYTES, InputManager::MAX_ACTION_INPUTS,
            InputManager::MAX_ACTIONS);
        return -1;
    }

    const std::string key = KEY_PREFIX + action;
    Inputs inputs = defaults;
    const std::string configured = match(configText(), key);
    std::string unknown;
    if (!configured.empty() && !parse(configured, &inputs, &unknown)) {
        const std::string what =
            unknown.empty()
                ? "More than " + std::to_string(InputManager::MAX_ACTION_INPUTS) + " keys and buttons"
                : "Unknown key '" + clipForLog(unknown) + "'";
        log_manager.writeLog("InputManager::bindAction(): %s in %s:%s; the default %s applies.", what.c_str(),
                             key.c_str(), clipForLog(configured).c_str(), format(defaults).c_str());
    }
    // A replay binds as the recorded run did, whatever the replayer's file says.
    const std::string chosen = format(inputs);
    const std::string recorded = ReplayManager::getInstance().gameSetting(key, chosen);
    if (recorded != chosen && !parse(recorded, &inputs, &unknown))
        log_manager.writeLog(
            "InputManager::bindAction(): Error! The recording binds %s to '%s', which names no "
            "key; %s applies.",
            key.c_str(), clipForLog(recorded).c_str(), chosen.c_str());

    for (Action& existing : m_actions)
        if (existing.name == action) {
            existing.inputs = inputs;
            return 0;
        }
    m_actions.push_back({action, inputs});
    return 0;
}

std::string ActionTable::binding(const std::string& action) const {
    const Action* p_action = find(action);
    return p_action != nullptr ? format(p_action->inputs) : "";
}

void ActionTable::clear() {
    m_actions.clear();
    m_config.clear();
    m_config_read = false;
}

void ActionTable::beginStep() {
    for (Action& action : m_actions) {
        action.was_down = action.down;
        action.down = false;
    }
}

void ActionTable::note(const EventKeyboard& keyboard) {
    if (keyboard.getKeyboardAction() == KEY_ACTION_RELEASED)
        return;
    for (Action& action : m_actions)
        action.down = action.down || holds(action.inputs.keys, keyboard.getKey());
}

void ActionTable::note(const EventMouse& mouse) {
    if (mouse.getMouseAction() != MOUSE_ACTION_CLICKED && mouse.getMouseAction() != MOUSE_ACTION_PRESSED)
        return;
    for (Action& action : m_actions)
        action.down = action.down || holds(action.inputs.buttons, mouse.getMouseButton());
}

void ActionTable::deliver() const {
    // Taken first: a handler may bind actions anew.
    std::vector<EventAction> events;
    for (const Action& action : m_actions) {
        if (action.down && !action.was_down)
            events.emplace_back(action.name, ACTION_PRESSED);
        if (action.down)
            events.emplace_back(action.name, ACTION_HELD);
        if (action.was_down && !action.down)
            events.emplace_back(action.name, ACTION_RELEASED);
    }
    const WorldManager& world_manager = WorldManager::getInstance();
    for (const EventAction& event : events)
        world_manager.onEvent(&event);
}

const ActionTable::Action* ActionTable::find(const std::string& action) const {
    for (const Action& existing : m_actions)
        if (existing.name == action)
            return &existing;
    return nullptr;
}

bool ActionTable::pressed(const std::string& action) const {
    const Action* p_action = find(action);
    return p_action != nullptr && p_action->down && !p_action->was_down;
}

bool ActionTable::held(const std::string& action) const {
    const Action* p_action = find(action);
    return p_action != nullptr && p_action->down;
}

bool ActionTable::released(const std::string& action) const {
    const Action* p_action = find(action);
    return p_action != nullptr && p_action->was_down && !p_action->down;
}

} // namespace vt
