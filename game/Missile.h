#pragma once

#include <vintrel/world/Object.h>
#include <vintrel/world/Vector.h>

/// A missile: slower than a bullet, but its blast destroys every asteroid around.
class Missile : public vt::Object {
  public:
    /// A soft missile at the start position, moving with the given velocity.
    Missile(const vt::Vector& position, const vt::Vector& velocity);

    /// Blows up on an asteroid, leaves the game out of the world.
    int eventHandler(const vt::Event* p_event) override;
};
