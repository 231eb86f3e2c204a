#pragma once

#include <vintrel/world/Object.h>
#include <vintrel/world/Vector.h>

/// Draws the cross-hair, a red '+', at a position in spaces; the display's result.
int drawReticle(const vt::Vector& position);

/// The red '+' that follows the mouse and shows where the ship aims.
class Reticle : public vt::Object {
  public:
    /// A spectral cross-hair on the top layer, listening to the mouse.
    Reticle();

    /// Follows mouse moves; 1 for a move, 0 otherwise. Clicks do not move it.
    int eventHandler(const vt::Event* p_event) override;
    /// Draws '+' in red at the position; the display's result.
    int draw() override;
};
