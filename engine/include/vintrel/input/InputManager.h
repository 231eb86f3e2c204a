#pragma once

#include <string>

#include "vintrel/core/Manager.h"
#include "vintrel/events/EventKeyboard.h"

namespace sf {
class Event;
}

namespace vt {

/// Turns what happens at the keyboard, the mouse and the window into engine
/// events once per step, delivered to the objects registered for
/// "vt-keyboard" and "vt-mouse". Closing the window ends the game.
class InputManager : public Manager {
  public:
    /// The one input manager, made on first use.
    static InputManager& getInstance();
    /// True for "vt-keyboard" and "vt-mouse" only.
    bool isValid(const std::string& event_type) const override;
    ~InputManager() override;
    /// Needs the display manager started (unless headless); turns key repeat
    /// off so that a held key gives one press. 0 or -1.
    int startUp() override;
    /// Turns key repeat back on.
    void shutDown() override;

    /// Delivers this step's input: queued window events first, then one event
    /// per held mouse button and one per held key.
    void getInput();

    /// The keyboard event for a window key press or release, with the engine's
    /// key set (KEY_UNDEFINED for keys it does not know); the caller sets the action.
    [[nodiscard]] EventKeyboard toEventKeyboard(const sf::Event& event) const;

  private:
    InputManager();
};

} // namespace vt
