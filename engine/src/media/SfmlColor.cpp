#include "vintrel/media/SfmlColor.h"

#include <SFML/Graphics/Color.hpp>

#include "vintrel/core/LogManager.h"

namespace vt {

sf::Color colorToSFML(Color color) {
    switch (color) {
    case BLACK:
        return sf::Color(0, 0, 0, 255);
    case RED:
        return sf::Color(255, 0, 0, 255);
    case GREEN:
        return sf::Color(0, 255, 0, 255);
    case YELLOW:
        return sf::Color(255, 255, 0, 255);
    case BLUE:
        return sf::Color(0, 0, 255, 255);
    case MAGENTA:
        return sf::Color(255, 0, 255, 255);
    case CYAN:
        return sf::Color(0, 255, 255, 255);
    case WHITE:
        return sf::Color(255, 255, 255, 255);
    case CUSTOM:
        LogManager::getInstance().writeLog(5, "colorToSFML(): Color is CUSTOM.");
        break;
    default:
        LogManager::getInstance().writeLog(5, "colorToSFML(): Color %d not supported.",
                                           static_cast<int>(color));
        break;
    }
    return sf::Color(255, 255, 255, 255);
}

} // namespace vt
