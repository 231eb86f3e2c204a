#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "vintrel/world/Tile.h"

namespace vt {

/// Reads the text of a map file (docs/tile-maps.md) into cells, or says on
/// which line and why it refuses it. It needs nothing but the text, and
/// never holds more than the limits of TileMap allow.
class TileMapReader {
  public:
    /// Reads the whole text; true with the map's cells, or false with a line
    /// number (1 for the first line, 0 for the file as a whole) and a reason.
    [[nodiscard]] bool read(const std::string& text);

    /// Columns of the map read.
    [[nodiscard]] int getWidth() const { return m_width; }
    /// Rows of the map read.
    [[nodiscard]] int getHeight() const { return m_height; }
    /// The cells read, row by row.
    [[nodiscard]] std::vector<Tile>& getTiles() { return m_tiles; }
    /// The line the text was refused on.
    [[nodiscard]] int getErrorLine() const { return m_error_line; }
    /// Why the text was refused.
    [[nodiscard]] const std::string& getError() const { return m_error; }

  private:
    bool fail(const std::string& reason);
    bool nextLine(const std::string& text, std::size_t& at, std::string& line);
    bool readHeaderLine(const std::string& line);
    bool readSize(const std::string& rest);
    bool readKey(const std::string& rest);
    bool readRow(const std::string& line, int row);

    int m_width = 0;
    int m_height = 0;
    std::vector<Tile> m_tiles;
    // The tile each character stands for, when the key names it; no more
    // keys than the file has lines.
    std::unordered_map<char32_t, Tile> m_key;
    std::u32string m_row;
    int m_line = 0;
    int m_error_line = 0;
    std::string m_error;
};

} // namespace vt
