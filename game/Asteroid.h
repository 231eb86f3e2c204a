#pragma once

#include <vintrel/world/Object.h>

namespace vt {
class EventCollision;
}

/// A rock that flies in from beyond an edge straight at the ship. Shot, it
/// explodes and brings new ones; flown out of the world, it comes back faster.
class Asteroid : public vt::Object {
  public:
    /// Enters from the right edge, aimed at the ship when there is one.
    Asteroid();
    /// Every asteroid destroyed scores 5 "Points".
    ~Asteroid() override;

    /// Recycles on leaving the world, applies the collision rules on impact.
    int eventHandler(const vt::Event* p_event) override;

    /// Places the asteroid beyond an edge (0 right, 1 bottom, 2 left, 3 top)
    /// on a free spot and aims it at the ship; nothing without a ship.
    void moveToStart(int side);

  private:
    void hit(const vt::EventCollision* p_collision);
};
