#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "support/RecordingObject.h"
#include "support/WindowTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/EventTileCollision.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// A 6 x 3 room: walls round a floor, water on a background, a solid space.
const char ROOM[] = "tilemap\n"
                    "; the room\n"
                    "size 6 3\n"
                    "key # white solid\n"
                    "key ~ cyan on blue\n"
                    "key   on green solid\n"
                    "key . yellow\n"
                    "\n"
                    "map\n"
                    "######\n"
                    "#~ . #\r\n"
                    "######\n"
                    "\n";

Tile wallTile() {
    Tile wall;
    wall.ch = '#';
    wall.solid = true;
    return wall;
}

class TileMapTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }

    RecordingObject* make(const Vector& position, Solidness solidness, const Vector& velocity = Vector()) {
        auto* p_o = new RecordingObject();
        EXPECT_EQ(p_o->setSolidness(solidness), 0);
        p_o->setPosition(position);
        p_o->setVelocity(velocity);
        return p_o;
    }

    // 20 x 20 blank cells with a solid wall down column 10, rows 0 to 14.
    static TileMap* placeWallMap() {
        auto p_map = std::make_unique<TileMap>(20, 20);
        p_map->fill(10, 0, 1, 15, wallTile());
        return WorldManager::getInstance().setTileMap(std::move(p_map));
    }

    WorldManager& world() { return WorldManager::getInstance(); }
};

TEST_F(TileMapTest, MapFileGivesCellsColoursAndSolidity) {
    ASSERT_TRUE(writeFile(dir().file("room.txt"), ROOM));
    TileMap map;
    ASSERT_EQ(map.loadFile(dir().file("room.txt")), 0) << logText();
    ASSERT_EQ(map.getWidth(), 6);
    ASSERT_EQ(map.getHeight(), 3);

    EXPECT_EQ(map.getTile(0, 0), wallTile());
    const Tile water = map.getTile(1, 1);
    EXPECT_EQ(water.ch, '~');
    EXPECT_EQ(water.color, CYAN);
    EXPECT_TRUE(water.has_background);
    EXPECT_EQ(water.background, BLUE);
    EXPECT_FALSE(map.isSolid(1, 1));
    // The keyed space is solid and painted; the unkeyed one would be blank.
    EXPECT_TRUE(map.isSolid(2, 1));
    EXPECT_EQ(map.getTile(2, 1).background, GREEN);
    EXPECT_EQ(map.getTile(3, 1).color, YELLOW);
    EXPECT_FALSE(map.getTile(3, 1).has_background);
    EXPECT_TRUE(map.getTile(-1, 0).isBlank());
    EXPECT_FALSE(map.isSolid(6, 0));

    // Box-drawing walls: rows are as wide as their characters, not their bytes.
    ASSERT_EQ(map.loadText("tilemap\nsize 3 2\nkey \u2554 cyan solid\nkey \u2550 cyan solid\nmap\n"
                           "\u2554\u2550\u2550\n \u2550 \n",
                           "walls"),
              0)
        << logText();
    EXPECT_EQ(map.getWidth(), 3);
    EXPECT_EQ(map.getTile(0, 0).ch, U'\u2554');
    EXPECT_EQ(map.getTile(2, 0).ch, U'\u2550');
    EXPECT_TRUE(map.isSolid(1, 1));
    EXPECT_FALSE(map.isSolid(0, 1));
}

TEST_F(TileMapTest, HostileMapFilesAreRefusedWithTheirLineAndLeaveTheMapAlone) {
    struct Case {
        const char* what;
        std::string text;
        const char* logged;
    };
    const std::string head = "tilemap\nsize 3 2\nkey # red solid\nmap\n";
    const Case cases[] = {
        {"empty", "", "line 0: the first line is not 'tilemap'"},
        {"another format", "<svg>\n", "line 1: the first line is not 'tilemap'"},
        {"binary", std::string("tilemap\nsize 3 1\nmap\n") + std::string("\0\xff\x01", 3),
         "line 4: byte 2 is not UTF-8"},
        {"unkeyed null", std::string("tilemap\nsize 3 1\nmap\n") + std::string("\0  ", 3),
         "line 4: column 1: \\x00 has no key"},
        {"unkeyed control byte", "tilemap\nsize 3 1\nmap\n\x01  \n", "line 4: column 1: \\x01 has no key"},
        {"byte beyond ASCII", "tilemap\nsize 3 1\nmap\n \xe9 \n", "line 4: byte 2 is not UTF-8"},
        {"row cut inside a character", "tilemap\nsize 3 1\nmap\n  \xe2\x95\n", "line 4: byte 3 is not UTF-8"},
        {"unkeyed box drawing", head + "#\u2550#\n###\n", "line 5: column 2: '\u2550' has no key"},
        {"key of a C1 control", "tilemap\nkey \xc2\x85 red\n", "line 2: a key names one printable character"},
        {"key of a cut character", "tilemap\nkey \xe2\x95 red\n",
         "line 2: a key names one printable character"},
        {"side of 0", "tilemap\nsize 0 5\nmap\n", "line 2: the size is not two whole numbers"},
        {"side too long", "tilemap\nsize 5000 2\nmap\n", "line 2: the size is not two whole numbers"},
        {"too many cells", "tilemap\nsize 4096 4096\nmap\n", "line 2: a map of 4096 x 4096 cells"},
        {"negative size", "tilemap\nsize -3 4\nmap\n", "line 2: the size is not"},
        {"size with words", "tilemap\nsize 3 two\n", "line 2: the size is not"},
        {"second size", "tilemap\nsize 3 2\nsize 3 2\n", "line 3: a second 'size' line"},
        {"unknown colour", "tilemap\nkey # purple\n",
         "line 2: expected a colour, 'on' and a colour, or 'solid', "
         "not 'purple'"},
        {"bad background", "tilemap\nkey # red on mauve\n", "line 2: unknown background colour 'mauve'"},
        {"background missing", "tilemap\nkey # red on\n", "line 2: expected a colour"},
        {"two characters", "tilemap\nkey ## red\n", "line 2: a key names one printable character"},
        {"key of a control byte", "tilemap\nkey \t red\n", "line 2: a key names one printable character"},
        {"second key", "tilemap\nkey # red\nkey # blue\n", "line 3: a second key for '#'"},
        {"unknown line", "tilemap\nwidth 3\n", "line 2: expected 'size', 'key', a comment or 'map'"},
        {"map before size", "tilemap\nmap\n", "line 2: 'map' comes before a 'size' line"},
        {"no map", "tilemap\nsize 3 2\n", "line 2: no 'map' line before the end"},
        {"narrow row", head + "###\n##\n", "line 6: a row of 2 characters in a map 3 wide"},
        {"wide row", head + "####\n", "line 5: a row of 4 characters"},
        {"rows missing", head + "###\n", "line 5: the map ends after 1 rows of 2"},
        {"rows beyond", head + "###\n###\n\n###\n", "line 8: more rows than the size's 2"},
        {"unkeyed character", head + "#x#\n###\n", "line 5: column 2: 'x' has no key"},
    };
    TileMap map;
    ASSERT_EQ(map.loadText(ROOM, "room"), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(map.loadText(c.text, c.what), -1);
        EXPECT_EQ(countLines(logText(),
                             std::string("TileMap::loadText(): Error! Map '") + c.what + "' " + c.logged),
                  1)
            << logText();
        EXPECT_EQ(map.getWidth(), 6);
        EXPECT_EQ(map.getTile(1, 1).ch, '~');
    }

    // Files that are no map files are refused before they are read whole.
    ASSERT_TRUE(writeFile(dir().file("huge.txt"), std::string(TileMap::MAX_FILE_BYTES + 1, '#')));
    EXPECT_EQ(map.loadFile(dir().file("huge.txt")), -1);
    EXPECT_EQ(map.loadFile(dir().path()), -1);
    EXPECT_EQ(map.loadFile(dir().file("absent.txt")), -1);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "huge.txt': larger than the limit of a map file."), 1) << log;
    EXPECT_EQ(countLines(log, "': not a regular file."), 1) << log;
    EXPECT_EQ(countLines(log, "absent.txt': no such file."), 1) << log;
    EXPECT_EQ(map.getWidth(), 6);
}

TEST_F(TileMapTest, SizesAndCellsOutsideTheMapAreRefused) {
    TileMap map(4, 3);
    EXPECT_EQ(map.resize(0, 3), -1);
    EXPECT_EQ(map.resize(TileMap::MAX_SIDE + 1, 1), -1);
    EXPECT_EQ(map.resize(TileMap::MAX_SIDE, TileMap::MAX_SIDE), -1);
    EXPECT_EQ(map.getWidth(), 4);
    EXPECT_EQ(map.setTile(4, 0, wallTile()), -1);
    EXPECT_EQ(map.setTile(0, -1, wallTile()), -1);
    EXPECT_EQ(map.setAltitude(5), -1);
    EXPECT_EQ(map.getAltitude(), 0);
    // A fill reaching beyond the map sets only what lies inside.
    map.fill(-2, 2, 100, 100, wallTile());
    EXPECT_TRUE(map.isSolid(0, 2));
    EXPECT_TRUE(map.isSolid(3, 2));
    EXPECT_FALSE(map.isSolid(3, 1));
    EXPECT_EQ(countLines(logText(), "TileMap::resize(): Error!"), 3);
    EXPECT_EQ(countLines(logText(), "TileMap::setTile(): Error!"), 2);
}

// The quick test a move makes reads the solid bits a word at a time: it must
// agree with the cell-by-cell walk for boxes across and along word edges.
TEST_F(TileMapTest, QuickSolidTestAgreesWithTheCellByCellWalk) {
    TileMap map(150, 40);
    std::mt19937 random(5);
    for (int row = 0; row < 40; row++)
        for (int column = 0; column < 150; column++)
            if (random() % 61 == 0)
                map.setTile(column, row, wallTile());
    std::uniform_real_distribution<float> place(-3.0f, 155.0f);
    std::uniform_real_distribution<float> side(0.0f, 140.0f);
    for (int i = 0; i < 3000; i++) {
        const Box box(Vector(place(random), place(random) / 4), i % 3 == 0 ? side(random) : side(random) / 40,
                      side(random) / 30);
        bool walked = false;
        map.forEachSolidIn(box, [&walked](int, int) { walked = true; });
        ASSERT_EQ(map.anySolidIn(box), walked)
            << "box at " << box.getCorner().getX() << "," << box.getCorner().getY() << " of "
            << box.getHorizontal() << " x " << box.getVertical();
    }
}

TEST_F(TileMapTest, SolidCellsStopHardObjectsAndTellThemWhichCell) {
    placeWallMap();
    struct Case {
        Solidness mover;
        bool moves;
        bool hears;
    };
    const Case cases[] = {{HARD, false, true}, {SOFT, true, true}, {SPECTRAL, true, false}};
    float y = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(solidnessToString(c.mover));
        RecordingObject* p_mover = make(Vector(9, y), c.mover);
        Vector heard_at;
        int heard_column = -1;
        p_mover->on_event = [&, p_mover](RecordingObject*, const Event* p_event) {
            if (const auto* p_hit = eventAs<EventTileCollision>(p_event)) {
                EXPECT_EQ(p_hit->getObject(), p_mover);
                EXPECT_EQ(p_hit->getRow(), static_cast<int>(y));
                EXPECT_EQ(p_hit->getTile().ch, '#');
                heard_column = p_hit->getColumn();
                heard_at = p_hit->getPosition();
            }
        };
        EXPECT_EQ(world().moveObject(p_mover, Vector(10, y)), c.moves ? 0 : -1);
        EXPECT_EQ(p_mover->getPosition(), c.moves ? Vector(10, y) : Vector(9, y));
        EXPECT_EQ(p_mover->count(EVENT_TILE_COLLISION), c.hears ? 1 : 0);
        EXPECT_EQ(p_mover->count(": collision "), 0);
        if (c.hears) {
            EXPECT_EQ(heard_column, 10);
            EXPECT_EQ(heard_at, Vector(10, y));
        }
        y += 2;
    }
}

TEST_F(TileMapTest, NeighbouringCellsAreNotTouchedAndObjectsStillMeetEachOther) {
    placeWallMap();
    // A full one-cell box beside the wall slides along it without touching.
    RecordingObject* p_beside = make(Vector(9, 2), HARD, Vector(0, 1));
    p_beside->setBox(Box(Vector(-0.5f, -0.5f), 1, 1));
    // A box two cells wide over the wall's end meets two of its cells at once.
    RecordingObject* p_wide = make(Vector(10.5f, 16), HARD);
    p_wide->setBox(Box(Vector(-1, -0.5f), 2, 1));
    RecordingObject* p_obstacle = make(Vector(3, 6), HARD);
    RecordingObject* p_runner = make(Vector(3, 4), HARD, Vector(0, 1));

    for (int step = 0; step < 4; step++)
        world().update();
    EXPECT_EQ(p_beside->getPosition(), Vector(9, 6));
    EXPECT_EQ(p_beside->count(EVENT_TILE_COLLISION), 0);
    EXPECT_EQ(world().moveObject(p_wide, Vector(10.5f, 14.5f)), -1);
    EXPECT_EQ(p_wide->count(EVENT_TILE_COLLISION), 1) << "only row 14 is solid";
    EXPECT_EQ(world().moveObject(p_wide, Vector(10.5f, 13.5f)), -1);
    EXPECT_EQ(p_wide->count(EVENT_TILE_COLLISION), 3) << "rows 13 and 14 under a box from 13 to 14";
    // Object collisions are what they were: both hear, the runner stops.
    EXPECT_EQ(p_runner->getPosition(), Vector(3, 5));
    EXPECT_GE(p_obstacle->count(": collision "), 1);
    EXPECT_EQ(p_runner->count(EVENT_TILE_COLLISION), 0);
}

TEST_F(TileMapTest, AvoidingObjectSlidesAlongSolidCells) {
    placeWallMap();
    RecordingObject* p_mover = make(Vector(8.6f, 5), HARD, Vector(1, 1));
    p_mover->setAvoidCollisions(true);
    const float speed = p_mover->getSpeed();

    world().update();

    EXPECT_FLOAT_EQ(p_mover->getPosition().getX(), 8.6f);
    EXPECT_FLOAT_EQ(p_mover->getPosition().getY(), 5 + speed);
    EXPECT_EQ(p_mover->count(EVENT_TILE_COLLISION), 0);
}

TEST_F(TileMapTest, MapCanBeReplacedOrRemovedEvenFromAHandler) {
    placeWallMap();
    RecordingObject* p_mover = make(Vector(9, 3), HARD);
    // The handler takes the map away while the world is still reporting.
    p_mover->on_event = [this](RecordingObject*, const Event* p_event) {
        if (eventAs<EventTileCollision>(p_event))
            world().removeTileMap();
    };
    p_mover->setBox(Box(Vector(-0.5f, -1.5f), 1, 3));
    EXPECT_EQ(world().moveObject(p_mover, Vector(10, 3)), -1);
    EXPECT_EQ(p_mover->count(EVENT_TILE_COLLISION), 3) << "every cell met is reported";
    EXPECT_EQ(world().getTileMap(), nullptr);
    EXPECT_EQ(world().moveObject(p_mover, Vector(10, 3)), 0) << "without the map nothing stops it";

    placeWallMap();
    EXPECT_NE(world().getTileMap(), nullptr);
    world().setTileMap(nullptr);
    EXPECT_EQ(world().getTileMap(), nullptr);
    EXPECT_EQ(world().isValid(EVENT_TILE_COLLISION), false);
}

class TileMapDrawingTest : public WindowTest {};

constexpr int INKED = 25;

TEST_F(TileMapDrawingTest, OnlyCellsInTheViewAreDrawnAndTheyScrollWithIt) {
    ASSERT_EQ(startWindowedEngine(), 0);
    WorldManager& world_manager = WorldManager::getInstance();
    world_manager.setBoundary(Box(Vector(0, 0), 200, 24));
    world_manager.setView(Box(Vector(0, 0), 80, 24));
    auto p_map = std::make_unique<TileMap>(200, 24);
    Tile red_wall = wallTile();
    red_wall.color = RED;
    p_map->setTile(5, 5, red_wall);
    Tile painted;
    painted.ch = 'X';
    painted.color = GREEN;
    painted.has_background = true;
    painted.background = BLUE;
    p_map->setTile(100, 5, painted);
    world_manager.setTileMap(std::move(p_map));

    world_manager.draw();
    sf::Image image = captureBackBuffer();
    EXPECT_GT(countInCell(image, 5, 5, RED_PIXEL), INKED);
    EXPECT_EQ(countPixels(image, 0, 0, 1024, 768, GREEN_PIXEL), 0);
    EXPECT_EQ(countPixels(image, 0, 0, 1024, 768, BLUE_PIXEL), 0);

    // Scrolled 95 cells right: the painted cell shows in view column 5, the wall is gone.
    DisplayManager::getInstance().presentFrame();
    world_manager.setView(Box(Vector(95, 0), 80, 24));
    world_manager.draw();
    image = captureBackBuffer();
    EXPECT_GT(countInCell(image, 5, 5, GREEN_PIXEL), INKED);
    EXPECT_GT(countInCell(image, 5, 5, BLUE_PIXEL), 150) << "the cell's own background";
    EXPECT_EQ(countInCell(image, 6, 6, BLUE_PIXEL), 0);
    EXPECT_EQ(countPixels(image, 0, 0, 1024, 768, RED_PIXEL), 0);

    // Hidden, the map draws nothing.
    DisplayManager::getInstance().presentFrame();
    world_manager.getTileMap()->setVisible(false);
    world_manager.draw();
    image = captureBackBuffer();
    EXPECT_EQ(countPixels(image, 0, 0, 1024, 768, GREEN_PIXEL), 0);
}

} // namespace
} // namespace vt::test
