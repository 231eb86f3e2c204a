#pragma once

#include <iosfwd>
#include <string>

#include "vintrel/core/Box.h"
#include "vintrel/core/Vector.h"

namespace vt {

class Sprite;

/// Per-object animation state: which sprite is shown, the current frame and
/// how long it has been shown. The sprite is owned by the resource manager.
class Animation {
  public:
    Animation();

    /// Shows the sprite (may be null) from its first frame; the slowdown count is kept.
    void setSprite(Sprite* p_sprite);
    /// The sprite shown, owned by the resource manager; null for none.
    Sprite* getSprite() const { return m_p_sprite; }
    /// Shows frame index of the sprite next.
    void setIndex(int index) { m_index = index; }
    /// The frame shown, 0 .. frame count - 1.
    int getIndex() const { return m_index; }
    /// Steps the current frame has been shown; -1 freezes the animation.
    void setSlowdownCount(int slowdown_count) { m_slowdown_count = slowdown_count; }
    /// Steps the current frame has been shown; -1 when frozen.
    int getSlowdownCount() const { return m_slowdown_count; }
    /// Label of the sprite shown, kept to find the sprite again after deserializing.
    std::string getName() const { return m_name; }

    /// Draws the current frame centred at the position and advances the
    /// animation (even when drawing failed). 0, or -1 when a character failed.
    int draw(const Vector& position);
    /// The sprite's extent centred on the origin, or a 0.99 x 0.99 box without sprite.
    Box getBox() const;

    /// Writes name length (u64), name, index and slowdown count (i32), machine order; 0 or -1.
    int serialize(std::ostream& stream) const;
    /// Reads the form serialize writes; the sprite pointer is left alone.
    /// On failure (-1) the animation is unchanged.
    int deserialize(std::istream& stream);
    /// "sprite <name>, frame_idx <index>" for log lines.
    std::string toString() const;

  private:
    Sprite* m_p_sprite;
    int m_index;
    int m_slowdown_count;
    std::string m_name;
};

} // namespace vt
