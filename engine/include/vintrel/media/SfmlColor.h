#pragma once

#include "vintrel/core/Color.h"

namespace sf {
class Color;
} // namespace sf

namespace vt {

/// The engine colour as an opaque SFML colour; CUSTOM and unknown colours
/// give white. Callers include <SFML/Graphics/Color.hpp> themselves.
sf::Color colorToSFML(Color color);

} // namespace vt
