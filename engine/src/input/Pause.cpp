#include "vintrel/input/Pause.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <optional>

#include "media/SfmlCompat.h"
#include "platform/SystemClock.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

namespace {

// Between two looks at the window's queue while paused.
constexpr int PAUSE_POLL_MICROSECONDS = 30;

} // namespace

Pause::Pause(int pause_key) : m_pause_key(pause_key) {
    LogManager::getInstance().writeLog("Pause::Pause(): Pause enabled.  Press any other key to resume.");
    setSolidness(SPECTRAL);
    setType("Pause");
    registerInterest(EVENT_KEYBOARD);
}

int Pause::eventHandler(const Event* p_event) {
    LogManager& log_manager = LogManager::getInstance();
    log_manager.writeLog(10, "Pause::eventHandler(): Got event");
    const auto* p_keyboard = dynamic_cast<const EventKeyboard*>(p_event);
    if (p_keyboard == nullptr || p_event->getType() != EVENT_KEYBOARD)
        return 0;
    if (p_keyboard->getKey() != m_pause_key)
        return 1;

    log_manager.writeLog(1, "Pause::eventHandler(): Game paused.");
    // Nothing moved while the recorded game was paused, and what ended the
    // pause never reached the game: a replay goes straight on.
    if (ReplayManager::getInstance().isReplaying()) {
        log_manager.writeLog(1, "Pause::eventHandler(): Game resumed.");
        return 1;
    }
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    if (p_window == nullptr) {
        log_manager.writeLog(
            "Pause::eventHandler(): DisplayManager unexpectedly returned null window!  Cannot pause.");
        return 0;
    }

    // Everything that reaches the window while paused is used up here, so
    // the key that resumes the game never reaches the game itself.
    bool key_pressed = false;
    while (!key_pressed) {
        while (const std::optional<sf::Event> event = sfml::pollEvent(*p_window)) {
            const sfml::InputEvent input = sfml::describeEvent(*event);
            if (input.kind == sfml::InputEvent::Kind::Closed) {
                log_manager.writeLog(1, "Pause::eventHandler(): Window closed. Setting game over.");
                ReplayManager::getInstance().recordClose();
                GameManager::getInstance().setGameOver(true);
                return 1;
            }
            if (input.kind == sfml::InputEvent::Kind::KeyPressed) {
                log_manager.writeLog(10, "Pause::eventHandler(): Keypressed.");
                key_pressed = true;
            }
        }
        platform::sleepMicroseconds(PAUSE_POLL_MICROSECONDS);
    }

    log_manager.writeLog(1, "Pause::eventHandler(): Game resumed.");
    return 1;
}

} // namespace vt
