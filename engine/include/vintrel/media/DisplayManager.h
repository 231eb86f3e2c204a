#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>

#include "vintrel/core/Box.h"
#include "vintrel/core/Color.h"
#include "vintrel/core/Manager.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/core/Vector.h"
#include "vintrel/media/Justification.h"

namespace sf {
class CircleShape;
class Font;
class Image;
class RenderWindow;
} // namespace sf

namespace vt {

class CellBatch;
class FrameRecord;

/// The game window, a grid of character cells. Characters drawn during a
/// step are shown by the next step's presentFrame.
class DisplayManager : public Manager {
  public:
    /// The one display manager, made on first use.
    static DisplayManager& getInstance();
    ~DisplayManager() override;
    /// Opens the window and loads the font (no window when headless); 0 or
    /// -1. What a failed start opened (the window, when the font is missing)
    /// stays until shutDown(). From here until shutDown() the window
    /// library's error messages are log lines.
    int startUp() override;
    /// Closes the window and releases the font, also after a failed start.
    void shutDown() override;

    /// Draws ch in the cell at the world position, in an engine colour;
    /// rotation in degrees. The cell's background hides what earlier
    /// characters drew where it lies, but not the ink a neighbour's glyph
    /// spills over its edge. 0, or -1 when there is nothing to draw into.
    /// The char is the character the default locale makes of it: in the "C"
    /// locale ASCII, and for 0x80 to 0xFF the font's glyph for none.
    int drawCharacter(const Vector& world_pos, char ch, Color color, float rotation = 0.0f);
    /// Draws ch in the cell at the world position in the colour (r, g, b).
    int drawCharacter(const Vector& world_pos, char ch, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                      float rotation = 0.0f);
    /// Draws the Unicode character in the cell at the world position, as the
    /// char form does for ASCII. Box Drawing (U+2500 to U+257F) and Block
    /// Elements (U+2580 to U+259F) are drawn from rectangles fitted to the
    /// cell's pixels, so that neighbours join exactly; others come from the
    /// font, and a character it lacks is drawn as a box (logged once per code
    /// point). A value that is no Unicode character is drawn as U+FFFD.
    template <typename CodePoint, IfCodePoint<CodePoint> = 0>
    int drawCharacter(const Vector& world_pos, CodePoint code_point, Color color, float rotation = 0.0f);
    /// Draws the Unicode character in the colour (r, g, b).
    template <typename CodePoint, IfCodePoint<CodePoint> = 0>
    int drawCharacter(const Vector& world_pos, CodePoint code_point, std::uint8_t r, std::uint8_t g,
                      std::uint8_t b, float rotation = 0.0f);
    /// Draws the character in the cell at the world position over a background
    /// of the cell's own colour, which hides everything drawn there before it.
    /// Colours without values of their own draw in white. 0 or -1, as drawCharacter.
    int drawCell(const Vector& world_pos, char32_t ch, Color color, Color background);
    /// Draws the UTF-8 text along one row of cells, one character (code point)
    /// per cell. Ill-formed parts are drawn as U+FFFD, and logged once per text.
    int drawText(const Vector& world_pos, std::string text, Justification justification, Color color);
    /// Shows the frame drawn in the previous step and clears the back buffer; 0 or -1.
    int presentFrame();
    /// Draws the characters queued so far into the window's back buffer. Call
    /// it before drawing straight into the window, so that the order is kept.
    void flush();
    /// Draws a shape's figure into the window over the characters queued
    /// before it; the frame keeps it for redrawLastFrame(). 0, or -1 without a window.
    int drawFigure(const sf::CircleShape& figure);
    /// Draws a box of the world over what is queued before it: its outline
    /// one pixel wide inside the box, or filled. alpha 255 is opaque. Not
    /// kept for redrawLastFrame(): it marks a frame, as the debug overlay
    /// does. 0, or -1 without a window.
    int drawRectangle(const Box& world_box, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                      std::uint8_t alpha, bool filled);
    /// Draws the frame last shown by presentFrame() into the back buffer
    /// again, exactly, without running any object's draw: the characters
    /// and figures drawn through the display manager, not what was drawn
    /// straight into the window. 0, or -1 without a window or when that
    /// frame was too large to keep.
    int redrawLastFrame();
    /// Copies the picture drawn so far this step into the image, every
    /// queued character drawn first: the pixels the game would show, so that
    /// tools render cells, sprite frames and text exactly as the game does
    /// (draw them with drawCharacter, drawText or Frame::draw, then capture).
    /// 0, or -1 without a window.
    int captureFrame(sf::Image& image);

    /// Window size in characters.
    int getHorizontalChars() const;
    /// Window height in characters.
    int getVerticalChars() const;
    /// Window size in pixels.
    int getHorizontalPixels() const;
    /// Window height in pixels.
    int getVerticalPixels() const;
    /// Glyph size in pixels; 0 without a window.
    unsigned getCharacterSize() const;
    /// The window, owned by the manager; null when headless or not started.
    sf::RenderWindow* getWindow() const;
    /// A position in the window's pixels, as mouse events give it, in the
    /// pixels drawing uses. They differ once a resizable window has been
    /// resized: the picture then keeps its aspect, centred between bars.
    Vector fromWindowPixels(int x, int y) const;
    /// The font characters are drawn with, owned by the manager; null without a window.
    const sf::Font* getFont() const;
    /// The world position shown at the window's top-left corner: drawing
    /// subtracts it. The world manager sets it whenever its view moves.
    void setViewCorner(const Vector& view_corner);
    /// The world position shown at the window's top-left corner.
    Vector getViewCorner() const;

  private:
    /// Where the picture lies in the window, in window pixels.
    struct Letterbox {
        int left;
        int top;
        int width;
        int height;
    };
    /// The window's size in pixels (0 for the desktop's until it opens) and in cells.
    struct WindowSize {
        int horizontal_pixels;
        int vertical_pixels;
        int horizontal_chars;
        int vertical_chars;
    };

    DisplayManager();
    // With a background, the cell is painted in that colour rather than the window's.
    template <typename Character>
    int drawInColor(const Vector& world_pos, Character ch, Color color, float rotation,
                    const Color* p_background = nullptr);
    template <typename Character>
    int drawInRgb(const Vector& world_pos, Character ch, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                  float rotation, const Color* p_background = nullptr);
    void reportInvalidText(const std::string& text, const std::u32string& cells);
    int openWindow();
    // Loads the font the window draws with and names the file opened (empty
    // for the built-in font); 0, or -1 after a log line.
    int openFont(std::string* p_font_file);
    int createWindow(const std::string& display_name);
    void logLibraryErrors(bool on);
    int scaleWindow(unsigned desktop_width, unsigned desktop_height);
    void releaseWindow();
    Letterbox letterbox() const;
    void fitViewToWindow();

    std::unique_ptr<sf::Font> m_p_font;
    std::unique_ptr<sf::RenderWindow> m_p_window;
    // The configuration's defaults until the display starts.
    WindowSize m_window_size;
    // Background quads and glyphs of this step, drawn in presentFrame.
    std::unique_ptr<CellBatch> m_p_batch;
    // What the window was given to draw, this frame and the last one shown.
    std::unique_ptr<FrameRecord> m_p_frame_record;
    // The window size the view was last fitted to.
    int m_fitted_width;
    int m_fitted_height;
    Vector m_view_corner;
    // Hashes of the texts logged as not UTF-8, so that each is logged once.
    std::unordered_set<std::uint64_t> m_reported_texts;
};

/// Width of one cell in pixels.
float cellWidth();
/// Height of one cell in pixels.
float cellHeight();
/// Spaces (cells) to pixels; no rounding.
Vector spacesToPixels(const Vector& spaces);
/// Pixels to spaces (cells); no rounding.
Vector pixelsToSpaces(const Vector& pixels);

} // namespace vt
