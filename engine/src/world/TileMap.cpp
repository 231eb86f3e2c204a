#include "vintrel/world/TileMap.h"

#include <algorithm>
#include <cmath>

#include "platform/BoundedFileRead.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/Object.h"
#include "world/TileMapReader.h"

namespace vt {

namespace {

// The first cell at or after `low` and the last at or before `high` whose
// solid extent [c - 0.5 + inset, c + 0.5 - inset] meets [low, high], clamped
// to 0 .. cells - 1.
void solidSpan(double low, double high, int cells, int& first, int& last) {
    const double half = 0.5 - static_cast<double>(TileMap::CELL_INSET);
    const double from = std::max(std::ceil(low - half), 0.0);
    const double to = std::min(std::floor(high + half), static_cast<double>(cells - 1));
    if (!(from <= to)) {
        first = 0;
        last = -1;
        return;
    }
    first = static_cast<int>(from);
    last = static_cast<int>(to);
}

// One count for every map of the process, so that a new map never takes
// the revision an earlier one had.
std::uint64_t nextRevision() {
    static std::uint64_t revision = 0;
    return ++revision;
}

} // namespace

TileMap::TileMap()
    : m_width(0), m_height(0), m_tiles(), m_solid(), m_altitude(ALTITUDE_MIN), m_visible(true),
      m_revision(nextRevision()) {}

TileMap::TileMap(int width, int height) : TileMap() { resize(width, height); }

int TileMap::resize(int width, int height) {
    if (width < 1 || height < 1 || width > MAX_SIDE || height > MAX_SIDE ||
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > MAX_CELLS) {
        LogManager::getInstance().writeLog(
            "TileMap::resize(): Error! A map of %d x %d cells refused: each side "
            "1 to %d, at most %zu cells.",
            width, height, MAX_SIDE, MAX_CELLS);
        return -1;
    }
    m_width = width;
    m_height = height;
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    m_tiles.assign(cells, Tile());
    m_solid.assign((cells + 63) / 64, 0);
    m_revision = nextRevision();
    return 0;
}

int TileMap::setTile(int column, int row, const Tile& tile) {
    if (!contains(column, row)) {
        LogManager::getInstance().writeLog(
            "TileMap::setTile(): Error! Cell (%d,%d) is outside the map of %d x %d cells.", column, row,
            m_width, m_height);
        return -1;
    }
    m_tiles[index(column, row)] = tile;
    setSolid(index(column, row), tile.solid);
    m_revision = nextRevision();
    return 0;
}

void TileMap::setSolid(std::size_t cell, bool solid) {
    const std::uint64_t bit = std::uint64_t{1} << (cell & 63);
    if (solid)
        m_solid[cell >> 6] |= bit;
    else
        m_solid[cell >> 6] &= ~bit;
}

void TileMap::fill(int column, int row, int width, int height, const Tile& tile) {
    const long long left = std::max<long long>(column, 0);
    const long long top = std::max<long long>(row, 0);
    const long long right = std::min<long long>(static_cast<long long>(column) + width, m_width);
    const long long bottom = std::min<long long>(static_cast<long long>(row) + height, m_height);
    for (long long y = top; y < bottom; y++)
        for (long long x = left; x < right; x++)
            setTile(static_cast<int>(x), static_cast<int>(y), tile);
}

Tile TileMap::getTile(int column, int row) const {
    return contains(column, row) ? m_tiles[index(column, row)] : Tile();
}

int TileMap::loadFile(const std::string& path) {
    std::string text;
    std::string reason;
    const platform::FileRead result = platform::readRegularFile(path, MAX_FILE_BYTES, &text, &reason);
    const char* refusal = nullptr;
    if (result == platform::FileRead::ABSENT)
        refusal = "no such file";
    else if (result == platform::FileRead::NOT_REGULAR)
        refusal = "not a regular file";
    else if (result == platform::FileRead::UNREADABLE)
        refusal = reason.c_str();
    else if (result == platform::FileRead::TOO_LARGE)
        refusal = "larger than the limit of a map file";
    if (refusal) {
        LogManager::getInstance().writeLog("TileMap::loadFile(): Error! Unable to read map file '%s': %s.",
                                           clipForLog(path).c_str(), refusal);
        return -1;
    }
    return loadText(text, path);
}

int TileMap::loadText(const std::string& text, const std::string& name) {
    TileMapReader reader;
    if (!reader.read(text)) {
        LogManager::getInstance().writeLog(
            "TileMap::loadText(): Error! Map '%s' line %d: %s. Map not loaded.", clipForLog(name).c_str(),
            reader.getErrorLine(), reader.getError().c_str());
        return -1;
    }
    m_width = reader.getWidth();
    m_height = reader.getHeight();
    m_tiles = std::move(reader.getTiles());
    m_solid.assign((m_tiles.size() + 63) / 64, 0);
    for (std::size_t i = 0; i < m_tiles.size(); i++)
        setSolid(i, m_tiles[i].solid);
    m_revision = nextRevision();
    LogManager::getInstance().writeLog(2, "TileMap::loadText(): Map '%s' of %d x %d cells loaded.",
                                       clipForLog(name).c_str(), m_width, m_height);
    return 0;
}

int TileMap::setAltitude(int altitude) {
    if (altitude < ALTITUDE_MIN || altitude > ALTITUDE_MAX) {
        LogManager::getInstance().writeLog("TileMap::setAltitude(): Error! Altitude %d not in [%d,%d].",
                                           altitude, ALTITUDE_MIN, ALTITUDE_MAX);
        return -1;
    }
    m_altitude = altitude;
    m_revision = nextRevision();
    return 0;
}

void TileMap::setVisible(bool visible) {
    m_visible = visible;
    m_revision = nextRevision();
}

Box TileMap::cellBox(int column, int row) {
    const float side = 1.0f - 2 * CELL_INSET;
    return Box(
        Vector(static_cast<float>(column) - 0.5f + CELL_INSET, static_cast<float>(row) - 0.5f + CELL_INSET),
        side, side);
}

void TileMap::cellRange(const Box& box, int& left, int& top, int& right, int& bottom) const {
    left = top = 0;
    right = bottom = -1;
    if (m_width == 0)
        return;
    const double x = static_cast<double>(box.getCorner().getX());
    const double y = static_cast<double>(box.getCorner().getY());
    int first_row = 0;
    int last_row = -1;
    solidSpan(y, y + static_cast<double>(box.getVertical()), m_height, first_row, last_row);
    if (last_row < first_row)
        return;
    solidSpan(x, x + static_cast<double>(box.getHorizontal()), m_width, left, right);
    top = first_row;
    bottom = last_row;
}

bool TileMap::anySolidIn(const Box& box) const {
    int left = 0, top = 0, right = -1, bottom = -1;
    cellRange(box, left, top, right, bottom);
    // Every object asks this on every move: a row's span is tested a word of
    // the solid bits at a time, and the first solid cell ends the search.
    for (int row = top; row <= bottom; row++) {
        std::size_t cell = index(left, row);
        const std::size_t end = index(right, row) + 1;
        while (cell < end) {
            const std::size_t in_word = std::min<std::size_t>(64 - (cell & 63), end - cell);
            const std::uint64_t span = in_word == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << in_word) - 1;
            if ((m_solid[cell >> 6] >> (cell & 63) & span) != 0)
                return true;
            cell += in_word;
        }
    }
    return false;
}

void TileMap::draw(const Box& view) const {
    if (!m_visible || m_width == 0)
        return;
    // A cell's character fills the window cell from its position to one
    // further right and down, so it shows when that span meets the view.
    const double x = static_cast<double>(view.getCorner().getX());
    const double y = static_cast<double>(view.getCorner().getY());
    const double first_column = std::max(std::floor(x - 1) + 1, 0.0);
    const double last_column = std::min(std::ceil(x + static_cast<double>(view.getHorizontal())) - 1,
                                        static_cast<double>(m_width - 1));
    const double first_row = std::max(std::floor(y - 1) + 1, 0.0);
    const double last_row = std::min(std::ceil(y + static_cast<double>(view.getVertical())) - 1,
                                     static_cast<double>(m_height - 1));
    if (!(first_column <= last_column) || !(first_row <= last_row))
        return;
    DisplayManager& display_manager = DisplayManager::getInstance();
    // Without a window (headless) there is nothing to draw into.
    if (!display_manager.getWindow())
        return;
    for (int row = static_cast<int>(first_row); row <= static_cast<int>(last_row); row++) {
        for (int column = static_cast<int>(first_column); column <= static_cast<int>(last_column); column++) {
            const Tile& tile = m_tiles[index(column, row)];
            if (tile.isBlank())
                continue;
            const Vector where(static_cast<float>(column), static_cast<float>(row));
            if (tile.has_background)
                display_manager.drawCell(where, tile.ch, tile.color, tile.background);
            else
                display_manager.drawCharacter(where, tile.ch, tile.color, 0.0f);
        }
    }
}

} // namespace vt
