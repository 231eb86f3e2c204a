#pragma once

#include "vintrel/input/Key.h"
#include "vintrel/world/Object.h"

namespace vt {

/// A pause key for the game: a keyboard event with that key (pressed, held
/// or released) freezes the whole game loop until any key is pressed in the
/// window, or the window is closed. Draws nothing and never collides.
class Pause : public Object {
  public:
    /// Enters the world listening for the given engine key code.
    explicit Pause(int pause_key = KEY_F10);

    /// Blocks inside the handler while paused. 1 for every keyboard event,
    /// 0 for other events and when there is no window to pause in.
    int eventHandler(const Event* p_event) override;

    int getPauseKey() const { return m_pause_key; }

  private:
    int m_pause_key;
};

} // namespace vt
