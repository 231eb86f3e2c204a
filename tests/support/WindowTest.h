#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <string>

#include "support/EngineTest.h"

namespace vt::test {

/// Opaque pixels of the engine's colours as a window image holds them.
inline const sf::Color BLACK_PIXEL(0, 0, 0);
inline const sf::Color RED_PIXEL(255, 0, 0);
inline const sf::Color GREEN_PIXEL(0, 255, 0);
inline const sf::Color BLUE_PIXEL(0, 0, 255);
inline const sf::Color WHITE_PIXEL(255, 255, 255);

/// Path of the monospaced TrueType font the windowed tests draw with: the one
/// the build places beside the game.
std::string testFontSource();
/// Path of a monospaced font whose glyphs are wider than the default cells.
std::string wideTestFontSource();

/// Settings of a windowed engine: the default 80 x 24 window of 1024 x 768
/// pixels with the font "vt-font.ttf", no networking, a fixed random seed.
std::string windowedConfig();

/// Counts of pixels of one colour in a rectangle of an image.
int countPixels(const sf::Image& image, int left, int top, int width, int height, sf::Color color);

/// Pixels of the colour inside the view cell (col, row) of a window image.
int countInCell(const sf::Image& image, int col, int row, sf::Color color);

/// What the X window shows now, read through a connection of its own, so that
/// another thread than the window's may call it.
sf::Image captureWindow(unsigned long window);

/// Fixture for tests that draw into a real window (run under Xvfb). Copies
/// the test font to "vt-font.ttf" in the test's directory, starts a windowed
/// engine and reads back what the window holds or shows.
class WindowTest : public EngineTest {
  protected:
    /// Copies the test font into the working directory as "vt-font.ttf"; true on success.
    bool installFont();
    /// Installs the font and starts the engine with windowedConfig() followed
    /// by extra settings (later keys do not override earlier ones: put them in
    /// extra only when windowedConfig() lacks them).
    int startWindowedEngine(const std::string& extra_config = "");
    /// Asks the X server to keep what the window shows while other test
    /// windows cover it, so that captureShown() reads it back whole.
    void keepObscuredContent();
    /// Draws what is queued and copies the back buffer (this step's drawing).
    sf::Image captureBackBuffer();
    /// The window's title as the X server holds it.
    std::string shownTitle();
    /// What the window shows on screen now, read from the X server.
    sf::Image captureShown();
};

} // namespace vt::test
