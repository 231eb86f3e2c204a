#include "network/TileMapMessage.h"

#include <cstdint>

#include "network/WorldStreamFormat.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/world/Object.h"

namespace vt::stream {

namespace {

constexpr std::uint8_t HAS_BACKGROUND = 1;
constexpr std::uint8_t SOLID = 2;

bool isColor(std::int32_t value) { return value >= BLACK && value <= CUSTOM; }

void putRun(std::string* p_out, std::uint32_t length, const Tile& tile) {
    putU32(p_out, length);
    putU32(p_out, static_cast<std::uint32_t>(tile.ch));
    putI32(p_out, tile.color);
    p_out->push_back(
        static_cast<char>((tile.has_background ? HAS_BACKGROUND : 0) | (tile.solid ? SOLID : 0)));
    putI32(p_out, tile.has_background ? tile.background : BLACK);
}

} // namespace

std::string tileMapPayload(const TileMap* p_map) {
    std::string payload;
    const int width = p_map ? p_map->getWidth() : 0;
    const int height = p_map ? p_map->getHeight() : 0;
    putU32(&payload, static_cast<std::uint32_t>(width));
    putU32(&payload, static_cast<std::uint32_t>(height));
    if (width == 0 || height == 0)
        return payload;
    payload.push_back(static_cast<char>(p_map->getAltitude()));
    payload.push_back(static_cast<char>(p_map->isVisible() ? 1 : 0));
    std::string runs;
    std::uint32_t run_count = 0;
    std::uint32_t length = 0;
    Tile current;
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            const Tile tile = p_map->getTile(column, row);
            if (length > 0 && tile == current) {
                length++;
                continue;
            }
            if (length > 0) {
                putRun(&runs, length, current);
                run_count++;
            }
            current = tile;
            length = 1;
        }
    }
    putRun(&runs, length, current);
    run_count++;
    putU32(&payload, run_count);
    payload += runs;
    return payload;
}

int readTileMap(const std::string& payload, std::unique_ptr<TileMap>* p_map, std::string* p_reason) {
    PayloadReader in(payload);
    const std::uint32_t width = in.u32();
    const std::uint32_t height = in.u32();
    if (!in.ok()) {
        *p_reason = "a tile map cut short";
        return -1;
    }
    if (width == 0 && height == 0 && in.left() == 0) {
        p_map->reset();
        return 0;
    }
    // The map's own limits, checked before anything is allocated.
    if (width < 1 || height < 1 || width > static_cast<std::uint32_t>(TileMap::MAX_SIDE) ||
        height > static_cast<std::uint32_t>(TileMap::MAX_SIDE) ||
        static_cast<std::size_t>(width) * height > TileMap::MAX_CELLS) {
        *p_reason = "a tile map of " + std::to_string(width) + " x " + std::to_string(height) + " cells";
        return -1;
    }
    const std::uint8_t altitude = in.u8();
    const std::uint8_t visible = in.u8();
    const std::uint32_t run_count = in.u32();
    if (!in.fits(run_count, TILE_RUN_BYTES) || altitude > ALTITUDE_MAX || visible > 1) {
        *p_reason = "a tile map cut short or out of range";
        return -1;
    }
    auto p_read = std::make_unique<TileMap>(static_cast<int>(width), static_cast<int>(height));
    p_read->setAltitude(altitude);
    p_read->setVisible(visible == 1);
    const std::size_t cells = static_cast<std::size_t>(width) * height;
    std::size_t cell = 0;
    for (std::uint32_t i = 0; i < run_count; i++) {
        const std::uint32_t length = in.u32();
        Tile tile;
        tile.ch = static_cast<char32_t>(in.u32());
        const std::int32_t color = in.i32();
        const std::uint8_t flags = in.u8();
        const std::int32_t background = in.i32();
        if (length == 0 || length > cells - cell || tile.ch > LAST_CODE_POINT || !isColor(color) ||
            !isColor(background) || flags > (HAS_BACKGROUND | SOLID)) {
            *p_reason = "a tile map with a bad run of cells";
            return -1;
        }
        tile.color = static_cast<Color>(color);
        tile.has_background = (flags & HAS_BACKGROUND) != 0;
        tile.background = static_cast<Color>(background);
        tile.solid = (flags & SOLID) != 0;
        // A new map's cells are default tiles already.
        if (tile != Tile())
            for (std::size_t end = cell + length; cell < end; cell++)
                p_read->setTile(static_cast<int>(cell % width), static_cast<int>(cell / width), tile);
        else
            cell += length;
    }
    if (cell != cells || in.left() != 0) {
        *p_reason = "a tile map whose runs do not cover it";
        return -1;
    }
    *p_map = std::move(p_read);
    return 0;
}

} // namespace vt::stream
