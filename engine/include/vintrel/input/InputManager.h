#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "vintrel/core/Manager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/input/Key.h"

namespace sf {
class Event;
class RenderWindow;
} // namespace sf

namespace vt {

class ActionTable;

/// Turns what happens at the keyboard, the mouse and the window into engine
/// events once per step, delivered to the objects registered for
/// "vt-keyboard" and "vt-mouse". Closing the window ends the game. A game
/// may also name actions ("fire", "left") bound to keys and mouse buttons,
/// and ask each step whether they were pressed, held or released, or hear of
/// them as "vt-action" events (EventAction).
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

    /// Most events queueInput keeps waiting for the next step.
    static constexpr std::size_t MAX_QUEUED_INPUT = 4096;

    /// Most actions a game binds.
    static constexpr std::size_t MAX_ACTIONS = 64;
    /// Longest action name, in bytes: letters, digits, '_' and '-'.
    static constexpr std::size_t MAX_ACTION_NAME_BYTES = 32;
    /// Most keys and buttons one action is bound to.
    static constexpr std::size_t MAX_ACTION_INPUTS = 8;

    /// Delivers this step's input: events given to queueInput, the window's
    /// queued events, then one event per held mouse button and one per held
    /// key. While a replay plays, the recorded input instead. Then, for the
    /// bound actions, their "vt-action" events.
    void getInput();

    /// Binds an action to keys and mouse buttons, the defaults that the
    /// configuration file's key `bind_ACTION` overrides
    /// (`bind_fire:SPACE+MOUSE_LEFT`, docs/configuration.md); a name there that
    /// is no key gets one log line, and the defaults apply. Binding an action
    /// again replaces its binding. Bindings last until shutDown(). A
    /// recording keeps them; its replay binds as the recorded run did.
    /// 0, or -1 after a log line for a name or binding beyond the limits above.
    int bindAction(const std::string& action, const std::vector<Key>& keys,
                   const std::vector<MouseButton>& buttons = {});
    /// The action's binding as the configuration writes it ("SPACE+MOUSE_LEFT",
    /// "none"); empty for an action not bound.
    [[nodiscard]] std::string getActionBinding(const std::string& action) const;
    /// True when a key or button of the action went down in the last step,
    /// none being down the step before.
    [[nodiscard]] bool isActionPressed(const std::string& action) const;
    /// True when a key or button of the action was down in the last step
    /// (pressed, held, or clicked).
    [[nodiscard]] bool isActionHeld(const std::string& action) const;
    /// True when the action was held the step before the last and is not now.
    [[nodiscard]] bool isActionReleased(const std::string& action) const;

    /// Queues an event for the next getInput(), to be delivered (and recorded)
    /// as if it came from the window, also without one (headless). A replay
    /// drops it: its input comes from its file. 0, or -1 when MAX_QUEUED_INPUT wait.
    int queueInput(const EventKeyboard& keyboard);
    /// Queues a mouse event as queueInput does a keyboard one.
    int queueInput(const EventMouse& mouse);

    /// Presses of the debug overlay's key (`debug_overlay_key`) since the
    /// last call. That key is kept from the game: never delivered, held or
    /// recorded, also while a replay plays.
    [[nodiscard]] int takeOverlayKeyPresses();

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
    // The steps of getInput, in their order.
    void deliverReplayedInput();
    void deliverQueuedInput();
    void deliverWindowInput();
    // False when the window closed: nothing more is read this step.
    bool deliverWindowEvents(sf::RenderWindow& window);
    void deliverHeldButtons(sf::RenderWindow& window);
    void deliverHeldKeys();

    std::vector<std::variant<EventKeyboard, EventMouse>> m_queued;
    std::unique_ptr<ActionTable> m_p_actions;
    // KEY_UNDEFINED when the overlay has no key.
    Key m_overlay_key = KEY_UNDEFINED;
    int m_overlay_key_presses = 0;
    // True, after counting a press, for the overlay's key.
    bool takesOverlayKey(int key, bool pressed);
};

} // namespace vt
