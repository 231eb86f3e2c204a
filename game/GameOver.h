#pragma once

#include <vintrel/world/ViewObject.h>

/// The game-over animation: shown for exactly one pass of its sprite, then
/// removed, which brings the title screen back.
class GameOver : public vt::ViewObject {
  public:
    /// Centred; plays "game over" once when it is loaded.
    GameOver();
    /// Wakes every title screen in the world.
    ~GameOver() override;

    /// Counts its life down on steps; 1 for a step, 0 otherwise.
    int eventHandler(const vt::Event* p_event) override;
    /// The game-over sprite, not the display's label text.
    int draw() override;

    /// Steps still to show.
    [[nodiscard]] int getTimeToLive() const { return m_time_to_live; }

  private:
    int m_time_to_live;
};
