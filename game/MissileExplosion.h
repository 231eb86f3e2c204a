#pragma once

#include <vintrel/world/Object.h>

/// A missile's blast: larger than an asteroid's explosion and drawn on top;
/// the box of its sprite is the area it clears.
class MissileExplosion : public vt::Object {
  public:
    /// Lives as many steps as the "missileexplosion" sprite has frames.
    MissileExplosion();

    /// Counts its life down on steps and blasts asteroids it touches.
    int eventHandler(const vt::Event* p_event) override;

  private:
    int m_time_to_live;
};
