#pragma once

#include <string>

#include "vintrel/media/Sprite.h"

namespace vt::tools {

/// Writes frames of a sprite into a PNG file, drawn by the engine's display
/// in a window (a virtual display will do) so that the picture is what the
/// game shows.
class SpritePicture {
  public:
    /// Largest whole factor the picture can be enlarged by.
    static constexpr int MAX_SCALE = 16;

    /// One frame (frame_number from 0), or every frame left to right when
    /// frame_number is -1, each pixel made scale x scale pixels. 0, or -1
    /// after one line on standard error (3 when there is no display).
    static int render(const Sprite& sprite, int frame_number, int scale, const std::string& font_file,
                      const std::string& out_file);
    /// Why the file cannot take a picture (not ".png", a directory, a
    /// folder that is not there or not writable); empty when it can.
    static std::string whyUnwritable(const std::string& out_file);
};

} // namespace vt::tools
