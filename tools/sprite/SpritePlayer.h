#pragma once

#include <string>

namespace vt::tools {

/// Plays a sprite file's animation in a window, with its slowdown, colour
/// and transparency, at the game's step time, and reads the file again
/// whenever it changes on disk. Q, Escape or closing the window end it.
class SpritePlayer {
  public:
    /// Plays until the window is closed: 0, or -1 after one line on standard
    /// error when the file never loaded (3 when there is no display).
    static int play(const std::string& sprite_file, const std::string& font_file);
};

} // namespace vt::tools
