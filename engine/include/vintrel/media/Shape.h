#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "vintrel/core/Color.h"
#include "vintrel/core/Vector.h"

namespace vt {

/// Kinds of figure a shape draws.
enum ShapeType : std::int32_t {
    SHAPE_UNDEFINED = -1,
    SHAPE_CIRCLE = 0,
    SHAPE_SQUARE = 1,
    SHAPE_TRIANGLE = 2,
};

/// A filled circle, square or triangle that an object may carry; drawn
/// straight into the window at the object's position, after its sprite.
class Shape {
  public:
    /// A white, opaque circle sized after the configured font scale and cell size.
    Shape();

    /// SHAPE_UNDEFINED (no figure) or a figure type; other values are refused with a log line.
    void setType(int type);
    /// The figure drawn, SHAPE_UNDEFINED for none.
    ShapeType getType() const { return m_type; }
    /// Fill colour; CUSTOM keeps the red, green and blue set below.
    void setColor(Color color) { m_color = color; }
    /// Fill colour.
    Color getColor() const { return m_color; }
    /// Red part of a CUSTOM colour, 0 to 255.
    void setRed(std::uint8_t red) { m_red = red; }
    /// Green part of a CUSTOM colour, 0 to 255.
    void setGreen(std::uint8_t green) { m_green = green; }
    /// Blue part of a CUSTOM colour, 0 to 255.
    void setBlue(std::uint8_t blue) { m_blue = blue; }
    /// Red part of a CUSTOM colour.
    std::uint8_t getRed() const { return m_red; }
    /// Green part of a CUSTOM colour.
    std::uint8_t getGreen() const { return m_green; }
    /// Blue part of a CUSTOM colour.
    std::uint8_t getBlue() const { return m_blue; }
    /// Figure size in pixels; sizes that are not finite numbers are refused (-1).
    int setSize(float size);
    /// Figure size in pixels.
    float getSize() const { return m_size; }
    /// Opacity of the fill, 255 opaque.
    void setAlpha(std::uint8_t alpha) { m_alpha = alpha; }
    /// Opacity of the fill, 255 opaque.
    std::uint8_t getAlpha() const { return m_alpha; }

    /// Draws the figure at a world position (nothing without a window).
    void draw(const Vector& position);

    /// Writes type, size, colour and alpha (13 bytes, native byte order); 0 or -1.
    int serialize(std::ostream& stream) const;
    /// Reads what serialize wrote; on failure the shape is unchanged; 0 or -1.
    int deserialize(std::istream& stream);
    /// "circle, size 24.000000, White, 255".
    std::string toString() const;

  private:
    Color m_color;
    std::uint8_t m_red;
    std::uint8_t m_green;
    std::uint8_t m_blue;
    ShapeType m_type;
    float m_size;
    std::uint8_t m_alpha;
};

} // namespace vt
