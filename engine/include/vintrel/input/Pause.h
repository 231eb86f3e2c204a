#pragma once

#include <string>

#include "vintrel/input/Key.h"
#include "vintrel/world/Object.h"

namespace vt {

/// A pause key for the game: a keyboard event with that key (pressed, held
/// or released) freezes the whole game loop until any key is pressed in the
/// window, or the window is closed. While paused the window shows the
/// game's last frame, as it stands, with a message centred over it; resuming
/// shows that frame again without the message. Never collides.
class Pause : public Object {
  public:
    /// Enters the world listening for the given engine key code.
    explicit Pause(int pause_key = KEY_F10);

    /// Blocks inside the handler while paused. 1 for every keyboard event,
    /// 0 for other events and when there is no window to pause in.
    int eventHandler(const Event* p_event) override;

    /// The engine key code that pauses the game.
    [[nodiscard]] int getPauseKey() const { return m_pause_key; }
    /// The text shown while paused, in UTF-8; empty leaves the game's last
    /// frame on the screen instead.
    void setMessage(const std::string& message) { m_message = message; }
    /// The text shown while paused, in UTF-8.
    [[nodiscard]] const std::string& getMessage() const { return m_message; }

  private:
    // Shows the message over the last frame, before the loop blocks; true when shown.
    bool showMessage() const;
    // Shows the last frame again without the message.
    void hideMessage() const;

    int m_pause_key;
    std::string m_message;
};

} // namespace vt
