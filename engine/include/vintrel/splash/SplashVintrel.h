#pragma once

#include <memory>

#include "vintrel/core/Vector.h"
#include "vintrel/media/Sprite.h"
#include "vintrel/world/Object.h"

namespace vt {

/// The winged creature of the title sequence: flies up from below the
/// world, stops at its target height, settles into its resting picture and
/// then ends the sequence.
class SplashVintrel : public Object {
  public:
    /// Starts six rows below the world, under the target (where its centre lands).
    explicit SplashVintrel(const Vector& target);
    ~SplashVintrel() override;

    /// Counts steps; any key ends the sequence. 1 for a step or a key, else 0.
    int eventHandler(const Event* p_event) override;

    /// Where the creature's centre lands, in world spaces.
    Vector getTarget() const { return m_target; }
    /// Steps counted down through the flight; the creature rests and ends the sequence at fixed counts.
    int getCountdown() const { return m_countdown; }

  private:
    Vector m_target;
    int m_countdown;
    std::unique_ptr<Sprite> m_p_sprite; // the picture shown now; replaced once
};

} // namespace vt
