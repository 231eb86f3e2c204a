#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

/// Which characters a TrueType or OpenType font has glyphs for, read from the
/// font file's character map (its "cmap" table). The window library draws a
/// character the font lacks with the font's ".notdef" glyph, rasterised anew
/// for every such code point, and cannot tell the caller; the display draws a
/// box of its own for them instead. The file is untrusted: every offset and
/// count is checked against the bytes there are.
class FontCoverage {
  public:
    /// Reads the character map of the font (the first font of a collection);
    /// false when there is no usable one, and then every character counts as covered.
    bool read(const std::string& font_bytes);
    /// True when the font maps the code point to a glyph, or when its map was not read.
    [[nodiscard]] bool covers(char32_t code_point) const;

  private:
    struct Range {
        char32_t first;
        char32_t last;
    };

    bool readFormat4(const std::string& bytes, std::size_t at, std::size_t end, std::uint32_t glyph_count);
    bool readFormat12(const std::string& bytes, std::size_t at, std::size_t end, std::uint32_t glyph_count);
    void addCovered(char32_t code_point);

    // Covered code points, in ascending order, not touching one another.
    std::vector<Range> m_ranges;
    bool m_known = false;
};

} // namespace vt
