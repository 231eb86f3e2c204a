#include "vintrel/core/Color.h"

#include "vintrel/core/LogManager.h"

namespace vt {

void colorToRGB(Color color, unsigned char& r, unsigned char& g, unsigned char& b) {
    // Red, green and blue of BLACK .. WHITE, in enumeration order.
    static const unsigned char channels[8][3] = {
        {0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    if (color == CUSTOM)
        return;
    if (color < BLACK || color > WHITE) {
        LogManager::getInstance().writeLog(5, "colorToRGB(): Color %d not supported.",
                                           static_cast<int>(color));
        return;
    }
    r = channels[color][0];
    g = channels[color][1];
    b = channels[color][2];
}

std::string colorToString(Color color) {
    switch (color) {
    case BLACK:
        return "Black";
    case RED:
        return "Red";
    case GREEN:
        return "Green";
    case YELLOW:
        return "Yellow";
    case BLUE:
        return "Blue";
    case MAGENTA:
        return "Magenta";
    case CYAN:
        return "Cyan";
    case WHITE:
        return "White";
    default:
        return "Unknown color";
    }
}

} // namespace vt
