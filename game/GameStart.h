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

    /// Removes the last game's score and missile displays, creates the ship,
    /// five asteroids and two new displays, silences the music and puts the
    /// title screen to sleep. The last game's asteroids stay.
    void start();

  private:
    vt::Music* m_p_music;
};
