#include "SpriteCanvas.h"

#include <SFML/Graphics.hpp>

#include <cmath>
#include <cstdio>

#include "media/SfmlCompat.h"
#include "platform/DisplayConnection.h"
#include "vintrel/core/Config.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::tools {

namespace {

// Cell widths of 12.8 pixels give whole window widths only every five
// columns; any other width would change the cell size, and with it where
// the glyphs fall.
int roundUpToFive(int columns) { return (columns + 4) / 5 * 5; }

} // namespace

SpriteCanvas::~SpriteCanvas() {
    if (m_started)
        DisplayManager::getInstance().shutDown();
}

int SpriteCanvas::open(int columns, int rows, const std::string& font_file, const std::string& title) {
    m_display_missing = false;
    platform::DisplayConnection connection;
    if (!connection.open()) {
        m_display_missing = true;
        std::fprintf(stderr,
                     "vintrel-sprite: no display to draw on ('%s'); set DISPLAY, or run it under "
                     "xvfb-run\n",
                     connection.getName().c_str());
        return -1;
    }
    connection.close();

    m_columns = roundUpToFive(std::max(columns, 1));
    m_rows = std::max(rows, 1);
    const long long width = static_cast<long long>(m_columns) * CELL_PIXELS_WIDE_TIMES_5 / 5;
    const long long height = static_cast<long long>(m_rows) * CELL_PIXELS_HIGH;
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    if (width > sfml::videoModeWidth(desktop) || height > sfml::videoModeHeight(desktop)) {
        std::fprintf(stderr,
                     "vintrel-sprite: a frame of %d x %d cells (%lld x %lld pixels) is larger than the "
                     "display (%u x %u pixels)\n",
                     columns, rows, width, height, sfml::videoModeWidth(desktop),
                     sfml::videoModeHeight(desktop));
        return -1;
    }

    Config& config = Config::getInstance();
    config.reset();
    config.loadConfig("headless:false,networking:false,window_title:" + title + ",window_horizontal_chars:" +
                      std::to_string(m_columns) + ",window_vertical_chars:" + std::to_string(m_rows) +
                      ",window_horizontal_pixels:" + std::to_string(width) + ",window_vertical_pixels:" +
                      std::to_string(height) + ",window_scale:1,font_file:" + font_file);
    if (DisplayManager::getInstance().startUp() != 0) {
        std::fprintf(stderr, "vintrel-sprite: cannot open a window to draw in (see the lines above)\n");
        return -1;
    }
    m_started = true;
    return 0;
}

Vector SpriteCanvas::topLeftPlacement(const Sprite& sprite) {
    return Vector(static_cast<float>(sprite.getWidth() - 1) * 0.5f,
                  static_cast<float>(sprite.getHeight() - 1) * 0.5f);
}

sf::Image SpriteCanvas::drawFrame(const Sprite& sprite, int frame_number) {
    DisplayManager& display_manager = DisplayManager::getInstance();
    sprite.draw(frame_number, topLeftPlacement(sprite), sprite.getTransparency());
    display_manager.flush();
    const sf::Image window_image = sfml::windowToImage(*display_manager.getWindow());
    display_manager.presentFrame();

    const auto width = static_cast<unsigned>(std::ceil(static_cast<float>(sprite.getWidth()) * cellWidth()));
    const auto height =
        static_cast<unsigned>(std::ceil(static_cast<float>(sprite.getHeight()) * cellHeight()));
    sf::Image frame_image = sfml::makeImage(width, height, sf::Color::Black);
    sfml::copyPixels(frame_image, window_image, 0, 0, width, height);
    return frame_image;
}

} // namespace vt::tools
