#include <SFML/Graphics.hpp>

#include <limits>

#include "support/WindowTest.h"
#include "vintrel/events/EventView.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

using ViewObjectTest = WindowTest;

void expectAt(const ViewObject& view_object, float x, float y) {
    EXPECT_FLOAT_EQ(view_object.getPosition().getX(), x);
    EXPECT_FLOAT_EQ(view_object.getPosition().getY(), y);
}

TEST_F(ViewObjectTest, FreshViewObjectSitsFramedAtTheTopCentre) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_view = new ViewObject;
    EXPECT_EQ(p_view->getType(), "ViewObject");
    EXPECT_EQ(p_view->getSolidness(), SPECTRAL);
    EXPECT_EQ(p_view->getAltitude(), 4);
    EXPECT_EQ(p_view->getLocation(), TOP_CENTER);
    expectAt(*p_view, 40, 1);
    EXPECT_EQ(p_view->getValue(), 0);
    EXPECT_TRUE(p_view->getBorder());
    EXPECT_TRUE(p_view->getDrawValue());
    EXPECT_EQ(p_view->getColor(), WHITE);
    EXPECT_EQ(p_view->getModified() & (VALUE | APPEARANCE), VALUE | APPEARANCE);

    p_view->setModified(0);
    p_view->setValue(0);
    p_view->setColor(WHITE);
    EXPECT_EQ(p_view->getModified(), 0u);
    p_view->setValue(3);
    EXPECT_EQ(p_view->getModified(), static_cast<std::uint32_t>(VALUE));
    p_view->setViewString("Score");
    EXPECT_EQ(p_view->getModified(), static_cast<std::uint32_t>(VALUE | APPEARANCE));

    EXPECT_EQ(locationToString(0), "top-left");
    EXPECT_EQ(locationToString(7), "bot-center");
    EXPECT_EQ(locationToString(9), "unknown");
    EXPECT_EQ(locationToString(-1), "unknown");
}

TEST_F(ViewObjectTest, EventViewsChangeTheValueOfMatchingLabelsOnly) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_points = new ViewObject;
    p_points->setViewString("Points");
    p_points->setValue(10);
    auto* p_missiles = new ViewObject;
    p_missiles->setViewString("Missiles");
    p_missiles->setValue(4);
    WorldManager& world_manager = WorldManager::getInstance();

    const EventView add("Points", 5, true);
    world_manager.onEvent(&add);
    EXPECT_EQ(p_points->getValue(), 15);
    EXPECT_EQ(p_missiles->getValue(), 4);

    const EventView replace("Points", 5, false);
    world_manager.onEvent(&replace);
    EXPECT_EQ(p_points->getValue(), 5);

    const EventView wrong_case("points", 100, false);
    EXPECT_EQ(p_points->eventHandler(&wrong_case), 0);
    world_manager.onEvent(&wrong_case);
    EXPECT_EQ(p_points->getValue(), 5);

    p_points->setValue(std::numeric_limits<int>::max() - 1);
    world_manager.onEvent(&add);
    EXPECT_EQ(p_points->getValue(), std::numeric_limits<int>::max());
}

TEST_F(ViewObjectTest, LocationsBordersAndDirectPlacement) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_view = new ViewObject;
    const float third = 80.0f / 6;
    const float five_sixths = 80.0f * 5 / 6;

    p_view->setLocation(TOP_LEFT);
    expectAt(*p_view, third, 1);
    p_view->setLocation(CENTER_RIGHT);
    expectAt(*p_view, five_sixths, 12);
    p_view->setLocation(BOTTOM_CENTER);
    expectAt(*p_view, 40, 22);
    EXPECT_EQ(p_view->getLocation(), BOTTOM_CENTER);

    p_view->setBorder(false);
    expectAt(*p_view, 40, 23);
    p_view->setLocation(CENTER_LEFT);
    expectAt(*p_view, third, 11);
    p_view->setLocation(TOP_CENTER);
    expectAt(*p_view, 40, 0);
    p_view->setBorder(true);
    expectAt(*p_view, 40, 1);

    p_view->setLocation(9);
    p_view->setLocation(-1);
    EXPECT_EQ(
        countLines(logText(), "ViewObject::setLocation(): Warning! Location out of range (9). Ignored."), 1);
    EXPECT_EQ(
        countLines(logText(), "ViewObject::setLocation(): Warning! Location out of range (-1). Ignored."), 1);
    EXPECT_EQ(p_view->getLocation(), TOP_CENTER);
    expectAt(*p_view, 40, 1);

    EXPECT_EQ(p_view->setPosition(Vector(7, 9)), 0);
    EXPECT_EQ(p_view->getLocation(), -1);
    p_view->setBorder(false);
    expectAt(*p_view, 7, 9);
}

// Columns of a row whose cell shows at least `min_pixels` pixels of the colour.
std::string inkedColumns(const sf::Image& image, int row, sf::Color color, int min_pixels) {
    std::string columns;
    for (int col = 0; col < 80; col++)
        if (countInCell(image, col, row, color) >= min_pixels)
            columns += std::to_string(col) + " ";
    return columns;
}

TEST_F(ViewObjectTest, DrawsTextAndFrameOnTheScreenWhereverTheViewIs) {
    ASSERT_EQ(startWindowedEngine(), 0);
    auto* p_fresh = new ViewObject;
    auto* p_points = new ViewObject;
    p_points->setViewString("Points");
    p_points->setValue(5);
    p_points->setColor(GREEN);
    p_points->setLocation(CENTER_CENTER);
    // Scrolling the view leaves view objects where they are on the screen.
    WorldManager::getInstance().setView(Box(Vector(10, 5), 80, 24));
    EXPECT_EQ(p_fresh->draw(), 0);
    EXPECT_EQ(p_points->draw(), 0);
    const sf::Image image = captureBackBuffer();

    auto columns = [&](int row, sf::Color color) { return inkedColumns(image, row, color, 5); };
    // "  0 " centred on column 40 spans 38 to 41, framed by bars at 37 and 42.
    EXPECT_EQ(columns(0, WHITE_PIXEL), "38 39 40 41 ");
    EXPECT_EQ(columns(1, WHITE_PIXEL), "37 40 42 ");
    EXPECT_EQ(columns(2, WHITE_PIXEL), "38 39 40 41 ");
    // " Points 5 " at row 12 spans 35 to 44, bars at 34 and 45.
    EXPECT_EQ(columns(11, GREEN_PIXEL), "35 36 37 38 39 40 41 42 43 44 ");
    EXPECT_EQ(columns(12, GREEN_PIXEL), "34 36 37 38 39 40 41 43 45 ");
    EXPECT_EQ(columns(13, GREEN_PIXEL), "35 36 37 38 39 40 41 42 43 44 ");
}

TEST_F(ViewObjectTest, TheWorldDrawsViewObjectsEvenWhenTheViewIsElsewhere) {
    ASSERT_EQ(startWindowedEngine(), 0);
    WorldManager& world_manager = WorldManager::getInstance();
    auto* p_view = new ViewObject;
    p_view->setViewString("Far");
    auto* p_plain = new Object;
    p_plain->setPosition(Vector(40, 12));
    // The view now covers none of the world where either object stands.
    world_manager.setView(Box(Vector(500, 500), 80, 24));
    world_manager.draw();
    const sf::Image image = captureBackBuffer();
    const sf::Color white(255, 255, 255);
    EXPECT_FALSE(inkedColumns(image, 1, white, 5).empty());
    EXPECT_TRUE(inkedColumns(image, 12, white, 1).empty());
}

} // namespace
} // namespace vt::test
