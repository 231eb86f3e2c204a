#include "vintrel/input/Pause.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "core/LoopState.h"
#include "media/SfmlCompat.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/SfmlColor.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

namespace {

// Between two looks at the window's queue while paused: long enough that a
// paused game costs next to nothing, short enough that a key resumes it
// within half a step.
constexpr std::int64_t SHORTEST_POLL_MICROSECONDS = 1000;
constexpr std::int64_t LONGEST_POLL_MICROSECONDS = 10000;

// A paused game that shows nothing looks frozen.
constexpr const char* DEFAULT_MESSAGE = "PAUSED — any key resumes";

sf::Color windowBackground() { return colorToSFML(Config::getInstance().getWindowBackgroundColor()); }

int pollMicroseconds() {
    const std::int64_t half_step = static_cast<std::int64_t>(LoopState::getInstance().getFrameTime()) * 500;
    return static_cast<int>(std::clamp(half_step, SHORTEST_POLL_MICROSECONDS, LONGEST_POLL_MICROSECONDS));
}

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
    const int poll_microseconds = pollMicroseconds();
    // Everything that reaches the window while paused is used up here, so
    // the key that resumes the game never reaches the game itself.
    bool key_pressed = false;
    while (!key_pressed) {
        // An interrupted game ends as one whose window was closed.
        if (platform::stopRequested()) {
            log_manager.writeLog(1, "Pause::eventHandler(): Stop requested. Setting game over.");
            LoopState::getInstance().setGameOver(true);
            return 1;
        }
        while (const std::optional<sf::Event> event = sfml::pollEvent(*p_window)) {
            const sfml::InputEvent input = sfml::describeEvent(*event);
            if (input.kind == sfml::InputEvent::Kind::Closed) {
                log_manager.writeLog(1, "Pause::eventHandler(): Window closed. Setting game over.");
                ReplayManager::getInstance().recordClose();
                LoopState::getInstance().setGameOver(true);
                return 1;
            }
            if (input.kind == sfml::InputEvent::Kind::KeyPressed) {
                log_manager.writeLog(10, "Pause::eventHandler(): Keypressed.");
                key_pressed = true;
            }
        }
        platform::sleepMicroseconds(poll_microseconds);
    }

    if (message_shown)
        hideMessage();
    log_manager.writeLog(1, "Pause::eventHandler(): Game resumed.");
    return 1;
}

// The game's last frame is drawn again from what the display kept of it, not
// by the objects: their draw would advance animations while the game stands
// still. The message sits on a plate of the background colour, so that it
// reads over whatever the game shows there.
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
    const sfml::RectParts bounds = sfml::rectParts(text.getGlobalBounds());
    const float margin_x = std::round(cellWidth());
    const float margin_y = std::round(cellHeight() / 4.0f);
    sf::RectangleShape plate(sf::Vector2f(std::round(bounds.width) + 2.0f * margin_x,
                                          std::round(bounds.height) + 2.0f * margin_y));
    plate.setPosition(sf::Vector2f(std::round(bounds.left) - margin_x, std::round(bounds.top) - margin_y));
    plate.setFillColor(background);

    p_window->clear(background);
    display_manager.redrawLastFrame();
    p_window->draw(plate);
    p_window->draw(text);
    p_window->display();
    return true;
}

// The game comes back as it was before the pause, and the rest of the step
// draws the next frame into a cleared window as usual.
void Pause::hideMessage() const {
    DisplayManager& display_manager = DisplayManager::getInstance();
    sf::RenderWindow* p_window = display_manager.getWindow();
    if (p_window == nullptr)
        return;
    p_window->clear(windowBackground());
    display_manager.redrawLastFrame();
    p_window->display();
    p_window->clear(windowBackground());
}

} // namespace vt
