#pragma once

#include <string>

namespace vt {

/// The engine's colours. CUSTOM carries no values of its own.
enum Color : int {
    BLACK = 0,
    RED,
    GREEN,
    YELLOW,
    BLUE,
    MAGENTA,
    CYAN,
    WHITE,
    CUSTOM,
};

/// Writes the colour's red, green and blue; CUSTOM and unknown colours write nothing.
void colorToRGB(Color color, unsigned char& r, unsigned char& g, unsigned char& b);
/// "Black", "Red", ... or "Unknown color".
std::string colorToString(Color color);

} // namespace vt
