#pragma once

#include <memory>

#include "vintrel/media/Sprite.h"
#include "vintrel/world/Object.h"

namespace vt {

/// Plays the engine's title sequence in the game window by running the game
/// loop until it ends (about 90 steps, or at once on any key). 0, or -1 when
/// the game manager is not started.
int splash();

/// The title banner: slides in from the right edge, stops, changes its
/// lettering and calls in the creature that lands on its right end.
class Splash : public Object {
  public:
    /// Enters the world just beyond the right edge, vertically centred.
    Splash();
    ~Splash() override;

    /// Counts steps; any key ends the sequence. 1 for a step, else 0.
    int eventHandler(const Event* p_event) override;

    /// Steps still to go; 0 is the step at which the banner stops.
    int getCountdown() const { return m_countdown; }

  private:
    int m_countdown;
    std::unique_ptr<Sprite> m_p_sprite; // built here and shown only by this object
};

} // namespace vt
