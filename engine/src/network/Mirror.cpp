#include "vintrel/network/Mirror.h"

#include <type_traits>

#include "vintrel/media/Sprite.h"

namespace vt {

namespace {

// One draw of an animation, as Animation::draw counts it: the frame moves on
// once the slowdown count reaches the sprite's slowdown; -1 holds the frame.
void stepFrame(const Sprite& sprite, int* p_frame, int* p_count) {
    if (*p_count == -1)
        return;
    const long long count = static_cast<long long>(*p_count) + 1;
    if (count < sprite.getSlowdown()) {
        *p_count = static_cast<int>(count);
        return;
    }
    *p_count = 0;
    *p_frame = *p_frame >= sprite.getFrameCount() - 1 ? 0 : *p_frame + 1;
}

// The frame drawn by the draw that left the animation at (frame, count).
int frameBeforeStep(const Sprite& sprite, int frame, int count) {
    if (count != 0)
        return frame;
    return frame <= 0 ? sprite.getFrameCount() - 1 : frame - 1;
}

} // namespace

template <typename Base>
Mirror<Base>::Mirror()
    : m_source_id(0), m_source_direction(), m_source_acceleration(), m_source_follow_path(false),
      m_draws_sprite(!std::is_base_of_v<ViewObject, Base>), m_shown_frame(0), m_source_frame(0),
      m_source_slowdown_count(0) {
    // The host's view objects placed by position come as records with location -1.
    if constexpr (std::is_base_of_v<ViewObject, Base>)
        Base::setAcceptsPlacedRecords(true);
}

template <typename Base> int Mirror<Base>::eventHandler(const Event*) { return 0; }

template <typename Base> int Mirror<Base>::draw() {
    if (!m_draws_sprite)
        return Base::draw();
    const Sprite* p_sprite = Base::getAnimation().getSprite();
    int result = 0;
    if (p_sprite)
        result = p_sprite->draw(m_shown_frame, Base::getPosition(), p_sprite->getTransparencyCodePoint());
    Shape shape = Base::getShape();
    if (shape.getType() != -1)
        shape.draw(Base::getPosition());
    return result;
}

template <typename Base> void Mirror<Base>::setDirection(const Vector& direction) {
    m_source_direction = direction;
}

template <typename Base> void Mirror<Base>::setVelocity(const Vector& velocity) {
    Vector direction = velocity;
    direction.normalize();
    m_source_direction = direction;
    Base::setSpeed(velocity.getMagnitude());
}

template <typename Base> void Mirror<Base>::setAcceleration(const Vector& acceleration) {
    m_source_acceleration = acceleration;
}

template <typename Base> void Mirror<Base>::setFollowPath(bool follow_path) {
    m_source_follow_path = follow_path;
}

template <typename Base> Vector Mirror<Base>::getSourceVelocity() const {
    Vector velocity = m_source_direction;
    velocity.scale(Base::getSpeed());
    return velocity;
}

template <typename Base> void Mirror<Base>::followSourceStep(bool received, bool drawn) {
    const Animation animation = Base::getAnimation();
    const Sprite* p_sprite = animation.getSprite();
    // Only a sprite drawn by the source's own draw moves on.
    const bool steps = drawn && m_draws_sprite && p_sprite;
    if (received) {
        m_source_frame = animation.getIndex();
        m_source_slowdown_count = animation.getSlowdownCount();
        m_shown_frame =
            steps ? frameBeforeStep(*p_sprite, m_source_frame, m_source_slowdown_count) : m_source_frame;
        return;
    }
    m_shown_frame = m_source_frame;
    if (steps)
        stepFrame(*p_sprite, &m_source_frame, &m_source_slowdown_count);
}

template class Mirror<Object>;
template class Mirror<ViewObject>;

} // namespace vt
