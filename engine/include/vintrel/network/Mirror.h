#pragma once

#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"

namespace vt {

/// The copy of an object of another process's world (see WorldMirror). It
/// changes only through the records it is given: it never moves, collides,
/// follows a path or answers events by itself, and shows the animation frame
/// its source showed. Its source's motion is kept for reading (getSource...)
/// while its own stays zero, so the local world leaves it in place.
template <typename Base> class Mirror : public Base {
  public:
    Mirror();

    /// Ignores every event: the source's rules run on the source's side.
    int eventHandler(const Event* p_event) override;
    /// Draws the frame the source showed, without stepping the animation;
    /// a view object draws its label unless it draws its sprite.
    int draw() override;
    void setDirection(const Vector& direction) override;
    void setVelocity(const Vector& velocity) override;
    void setAcceleration(const Vector& acceleration) override;
    void setFollowPath(bool follow_path = true) override;

    /// The id of the source in its own world. The mirror has an id of this
    /// world, like any object, so that the two worlds' ids never meet.
    int getSourceId() const { return m_source_id; }
    void setSourceId(int source_id) { m_source_id = source_id; }
    /// The source's direction, acceleration and velocity (direction x speed), in spaces per step.
    Vector getSourceDirection() const { return m_source_direction; }
    Vector getSourceAcceleration() const { return m_source_acceleration; }
    Vector getSourceVelocity() const;
    bool getSourceFollowPath() const { return m_source_follow_path; }

    /// For view objects whose class draws a sprite instead of a label (a
    /// title screen): draw it the same way. Plain objects always draw their sprite.
    void setDrawsSprite(bool draws_sprite) { m_draws_sprite = draws_sprite; }
    bool getDrawsSprite() const { return m_draws_sprite; }

    /// The animation frame drawn, and the frame and slowdown count the
    /// source's animation holds after its latest step.
    int getShownFrame() const { return m_shown_frame; }
    int getSourceFrame() const { return m_source_frame; }
    int getSourceSlowdownCount() const { return m_source_slowdown_count; }
    /// Follows one step of the source: `received` when this step's record
    /// carried the animation (as the source held it after drawing), `drawn`
    /// when the source was drawn in that step (which steps its animation).
    void followSourceStep(bool received, bool drawn);

  private:
    int m_source_id;
    Vector m_source_direction;
    Vector m_source_acceleration;
    bool m_source_follow_path;
    bool m_draws_sprite;
    int m_shown_frame;
    int m_source_frame;
    int m_source_slowdown_count;
};

/// The copy of a plain object.
using ObjectMirror = Mirror<Object>;
/// The copy of a view object.
using ViewMirror = Mirror<ViewObject>;

extern template class Mirror<Object>;
extern template class Mirror<ViewObject>;

} // namespace vt
