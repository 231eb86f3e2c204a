#pragma once

#include <string>
#include <vector>

#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/input/Key.h"

namespace vt {

// The game's named actions, each bound to keys and mouse buttons, and what
// each did in the step the input manager delivered last. Everything follows
// from the step's keyboard and mouse events, so that a replay, which
// delivers the recorded events, gives the same actions; the bindings
// themselves are kept in a recording (as game settings "bind_<action>") and
// taken from it when it is replayed.
class ActionTable {
  public:
    // Binds, or binds anew, the action (docs/configuration.md: the key
    // bind_<action> of the configuration file overrides the defaults).
    int bind(const std::string& action, const std::vector<Key>& keys,
             const std::vector<MouseButton>& buttons);
    // The action's binding as the configuration writes it ("SPACE+MOUSE_LEFT",
    // "none"); empty for an action not bound.
    [[nodiscard]] std::string binding(const std::string& action) const;
    // Forgets every action, and the configuration read for them.
    void clear();

    // A new step: what was down is now what was down before.
    void beginStep();
    // Marks the actions the event's key holds down.
    void note(const EventKeyboard& keyboard);
    // Marks the actions the event's button holds down.
    void note(const EventMouse& mouse);
    // Delivers the step's action events to the objects interested, action by
    // action in binding order: pressed, then held, then released.
    void deliver() const;

    // What the action did in the last step; false for an action not bound.
    [[nodiscard]] bool pressed(const std::string& action) const;
    [[nodiscard]] bool held(const std::string& action) const;
    [[nodiscard]] bool released(const std::string& action) const;

  private:
    struct Inputs {
        std::vector<int> keys;
        std::vector<int> buttons;
    };
    struct Action {
        std::string name;
        Inputs inputs;
        bool down = false;
        bool was_down = false;
    };

    // The binding a text names, or false with the first name that is no key
    // or button (empty when the names are too many).
    static bool parse(const std::string& text, Inputs* p_inputs, std::string* p_unknown);
    static std::string format(const Inputs& inputs);
    [[nodiscard]] const Action* find(const std::string& action) const;
    // The configuration file's text, read once for every binding.
    const std::string& configText();

    std::vector<Action> m_actions;
    std::string m_config;
    bool m_config_read = false;
};

} // namespace vt
