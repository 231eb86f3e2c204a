#pragma once

#include <vintrel/world/Object.h>

namespace vt {
class EventCollision;
}

/// What an exploding asteroid leaves behind: one pass of its animation, during
/// which every asteroid flying into it is destroyed.
class Explosion : public vt::Object {
  public:
    /// Lives as many steps as the "explosion" sprite has frames.
    Explosion();

    /// Counts its life down on steps and blasts asteroids it touches.
    int eventHandler(const vt::Event* p_event) override;

  private:
    int m_time_to_live;
};

/// Destroys and replaces, one for one, each asteroid of the collision.
void blastAsteroids(const vt::EventCollision* p_collision);

/// The step and collision handling both kinds of explosion share: counts
/// time_to_live down and marks the object when it runs out.
int handleExplosionEvent(vt::Object* p_explosion, int& time_to_live, const vt::Event* p_event);

/// Sets the sprite and returns the life it gives: one step per frame, 0 without the sprite.
int explosionLifetime(vt::Object* p_explosion, const char* sprite_label);
