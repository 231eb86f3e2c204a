#pragma once

#include <string>
#include <variant>
#include <vector>

#include "vintrel/core/Manager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"

namespace sf {
class Event;
}

namespace vt {

/// Turns what happens at the keyboard, the mouse and the window into engine
/// events once per step, delivered to the objects registered for
/// "vt-keyboard" and "vt-mouse". Closing the window ends the game.
class InputManager : public Manager {
  public:
    static InputManager& getInstance();
    /// True for "vt-keyboard" and "vt-mouse" only.
    bool isValid(const std::string& event_type) const override;
    ~InputManager() override;
    /// Needs the display manager started (unless headless); turns key repeat
    /// off so that a held key gives one press. 0 or -1.
    int startUp() override;
    /// Turns key repeat back on.
    void shutDown() override;

    /// Most events queueInput keeps waiting for the next step.
    static constexpr std::size_t MAX_QUEUED_INPUT = 4096;

    /// Delivers this step's input: events given to queueInput, the window's
    /// queued events, then one event per held mouse button and one per held
    /// key. While a replay plays, the recorded input instead.
    void getInput();

    /// Queues an event for the next getInput(), to be delivered (and recorded)
    /// as if it came from the window, also without one (headless). A replay
    /// drops it: its input comes from its file. 0, or -1 when MAX_QUEUED_INPUT wait.
    int queueInput(const EventKeyboard& keyboard);
    int queueInput(const EventMouse& mouse);

    /// The keyboard event for a window key press or release, with the engine's
    /// key set (KEY_UNDEFINED for keys it does not know); the caller sets the action.
    [[nodiscard]] EventKeyboard toEventKeyboard(const sf::Event& event) const;

  private:
    InputManager();
    // Records the event when a recording runs, then delivers it.
    void deliver(const EventKeyboard& keyboard);
    void deliver(const EventMouse& mouse);
    // True when the person watching a replay closed its window; the rest of
    // what reached the window is dropped.
    bool windowClosedDuringReplay();

    std::vector<std::variant<EventKeyboard, EventMouse>> m_queued;
};

} // namespace vt
