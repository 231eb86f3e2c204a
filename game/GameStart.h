#pragma once

#include <vintrel/world/ViewObject.h>

namespace vt {
class Music;
}

/// The title screen: P starts a game, Q ends the program. It stays in the
/// world while a game runs, inactive, and the game-over screen wakes it.
class GameStart : public vt::ViewObject {
  public:
    /// Centred title screen; starts the "start music" looping when it is loaded.
    GameStart();

    /// P and Q; 1 for every keyboard event, 0 for anything else.
    int eventHandler(const vt::Event* p_event) override;
    /// The title sprite, not the display's label text.
    int draw() override;

    /// Creates the ship, five asteroids and the two displays, silences the
    /// music and puts the title screen to sleep.
    void start();

  private:
    vt::Music* m_p_music;
};
