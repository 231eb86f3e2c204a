#pragma once

#include <string>

#include "vintrel/core/Color.h"
#include "vintrel/core/Vector.h"

namespace vt {

/// One picture of a sprite: rows of characters concatenated top row first,
/// character (row y, column x) at index y * width + x.
class Frame {
  public:
    /// An empty frame: 0 x 0 and no characters.
    Frame();
    /// Takes the values as given; the sprite readers guarantee width x height characters.
    Frame(int width, int height, const std::string& frame_str);

    /// Width in characters.
    int getWidth() const { return m_width; }
    /// Height in characters (rows).
    int getHeight() const { return m_height; }
    /// The characters, rows concatenated top row first.
    const std::string& getString() const { return m_frame_str; }
    /// True when the frame holds no characters.
    bool isEmpty() const { return m_frame_str.empty(); }

    /// Draws the frame centred on position, skipping cells that hold the
    /// transparency character (0: draw every cell). Cells past the end of a
    /// short frame string are left undrawn. 0, or -1 when a character failed.
    int draw(const Vector& position, Color color, char transparency) const;

  private:
    int m_width;
    int m_height;
    std::string m_frame_str;
};

} // namespace vt
