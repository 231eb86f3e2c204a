#include "vintrel/input/Pause.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <cmath>
#include <optional>

#include "media/SfmlCompat.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/SfmlColor.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

namespace {

// Between two looks at the window's queue while paused.
constexpr int PAUSE_POLL_MICROSECONDS = 30;

// A paused game that shows nothing looks frozen.
constexpr const char* DEFAULT_MESSAGE = "PAUSED — any key resumes";

sf::Color windowBackground() { return colorToSFML(Config::getInstance().getWindowBackgroundColor()); }

// Black on light backgrounds, white on dark ones.
sf::Color contrasting(sf::Color background) {
    const int luma = (299 * background.r + 587 * background.g + 114 * background.b) / 1000;
    return luma > 127 ? sf::Color::Black : sf::Color::White;
}

} // namespace

Pause::Pause(int pause_key) : m_pause_key(pause_key), m_message(DEFAULT_MESSAGE) {
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

    const bool message_shown = showMessage();
    // Everything that reaches the window while paused is used up here, so
    // the key that resumes the game never reaches the game itself.
    bool key_pressed = false;
    while (!key_pressed) {
        // An interrupted game ends as one whose window was closed.
        if (platform::stopRequested()) {
            log_manager.writeLog(1, "Pause::eventHandler(): Stop requested. Setting game over.");
            GameManager::getInstance().setGameOver(true);
            return 1;
        }
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

    // The rest of the step draws the next frame, without the message.
    if (message_shown)
        p_window->clear(windowBackground());
    log_manager.writeLog(1, "Pause::eventHandler(): Game resumed.");
    return 1;
}

// The game's last frame is not drawn again behind the message: that would
// run every object's draw, which advances animations while the game stands
// still.
bool Pause::showMessage() const {
    DisplayManager& display_manager = DisplayManager::getInstance();
    sf::RenderWindow* p_window = display_manager.getWindow();
    const sf::Font* p_font = display_manager.getFont();
    if (m_message.empty() || p_window == nullptr || p_font == nullptr)
        return false;

    const sf::Color background = windowBackground();
    sf::Text text = sfml::makeText(*p_font, display_manager.getCharacterSize());
    text.setString(sf::String::fromUtf8(m_message.begin(), m_message.end()));
    text.setFillColor(contrasting(background));
    // Whole pixels keep the glyphs as sharp as the font renders them.
    const sf::Vector2f centre = sfml::rectCentre(text.getLocalBounds());
    text.setOrigin(sf::Vector2f(std::round(centre.x), std::round(centre.y)));
    text.setPosition(
        sf::Vector2f(std::round(static_cast<float>(display_manager.getHorizontalPixels()) / 2.0f),
                     std::round(static_cast<float>(display_manager.getVerticalPixels()) / 2.0f)));
    p_window->clear(background);
    p_window->draw(text);
    p_window->display();
    return true;
}

} // namespace vt
