#pragma once

#include <string>

#include "vintrel/media/Sprite.h"

namespace sf {
class Image;
} // namespace sf

namespace vt::tools {

/// The engine's display, started on its own in a window just large enough
/// for one frame of a sprite, with the game's cell size and font, so that a
/// frame is drawn here exactly as the game draws it. Other managers stay
/// stopped; the engine's log lines go to standard error.
class SpriteCanvas {
  public:
    /// Cells of the game's default window: 80 x 24 over 1024 x 768 pixels.
    static constexpr int CELL_PIXELS_WIDE_TIMES_5 = 64;
    /// Height of a cell in pixels at the game's defaults.
    static constexpr int CELL_PIXELS_HIGH = 32;

    SpriteCanvas() = default;
    /// Stops the display if it was started.
    ~SpriteCanvas();
    SpriteCanvas(const SpriteCanvas&) = delete;
    SpriteCanvas& operator=(const SpriteCanvas&) = delete;

    /// Opens a window of at least columns x rows cells, drawn with the font
    /// file. 0, or -1 after one line on standard error (exit code 3 fits a
    /// missing display, which isDisplayMissing() then tells).
    int open(int columns, int rows, const std::string& font_file, const std::string& title);
    /// True when the last open() failed for want of a display.
    [[nodiscard]] bool isDisplayMissing() const { return m_display_missing; }
    /// Columns of the window.
    [[nodiscard]] int getColumns() const { return m_columns; }
    /// Rows of the window.
    [[nodiscard]] int getRows() const { return m_rows; }

    /// Where a frame's centre goes so that its top-left cell is the window's.
    static Vector topLeftPlacement(const Sprite& sprite);
    /// Draws the frame with its top-left cell at the window's and returns
    /// the pixels of its cells, then clears the window for the next one.
    [[nodiscard]] sf::Image drawFrame(const Sprite& sprite, int frame_number);

  private:
    bool m_started = false;
    bool m_display_missing = false;
    int m_columns = 0;
    int m_rows = 0;
};

} // namespace vt::tools
