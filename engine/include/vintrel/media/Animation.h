#pragma once

#include <iosfwd>
#include <string>

#include "vintrel/world/Box.h"
#include "vintrel/world/Vector.h"

namespace vt {

class Sprite;

/// Per-object animation state: which sprite is shown, the current frame and
/// how long it has been shown. The sprite is owned by the resource manager.
class Animation {
public:
    Animation();

    /// Shows the sprite (may be null) from its first frame.
    void setSprite(Sprite* p_sprite);
    Sprite* getSprite() const { return m_p_sprite; }
    void setIndex(int index) { m_index = index; }
    int getIndex() const { return m_index; }
    /// -1 freezes the animation.
    void setSlowdownCount(int slowdown_count) { m_slowdown_count = slowdown_count; }
    int getSlowdownCount() const { return m_slowdown_count; }
    /// Label of the sprite shown.
    std::string getName() const { return m_name; }

    /// Draws the current frame centred at the position and advances the animation.
    int draw(const Vector& position);
    /// The sprite's extent centred on the origin, or a 0.99 x 0.99 box without sprite.
    Box getBox() const;

    int serialize(std::ostream& stream) const;
    int deserialize(std::istream& stream);
    std::string toString() const;

private:
    Sprite* m_p_sprite;
    int m_index;
    int m_slowdown_count;
    std::string m_name;
};

} // namespace vt
