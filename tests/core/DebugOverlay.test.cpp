#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/WindowTest.h"
#include "vintrel/core/DebugOverlay.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

class DebugOverlayTest : public WindowTest {
  protected:
    static DebugOverlay& overlay() { return DebugOverlay::getInstance(); }
    static std::string line(int row) { return overlay().figureLines().at(static_cast<std::size_t>(row)); }
};

// Mean and worst cover the last second only; the oldest steps drop out.
TEST_F(DebugOverlayTest, TimesAreTheLastMeanAndWorstOfTheLastSecond) {
    ASSERT_EQ(startEngine(), 0);
    overlay().setMode(OverlayMode::FIGURES);
    overlay().noteStep(1000, 100, 0);
    overlay().noteStep(3000, 900, 500000);
    overlay().noteStep(2000, 200, 900000);
    EXPECT_EQ(line(0), "step ms 2.00 mean 2.00 worst 3.00");
    EXPECT_EQ(line(1), "draw ms 0.20 mean 0.40 worst 0.90");
    overlay().noteStep(500, 300, 1600000);
    EXPECT_EQ(line(0), "step ms 0.50 mean 1.25 worst 2.00");
    overlay().setMode(OverlayMode::OFF);
    EXPECT_EQ(overlay().getStepTiming().worst_ms, 0.0);
}

// A known scene: objects by altitude, two hard objects meeting, and every
// step event handed to two listeners.
TEST_F(DebugOverlayTest, CountsMatchAKnownScene) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_mover = new Object;
    p_mover->setPosition(Vector(10, 5));
    p_mover->setVelocity(Vector(1, 0));
    auto* p_wall = new Object;
    p_wall->setPosition(Vector(11, 5));
    auto* p_high = new Object;
    p_high->setAltitude(4);
    p_high->setPosition(Vector(40, 5));
    auto* p_low = new Object;
    p_low->setAltitude(0);
    p_low->setSolidness(SPECTRAL);
    p_low->setPosition(Vector(40, 10));
    p_high->registerInterest(EVENT_STEP);
    p_low->registerInterest(EVENT_STEP);
    overlay().setMode(OverlayMode::FIGURES);
    overlay().noteStep(0, 0, 0);

    const EventStep step(1);
    GameManager::getInstance().onEvent(&step);
    WorldManager::getInstance().update();
    overlay().noteStep(10, 10, 1000);
    EXPECT_EQ(line(2), "lagging steps 0");
    EXPECT_EQ(line(3), "objects 0:1 1:0 2:2 3:0 4:1 all 4");
    EXPECT_EQ(line(4), "collisions 1 events 2");
    EXPECT_EQ(overlay().figureLines().size(), 5u);
}

// Outlines: a hard object's box in red, a soft one's in yellow, where the
// boxes lie on the screen; and the figures in the top-left cells.
TEST_F(DebugOverlayTest, OutlinesMarkSolidnessByColourAroundTheBoxes) {
    ASSERT_EQ(startWindowedEngine(), 0);
    auto* p_hard = new Object;
    p_hard->setPosition(Vector(20, 12));
    auto* p_soft = new Object;
    p_soft->setSolidness(SOFT);
    p_soft->setPosition(Vector(50, 12));
    // A hidden map: its solid cell is outlined all the same, its floor not.
    auto p_map = std::make_unique<TileMap>(80, 24);
    Tile tile;
    tile.solid = true;
    p_map->setTile(30, 12, tile);
    tile.solid = false;
    tile.ch = '.';
    p_map->setTile(35, 12, tile);
    p_map->setVisible(false);
    WorldManager::getInstance().setTileMap(std::move(p_map));
    overlay().setMode(OverlayMode::OUTLINES);
    ASSERT_EQ(overlay().draw(), 0);
    const sf::Image image = captureBackBuffer();
    const sf::Color solid_tile(230, 80, 255);
    EXPECT_GT(countInCell(image, 20, 12, sf::Color(255, 64, 64)), 10);
    EXPECT_EQ(countInCell(image, 20, 12, sf::Color(255, 220, 0)), 0);
    EXPECT_GT(countInCell(image, 50, 12, sf::Color(255, 220, 0)), 10);
    EXPECT_GT(countInCell(image, 30, 12, solid_tile), 10);
    EXPECT_EQ(countInCell(image, 35, 12, solid_tile), 0);
    EXPECT_EQ(countInCell(image, 20, 12, solid_tile), 0);
    EXPECT_GT(countInCell(image, 0, 0, sf::Color(200, 200, 200)), 10);

    DisplayManager::getInstance().presentFrame();
    overlay().setMode(OverlayMode::FIGURES);
    ASSERT_EQ(overlay().draw(), 0);
    const sf::Image figures_only = captureBackBuffer();
    EXPECT_EQ(countInCell(figures_only, 20, 12, sf::Color(255, 64, 64)), 0);
    EXPECT_EQ(countInCell(figures_only, 30, 12, solid_tile), 0);
}

} // namespace
} // namespace vt::test
