#pragma once

#include <vintrel/world/Object.h>
#include <vintrel/world/Vector.h>

/// A shot of the ship's gun: one cell per step in a straight line.
class Bullet : public vt::Object {
  public:
    /// A soft bullet at the start position, moving with the given velocity.
    Bullet(const vt::Vector& position, const vt::Vector& velocity);

    /// Leaves the game when it flies out of the world; 1 then, 0 otherwise.
    int eventHandler(const vt::Event* p_event) override;
};
