#pragma once

#include <string>

#include "vintrel/events/Event.h"

namespace vt {

/// Type name of EventAction: what happened to one of the game's named
/// actions. Objects register interest in it like a game's own event name.
inline constexpr char EVENT_ACTION[] = "vt-action";

/// What happened to a named action in a step; numbered as KeyAction is.
enum ActionPhase : int {
    ACTION_PRESSED = 0,  ///< the action went down this step
    ACTION_RELEASED = 1, ///< the action was down last step and is not now
    ACTION_HELD = 2,     ///< the action is down this step (the step it went down too)
};

/// A named action ("fire", "left") that the input manager derived from the
/// keys and buttons bound to it (InputManager::bindAction).
class EventAction : public Event {
  public:
    /// An event for the action in this phase.
    EventAction(const std::string& action, ActionPhase phase);

    /// The action's name, as bound.
    const std::string& getAction() const { return m_action; }
    /// Pressed, held or released.
    ActionPhase getPhase() const { return m_phase; }

  private:
    std::string m_action;
    ActionPhase m_phase;
};

} // namespace vt
