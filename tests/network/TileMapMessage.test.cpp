#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "network/TileMapMessage.h"
#include "network/WorldStreamFormat.h"

namespace vt::test {
namespace {

// The map a watcher reads holds what the host's map held, cell for cell.
TEST(TileMapMessageTest, AMapReadBackHoldsEveryCellAltitudeAndVisibility) {
    TileMap map(70, 3);
    Tile wall;
    wall.ch = U'┼';
    wall.color = BLUE;
    wall.solid = true;
    map.fill(0, 0, 70, 1, wall);
    Tile water;
    water.ch = '~';
    water.color = CYAN;
    water.has_background = true;
    water.background = BLUE;
    map.setTile(69, 2, water);
    map.setAltitude(2);
    map.setVisible(false);

    std::unique_ptr<TileMap> p_read;
    std::string reason;
    ASSERT_EQ(stream::readTileMap(stream::tileMapPayload(&map), &p_read, &reason), 0) << reason;
    ASSERT_NE(p_read, nullptr);
    ASSERT_EQ(p_read->getWidth(), 70);
    ASSERT_EQ(p_read->getHeight(), 3);
    EXPECT_EQ(p_read->getAltitude(), 2);
    EXPECT_FALSE(p_read->isVisible());
    for (int row = 0; row < 3; row++)
        for (int column = 0; column < 70; column++)
            ASSERT_TRUE(p_read->getTile(column, row) == map.getTile(column, row)) << column << "," << row;

    p_read = std::make_unique<TileMap>(2, 2);
    ASSERT_EQ(stream::readTileMap(stream::tileMapPayload(nullptr), &p_read, &reason), 0);
    EXPECT_EQ(p_read, nullptr);
}

// A lying host gets a refusal, never a map larger than the limits.
TEST(TileMapMessageTest, CutLyingAndOutOfRangePayloadsAreRefused) {
    const auto header = [](std::uint32_t width, std::uint32_t height, std::uint32_t runs) {
        std::string payload;
        stream::putU32(&payload, width);
        stream::putU32(&payload, height);
        payload.push_back(0); // altitude
        payload.push_back(1); // visible
        stream::putU32(&payload, runs);
        return payload;
    };
    const auto run = [](std::uint32_t length, std::uint32_t ch, std::int32_t color, char flags,
                        std::int32_t background) {
        std::string bytes;
        stream::putU32(&bytes, length);
        stream::putU32(&bytes, ch);
        stream::putI32(&bytes, color);
        bytes.push_back(flags);
        stream::putI32(&bytes, background);
        return bytes;
    };
    const std::string good = header(2, 2, 1) + run(4, '#', WHITE, 2, BLACK);
    struct Case {
        const char* what;
        std::string payload;
    };
    const std::vector<Case> cases = {
        {"cut in its size", good.substr(0, 6)},
        {"cut in its run", good.substr(0, good.size() - 1)},
        {"a side beyond the limit", header(TileMap::MAX_SIDE + 1, 1, 1) + run(1, '#', WHITE, 0, BLACK)},
        {"more cells than a map holds",
         header(TileMap::MAX_SIDE, TileMap::MAX_SIDE, 1) + run(1, '#', 0, 0, 0)},
        {"no cells but bytes after", header(0, 0, 0)},
        {"more runs than bytes", header(2, 2, 1000000)},
        {"an empty run", header(2, 2, 2) + run(0, '#', WHITE, 0, BLACK) + run(4, '#', WHITE, 0, BLACK)},
        {"a run past the map", header(2, 2, 1) + run(5, '#', WHITE, 0, BLACK)},
        {"runs short of the map", header(2, 2, 1) + run(3, '#', WHITE, 0, BLACK)},
        {"a bad colour", header(2, 2, 1) + run(4, '#', 99, 0, BLACK)},
        {"a bad background", header(2, 2, 1) + run(4, '#', WHITE, 1, -1)},
        {"unknown flags", header(2, 2, 1) + run(4, '#', WHITE, 4, BLACK)},
        {"no character", header(2, 2, 1) + run(4, 0x110000, WHITE, 0, BLACK)},
        {"bytes after the runs", good + "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto p_map = std::make_unique<TileMap>(3, 3);
        const TileMap* p_before = p_map.get();
        std::string reason;
        EXPECT_EQ(stream::readTileMap(c.payload, &p_map, &reason), -1);
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(p_map.get(), p_before);
    }
    std::unique_ptr<TileMap> p_map;
    std::string reason;
    EXPECT_EQ(stream::readTileMap(good, &p_map, &reason), 0) << reason;
}

} // namespace
} // namespace vt::test
