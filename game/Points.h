#pragma once

#include <vintrel/world/ViewObject.h>

/// The score at the top centre: one point per 30 steps survived, plus what
/// the "Points" view events of destroyed asteroids add.
class Points : public vt::ViewObject {
  public:
    /// A white "Points" display at the top centre, starting at 0.
    Points();

    /// "Points" view events, then a point on every 30th step.
    int eventHandler(const vt::Event* p_event) override;
};
