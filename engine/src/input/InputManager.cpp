#include "vintrel/input/InputManager.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <array>
#include <optional>
#include <utility>

#include "core/LoopState.h"
#include "input/ActionTable.h"
#include "media/SfmlCompat.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/input/Key.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

namespace {

using SfKey = sf::Keyboard::Key;

int offsetFrom(SfKey key, SfKey first) { return static_cast<int>(key) - static_cast<int>(first); }

Key toKey(SfKey key) {
    if (key >= SfKey::A && key <= SfKey::Z)
        return static_cast<Key>(KEY_A + offsetFrom(key, SfKey::A));
    if (key >= SfKey::Num1 && key <= SfKey::Num9)
        return static_cast<Key>(KEY_1 + offsetFrom(key, SfKey::Num1));
    if (key >= SfKey::F1 && key <= SfKey::F12)
        return static_cast<Key>(KEY_F1 + offsetFrom(key, SfKey::F1));
    if (key == sfml::KEY_APOSTROPHE)
        return KEY_QUOTE;
    if (key == sfml::KEY_GRAVE)
        return KEY_TILDE;
    switch (key) {
    case SfKey::Num0:
        return KEY_0;
    case SfKey::Escape:
        return KEY_ESCAPE;
    case SfKey::LControl:
        return KEY_LEFT_CONTROL;
    case SfKey::RControl:
        return KEY_RIGHT_CONTROL;
    case SfKey::LShift:
        return KEY_LEFT_SHIFT;
    case SfKey::RShift:
        return KEY_RIGHT_SHIFT;
    case SfKey::LBracket:
        return KEY_LEFT_BRACKET;
    case SfKey::RBracket:
        return KEY_RIGHT_BRACKET;
    case SfKey::Semicolon:
        return KEY_SEMICOLON;
    case SfKey::Comma:
        return KEY_COMMA;
    case SfKey::Period:
        return KEY_PERIOD;
    case SfKey::Slash:
        return KEY_SLASH;
    case SfKey::Backslash:
        return KEY_BACKSLASH;
    case SfKey::Equal:
        return KEY_EQUAL;
    case SfKey::Space:
        return KEY_SPACE;
    case SfKey::Enter:
        return KEY_ENTER;
    case SfKey::Backspace:
        return KEY_BACKSPACE;
    case SfKey::Tab:
        return KEY_TAB;
    case SfKey::Add:
        return KEY_PLUS;
    case SfKey::Subtract:
        return KEY_MINUS;
    case SfKey::Multiply:
        return KEY_MULTIPLY;
    case SfKey::Left:
        return KEY_LEFT;
    case SfKey::Right:
        return KEY_RIGHT;
    case SfKey::Up:
        return KEY_UP;
    case SfKey::Down:
        return KEY_DOWN;
    case SfKey::Pause:
        return KEY_PAUSE;
    default:
        return KEY_UNDEFINED;
    }
}

using HeldKey = std::pair<SfKey, Key>;

// The keys reported every step while down, in reporting order. F11 and F12
// are left out: they only come as presses and releases.
std::array<HeldKey, 73> makeHeldKeys() {
    std::array<HeldKey, 73> keys{};
    std::size_t n = 0;
    for (SfKey key :
         {SfKey::Up,       SfKey::Down,      SfKey::Left,     SfKey::Right,         SfKey::Space,
          SfKey::Enter,    SfKey::Tab,       SfKey::Escape,   SfKey::Pause,         SfKey::Subtract,
          SfKey::Add,      sfml::KEY_GRAVE,  SfKey::Period,   SfKey::Comma,         SfKey::Slash,
          SfKey::Equal,    SfKey::Backslash, SfKey::Multiply, sfml::KEY_APOSTROPHE, SfKey::LBracket,
          SfKey::RBracket, SfKey::Semicolon, SfKey::LControl, SfKey::RControl,      SfKey::LShift,
          SfKey::RShift})
        keys[n++] = {key, toKey(key)};
    for (int i = 0; i < 10; i++)
        keys[n++] = {static_cast<SfKey>(static_cast<int>(SfKey::F1) + i), static_cast<Key>(KEY_F1 + i)};
    for (int i = 0; i < 26; i++)
        keys[n++] = {static_cast<SfKey>(static_cast<int>(SfKey::A) + i), static_cast<Key>(KEY_A + i)};
    for (int i = 0; i < 9; i++)
        keys[n++] = {static_cast<SfKey>(static_cast<int>(SfKey::Num1) + i), static_cast<Key>(KEY_1 + i)};
    keys[n++] = {SfKey::Num0, KEY_0};
    keys[n++] = {SfKey::Backspace, KEY_BACKSPACE};
    return keys;
}

const std::array<HeldKey, 73>& heldKeys() {
    static const std::array<HeldKey, 73> keys = makeHeldKeys();
    return keys;
}

int toMouseButton(sf::Mouse::Button button) {
    switch (button) {
    case sf::Mouse::Button::Left:
        return MOUSE_BUTTON_LEFT;
    case sf::Mouse::Button::Right:
        return MOUSE_BUTTON_RIGHT;
    case sf::Mouse::Button::Middle:
        return MOUSE_BUTTON_MIDDLE;
    default:
        return MOUSE_BUTTON_UNDEFINED;
    }
}

// Mouse positions come in window pixels, which a resized window no longer
// shares with the picture.
Vector toSpaces(int x, int y) { return pixelsToSpaces(DisplayManager::getInstance().fromWindowPixels(x, y)); }

} // namespace

InputManager::InputManager() : m_p_actions(std::make_unique<ActionTable>()) { setType("InputManager"); }

InputManager::~InputManager() = default;

InputManager& InputManager::getInstance() {
    static InputManager input_manager;
    return input_manager;
}

bool InputManager::isValid(const std::string& event_type) const {
    return event_type == EVENT_KEYBOARD || event_type == EVENT_MOUSE;
}

int InputManager::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (refuseSecondStart())
        return -1;
    if (Config::getInstance().getHeadless()) {
        log_manager.writeLog(1, "InputManager::startUp(): no input in headless mode.");
    } else {
        DisplayManager& display_manager = DisplayManager::getInstance();
        if (!display_manager.isStarted()) {
            log_manager.writeLog("InputManager::startUp(): Error! DisplayManager must be started first.");
            return -1;
        }
        if (sf::RenderWindow* p_window = display_manager.getWindow()) {
            p_window->setKeyRepeatEnabled(false);
            log_manager.writeLog(2, "InputManager::startUp(): Keyboard repeated disabled.");
        } else {
            log_manager.writeLog(
                "InputManager::startUp(): Warning! DisplayManager null. Cannot disable keyboard repeat.");
        }
    }
    const std::string overlay_key = Config::getInstance().getSettingText("debug_overlay_key");
    m_overlay_key = overlay_key == "none" || overlay_key.empty() ? KEY_UNDEFINED : keyFromName(overlay_key);
    m_overlay_key_presses = 0;
    if (m_overlay_key == KEY_UNDEFINED && overlay_key != "none" && !overlay_key.empty())
        log_manager.writeLog("InputManager::startUp(): Warning! debug_overlay_key '%s' is no key; the debug "
                             "overlay has no key.",
                             clipForLog(overlay_key).c_str());
    Manager::startUp();
    log_manager.writeLog(5, "InputManager::startUp(): successfully started.");
    return 0;
}

void InputManager::shutDown() {
    LogManager& log_manager = LogManager::getInstance();
    if (sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow()) {
        p_window->setKeyRepeatEnabled(true);
        log_manager.writeLog(2, "InputManager::shutDown(): Keyboard repeat enabled.");
    }
    m_queued.clear();
    m_p_actions->clear();
    Manager::shutDown();
    log_manager.writeLog(5, "InputManager::shutDown(): successfully stopped.");
}

int InputManager::queueInput(const EventKeyboard& keyboard) {
    if (m_queued.size() >= MAX_QUEUED_INPUT)
        return -1;
    m_queued.emplace_back(keyboard);
    return 0;
}

int InputManager::queueInput(const EventMouse& mouse) {
    if (m_queued.size() >= MAX_QUEUED_INPUT)
        return -1;
    m_queued.emplace_back(mouse);
    return 0;
}

void InputManager::deliver(const EventKeyboard& keyboard) {
    ReplayManager::getInstance().recordInput(keyboard);
    m_p_actions->note(keyboard);
    onEvent(&keyboard);
}

void InputManager::deliver(const EventMouse& mouse) {
    ReplayManager::getInstance().recordInput(mouse);
    m_p_actions->note(mouse);
    onEvent(&mouse);
}

bool InputManager::windowClosedDuringReplay() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    bool closed = false;
    while (p_window != nullptr && !closed) {
        const std::optional<sf::Event> event = sfml::pollEvent(*p_window);
        if (!event)
            break;
        const sfml::InputEvent input = sfml::describeEvent(*event);
        closed = input.kind == sfml::InputEvent::Kind::Closed;
        if (input.kind == sfml::InputEvent::Kind::KeyPressed)
            takesOverlayKey(toEventKeyboard(*event).getKey(), true);
    }
    return closed;
}

void InputManager::getInput() {
    m_p_actions->beginStep();
    if (ReplayManager::getInstance().isReplaying()) {
        deliverReplayedInput();
    } else {
        // Handlers may queue more: those wait for the next step.
        deliverQueuedInput();
        if (!Config::getInstance().getHeadless())
            deliverWindowInput();
    }
    m_p_actions->deliver();
}

void InputManager::deliverReplayedInput() {
    ReplayManager& replay_manager = ReplayManager::getInstance();
    m_queued.clear();
    if (windowClosedDuringReplay())
        replay_manager.interrupt();
    replay_manager.deliverInput([this](const Event& event) {
        if (event.getType() == EVENT_KEYBOARD)
            m_p_actions->note(static_cast<const EventKeyboard&>(event));
        else if (event.getType() == EVENT_MOUSE)
            m_p_actions->note(static_cast<const EventMouse&>(event));
        onEvent(&event);
    });
}

void InputManager::deliverQueuedInput() {
    const std::vector<std::variant<EventKeyboard, EventMouse>> queued = std::move(m_queued);
    m_queued.clear();
    for (const auto& event : queued)
        std::visit([this](const auto& input) { deliver(input); }, event);
}

void InputManager::deliverWindowInput() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    if (p_window == nullptr) {
        LogManager::getInstance().writeLog(
            "InputManager::getInput(): DisplayManager unexpectedly returned null window!");
        return;
    }
    if (!deliverWindowEvents(*p_window))
        return;
    deliverHeldButtons(*p_window);
    deliverHeldKeys();
}

bool InputManager::deliverWindowEvents(sf::RenderWindow& window) {
    while (const std::optional<sf::Event> event = sfml::pollEvent(window)) {
        const sfml::InputEvent input = sfml::describeEvent(*event);
        switch (input.kind) {
        case sfml::InputEvent::Kind::Closed:
            // Nothing more this step: the game is over.
            LogManager::getInstance().writeLog(1,
                                               "InputManager::getInput(): Window closed. Setting game over.");
            ReplayManager::getInstance().recordClose();
            LoopState::getInstance().setGameOver(true);
            return false;
        case sfml::InputEvent::Kind::KeyPressed:
        case sfml::InputEvent::Kind::KeyReleased: {
            EventKeyboard keyboard = toEventKeyboard(*event);
            if (takesOverlayKey(keyboard.getKey(), input.kind == sfml::InputEvent::Kind::KeyPressed))
                break;
            keyboard.setKeyboardAction(
                input.kind == sfml::InputEvent::Kind::KeyPressed ? KEY_ACTION_PRESSED : KEY_ACTION_RELEASED);
            deliver(keyboard);
            break;
        }
        case sfml::InputEvent::Kind::MouseMoved: {
            EventMouse mouse;
            mouse.setMouseAction(MOUSE_ACTION_MOVED);
            mouse.setMouseButton(MOUSE_BUTTON_UNDEFINED);
            mouse.setMousePosition(toSpaces(input.x, input.y));
            deliver(mouse);
            break;
        }
        case sfml::InputEvent::Kind::MouseButtonPressed: {
            EventMouse mouse;
            mouse.setMouseAction(MOUSE_ACTION_CLICKED);
            mouse.setMouseButton(toMouseButton(input.button));
            mouse.setMousePosition(toSpaces(input.x, input.y));
            deliver(mouse);
            break;
        }
        case sfml::InputEvent::Kind::Other:
            break;
        }
    }
    return true;
}

void InputManager::deliverHeldButtons(sf::RenderWindow& window) {
    const sf::Vector2i pointer = sf::Mouse::getPosition(window);
    EventMouse held_mouse;
    held_mouse.setMouseAction(MOUSE_ACTION_PRESSED);
    held_mouse.setMousePosition(toSpaces(pointer.x, pointer.y));
    for (sf::Mouse::Button button :
         {sf::Mouse::Button::Left, sf::Mouse::Button::Right, sf::Mouse::Button::Middle}) {
        if (sf::Mouse::isButtonPressed(button)) {
            held_mouse.setMouseButton(toMouseButton(button));
            deliver(held_mouse);
        }
    }
}

void InputManager::deliverHeldKeys() {
    for (const HeldKey& held : heldKeys()) {
        if (held.second != m_overlay_key && sf::Keyboard::isKeyPressed(held.first)) {
            EventKeyboard keyboard;
            keyboard.setKey(held.second);
            keyboard.setKeyboardAction(KEY_ACTION_HELD);
            deliver(keyboard);
        }
    }
}

bool InputManager::takesOverlayKey(int key, bool pressed) {
    if (m_overlay_key == KEY_UNDEFINED || key != m_overlay_key)
        return false;
    if (pressed)
        m_overlay_key_presses++;
    return true;
}

int InputManager::takeOverlayKeyPresses() {
    const int presses = m_overlay_key_presses;
    m_overlay_key_presses = 0;
    return presses;
}

int InputManager::bindAction(const std::string& action, const std::vector<Key>& keys,
                             const std::vector<MouseButton>& buttons) {
    return m_p_actions->bind(action, keys, buttons);
}

std::string InputManager::getActionBinding(const std::string& action) const {
    return m_p_actions->binding(action);
}

bool InputManager::isActionPressed(const std::string& action) const { return m_p_actions->pressed(action); }

bool InputManager::isActionHeld(const std::string& action) const { return m_p_actions->held(action); }

bool InputManager::isActionReleased(const std::string& action) const { return m_p_actions->released(action); }

EventKeyboard InputManager::toEventKeyboard(const sf::Event& event) const {
    LogManager& log_manager = LogManager::getInstance();
    EventKeyboard keyboard;
    const sfml::InputEvent input = sfml::describeEvent(event);
    if (input.kind != sfml::InputEvent::Kind::KeyPressed &&
        input.kind != sfml::InputEvent::Kind::KeyReleased) {
        log_manager.writeLog("toEventKeyboard(): Error! Called with non-keyboard event.");
        keyboard.setKey(KEY_UNDEFINED);
        return keyboard;
    }
    const Key key = toKey(input.key);
    const std::string description = sfml::keyDescription(input.key);
    if (key == KEY_UNDEFINED)
        log_manager.writeLog(1, "InputManager::toEventKeyboard(): Warning key '%s' not handled.",
                             description.c_str());
    log_manager.writeLog(15, "InputManager::toEventKeyboard(): Keyboard event '%s' (%s)",
                         keyToText(key).c_str(), description.c_str());
    keyboard.setKey(key);
    return keyboard;
}

} // namespace vt
