#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vintrel/core/Color.h"
#include "vintrel/core/Vector.h"
#include "vintrel/media/Frame.h"

namespace vt {

/// A named, coloured sequence of frames of one size. Owned by the resource
/// manager (or by the code that built it) and shared by pointer.
class Sprite {
  public:
    /// Room for max_frames frames; a negative count leaves room for none.
    explicit Sprite(int max_frames);
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    /// Appends a copy of the frame; -1 when the sprite is full (the frame is dropped).
    int pushFrame(const Frame& frame);
    /// A copy of frame index, or an empty frame when out of range.
    Frame getFrame(int index) const;
    /// Number of frames pushed.
    int getFrameCount() const { return m_frame_count; }
    /// Most frames the sprite can hold.
    int getMaxFrameCount() const { return m_max_frame_count; }

    /// Sets the width of every frame, in characters.
    void setWidth(int width) { m_width = width; }
    /// Width of every frame, in characters.
    int getWidth() const { return m_width; }
    /// Sets the height of every frame, in characters.
    void setHeight(int height) { m_height = height; }
    /// Height of every frame, in characters.
    int getHeight() const { return m_height; }
    /// Sets the colour the frames are drawn in.
    void setColor(Color color) { m_color = color; }
    /// Colour the frames are drawn in.
    Color getColor() const { return m_color; }
    /// Game-loop steps each frame stays on screen.
    void setSlowdown(int slowdown) { m_slowdown = slowdown; }
    /// Game-loop steps each frame stays on screen.
    int getSlowdown() const { return m_slowdown; }
    /// Character left undrawn; 0 for none.
    void setTransparency(char transparency) { m_transparency = static_cast<unsigned char>(transparency); }
    /// Unicode character left undrawn; 0 for none. In frames of bytes it
    /// matches only a byte of the same number, if it is below 0x100.
    template <typename CodePoint, IfCodePoint<CodePoint> = 0> void setTransparency(CodePoint transparency) {
        m_transparency = transparency;
    }
    /// Character left undrawn; 0 for none, and for a Unicode character past
    /// U+00FF (getTransparencyCodePoint() tells it).
    char getTransparency() const {
        return m_transparency <= 0xFF ? static_cast<char>(static_cast<unsigned char>(m_transparency)) : '\0';
    }
    /// The character left undrawn as a number: a byte set with the char form, or a code point; 0 for none.
    char32_t getTransparencyCodePoint() const { return m_transparency; }
    /// Sets the label the resource manager finds it by.
    void setLabel(const std::string& label) { m_label = label; }
    /// Label the resource manager finds it by.
    std::string getLabel() const { return m_label; }

    /// Takes the other sprite's frames, sizes, colour, slowdown and
    /// transparency in place, keeping this sprite's label and address, so
    /// that whatever shows it shows the new frames; the other is left empty.
    void takeFramesOf(Sprite& other);
    /// Draws frame frame_number centred on position in the sprite's colour;
    /// nothing for an out-of-range number. 0, or -1 when a character failed.
    int draw(int frame_number, const Vector& position, char transparency) const;
    /// Draws frame frame_number, leaving cells of the Unicode character transparency undrawn.
    template <typename CodePoint, IfCodePoint<CodePoint> = 0>
    int draw(int frame_number, const Vector& position, CodePoint transparency) const {
        if (frame_number < 0 || frame_number >= m_frame_count)
            return 0;
        return m_frames[static_cast<std::size_t>(frame_number)].draw(position, m_color, transparency);
    }

  private:
    int m_width;
    int m_height;
    int m_max_frame_count;
    int m_frame_count;
    Color m_color;
    int m_slowdown;
    // A byte of the char form is kept as its number, 0x80 to 0xFF as they are.
    char32_t m_transparency;
    // Grows with pushFrame up to m_max_frame_count, so a huge requested
    // capacity costs nothing until frames actually arrive.
    std::vector<Frame> m_frames;
    std::string m_label;
};

} // namespace vt
