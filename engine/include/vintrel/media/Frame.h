#pragma once

#include <string>

#include "vintrel/core/Color.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/core/Vector.h"

namespace vt {

/// One picture of a sprite: rows of characters concatenated top row first,
/// character (row y, column x) at index y * width + x. A frame holds either
/// bytes, each drawn by the char form of drawCharacter, or Unicode
/// characters (code points), each drawn by the char32_t form.
class Frame {
  public:
    /// An empty frame: 0 x 0 and no characters.
    Frame();
    /// Takes the values as given, one byte per cell; the sprite readers
    /// guarantee width x height characters.
    Frame(int width, int height, const std::string& frame_str);
    /// A frame of Unicode characters, one per cell, taken as given.
    Frame(int width, int height, const std::u32string& cells);

    /// Width in characters.
    int getWidth() const { return m_width; }
    /// Height in characters (rows).
    int getHeight() const { return m_height; }
    /// The characters, rows concatenated top row first: the bytes of a frame
    /// of bytes, the UTF-8 form of a frame of Unicode characters.
    const std::string& getString() const { return m_frame_str; }
    /// The Unicode characters of a frame made of them; empty for a frame of bytes.
    const std::u32string& getCells() const { return m_cells; }
    /// True when the frame holds no characters.
    bool isEmpty() const { return m_frame_str.empty(); }

    /// Draws the frame centred on position, skipping cells that hold the
    /// transparency character (0: draw every cell). Cells past the end of a
    /// short frame are left undrawn. 0, or -1 when a character failed. In a
    /// frame of Unicode characters, transparency is the character of the
    /// same number (for 0x80 to 0xFF, the Latin-1 one).
    int draw(const Vector& position, Color color, char transparency) const;
    /// Draws the frame, skipping cells that hold the Unicode character
    /// transparency (0: draw every cell); in a frame of bytes only one below
    /// 0x100 can match, a byte of the same number.
    template <typename CodePoint, IfCodePoint<CodePoint> = 0>
    int draw(const Vector& position, Color color, CodePoint transparency) const;

  private:
    int drawCells(const Vector& position, Color color, char32_t transparency) const;

    int m_width;
    int m_height;
    std::string m_frame_str;
    std::u32string m_cells;
};

} // namespace vt
