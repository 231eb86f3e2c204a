#include "vintrel/media/Animation.h"

#include <istream>
#include <ostream>

#include "vintrel/core/Utility.h"

namespace vt {

Animation::Animation() : m_p_sprite(nullptr), m_index(0), m_slowdown_count(0), m_name() {}

void Animation::setSprite(Sprite* p_sprite) {
    m_p_sprite = p_sprite;
    m_index = 0;
    m_slowdown_count = 0;
}

int Animation::draw(const Vector&) { return 0; }

Box Animation::getBox() const { return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f); }

int Animation::serialize(std::ostream& stream) const { return checkStream("Animation::serialize()", stream); }

int Animation::deserialize(std::istream& stream) { return checkStream("Animation::deserialize()", stream); }

std::string Animation::toString() const { return m_name; }

} // namespace vt
