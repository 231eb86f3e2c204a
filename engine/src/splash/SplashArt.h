#pragma once

#include <memory>

#include "vintrel/media/Sprite.h"

namespace vt::splash_art {

/// The engine's name in large letters, two frames in two lettering styles,
/// 47 x 8, green. The animation chooses the frame; it never advances alone.
std::unique_ptr<Sprite> makeBanner();
/// The winged creature flapping: two frames of 11 x 7, blue, two steps each.
std::unique_ptr<Sprite> makeFlying();
/// The creature at rest: one frame of 9 x 6, green.
std::unique_ptr<Sprite> makeResting();

} // namespace vt::splash_art
