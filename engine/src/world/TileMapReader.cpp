#include "world/TileMapReader.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "core/TextTables.h"
#include "vintrel/core/Text.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/world/TileMap.h"

namespace vt {

namespace {

constexpr char FIRST_LINE[] = "tilemap";
constexpr char MAP_LINE[] = "map";

// Characters a cell can show: no control characters of either range.
bool printable(char32_t ch) { return ch >= 0x20 && ch != 0x7F && !(ch >= 0x80 && ch < 0xA0); }

std::string quoted(const std::string& line) { return "'" + clipForLog(line) + "'"; }

// A whole decimal number from 1 to `most`, without sign or other characters.
bool readCount(const std::string& word, int most, int& value) {
    if (word.empty() || word.size() > 9)
        return false;
    int parsed = 0;
    for (char ch : word) {
        if (ch < '0' || ch > '9')
            return false;
        parsed = parsed * 10 + (ch - '0');
    }
    if (parsed < 1 || parsed > most)
        return false;
    value = parsed;
    return true;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> found;
    std::string word;
    while (stream >> word)
        found.push_back(word);
    return found;
}

} // namespace

bool TileMapReader::fail(const std::string& reason) {
    m_error_line = m_line;
    m_error = reason;
    m_tiles.clear();
    return false;
}

bool TileMapReader::nextLine(const std::string& text, std::size_t& at, std::string& line) {
    if (at >= text.size())
        return false;
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos)
        end = text.size();
    line.assign(text, at, end - at);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    at = end + 1;
    m_line++;
    return true;
}

bool TileMapReader::read(const std::string& text) {
    m_width = m_height = m_line = m_error_line = 0;
    m_tiles.clear();
    m_key.clear();
    if (text.size() > TileMap::MAX_FILE_BYTES) {
        m_error = "larger than " + std::to_string(TileMap::MAX_FILE_BYTES) + " bytes";
        return false;
    }
    std::size_t at = 0;
    std::string line;
    if (!nextLine(text, at, line) || line != FIRST_LINE)
        return fail(std::string("the first line is not '") + FIRST_LINE + "'");

    bool in_rows = false;
    while (!in_rows) {
        if (!nextLine(text, at, line))
            return fail("no 'map' line before the end");
        if (line == MAP_LINE)
            in_rows = true;
        else if (!readHeaderLine(line))
            return false;
    }
    if (m_width == 0)
        return fail("'map' comes before a 'size' line");

    m_tiles.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), Tile());
    for (int row = 0; row < m_height; row++) {
        if (!nextLine(text, at, line))
            return fail("the map ends after " + std::to_string(row) + " rows of " + std::to_string(m_height));
        if (!readRow(line, row))
            return false;
    }
    while (nextLine(text, at, line))
        if (line.find_first_not_of(" \t") != std::string::npos)
            return fail("more rows than the size's " + std::to_string(m_height) + ": " + quoted(line));
    return true;
}

bool TileMapReader::readHeaderLine(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == ';')
        return true;
    if (line.compare(0, 5, "size ") == 0)
        return readSize(line.substr(5));
    if (line.compare(0, 4, "key ") == 0)
        return readKey(line.substr(4));
    return fail("expected 'size', 'key', a comment or 'map', not " + quoted(line));
}

bool TileMapReader::readSize(const std::string& rest) {
    if (m_width != 0)
        return fail("a second 'size' line");
    const std::vector<std::string> found = words(rest);
    int width = 0;
    int height = 0;
    if (found.size() != 2 || !readCount(found[0], TileMap::MAX_SIDE, width) ||
        !readCount(found[1], TileMap::MAX_SIDE, height))
        return fail("the size is not two whole numbers from 1 to " + std::to_string(TileMap::MAX_SIDE) +
                    ": " + quoted(rest));
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > TileMap::MAX_CELLS)
        return fail("a map of " + std::to_string(width) + " x " + std::to_string(height) +
                    " cells has more than " + std::to_string(TileMap::MAX_CELLS));
    m_width = width;
    m_height = height;
    return true;
}

bool TileMapReader::readKey(const std::string& rest) {
    // The character stands alone right after "key ", so that a space can be
    // keyed too; it is one code point of UTF-8, from one to four bytes.
    std::u32string decoded;
    const std::size_t length =
        rest.empty() ? 0 : std::max<std::size_t>(1, std::min(rest.find(' '), rest.size()));
    const std::string first = rest.substr(0, length);
    if (first.empty() || !decodeUtf8(first, decoded) || decoded.size() != 1 || !printable(decoded[0]))
        return fail("a key names one printable character, then a space: " + quoted(rest));
    const char32_t ch = decoded[0];
    if (m_key.count(ch) != 0)
        return fail("a second key for '" + first + "'");
    Tile tile;
    tile.ch = ch;
    const std::vector<std::string> found = words(rest.substr(first.size()));
    bool coloured = false;
    for (std::size_t i = 0; i < found.size(); i++) {
        if (found[i] == "solid") {
            tile.solid = true;
        } else if (found[i] == "on" && i + 1 < found.size() && !tile.has_background) {
            if (!text::colorFromName(found[++i], &tile.background))
                return fail("unknown background colour " + quoted(found[i]));
            tile.has_background = true;
        } else if (!coloured && text::colorFromName(found[i], &tile.color)) {
            coloured = true;
        } else {
            return fail("expected a colour, 'on' and a colour, or 'solid', not " + quoted(found[i]));
        }
    }
    m_key[ch] = tile;
    return true;
}

bool TileMapReader::readRow(const std::string& line, int row) {
    const std::size_t invalid = findInvalidUtf8(line);
    if (invalid != std::string::npos)
        return fail("byte " + std::to_string(invalid + 1) + " is not UTF-8");
    // A row holds a character per cell; the line's length in bytes already
    // bounds what decoding holds.
    m_row.clear();
    decodeUtf8(line, m_row);
    if (m_row.size() != static_cast<std::size_t>(m_width))
        return fail("a row of " + std::to_string(m_row.size()) + " characters in a map " +
                    std::to_string(m_width) + " wide");
    Tile* p_row = &m_tiles[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_width)];
    for (std::size_t column = 0; column < m_row.size(); column++) {
        const char32_t ch = m_row[column];
        const auto keyed = m_key.find(ch);
        if (keyed != m_key.end()) {
            p_row[column] = keyed->second;
        } else if (ch != ' ') {
            std::string shown = "'";
            if (printable(ch)) {
                appendUtf8(shown, ch);
                shown += "'";
            } else {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(ch));
                shown = code;
            }
            return fail("column " + std::to_string(column + 1) + ": " + shown + " has no key");
        }
    }
    return true;
}

} // namespace vt
