#include <SFML/Graphics.hpp>

#include <limits>
#include <sstream>

#include "media/SfmlCompat.h"
#include "support/WindowTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/Shape.h"
#include "vintrel/world/Object.h"

namespace vt::test {
namespace {

using ShapeTest = WindowTest;

sf::Color pixel(const sf::Image& image, float x, float y) {
    return sfml::pixelAt(image, static_cast<unsigned>(x), static_cast<unsigned>(y));
}

TEST_F(ShapeTest, DefaultsTypesAndText) {
    ASSERT_EQ(LogManager::getInstance().startUp(), 0);
    Shape shape;
    EXPECT_EQ(shape.getType(), SHAPE_CIRCLE);
    EXPECT_FLOAT_EQ(shape.getSize(), 24.0f);
    EXPECT_EQ(shape.toString(), "circle, size 24.000000, White, 255");

    shape.setType(3);
    shape.setType(-2);
    EXPECT_EQ(shape.getType(), SHAPE_CIRCLE);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "Shape::setType(): Unknown shape type 3. Ignoring."), 1);
    EXPECT_EQ(countLines(log, "Shape::setType(): Unknown shape type -2. Ignoring."), 1);

    shape.setType(SHAPE_TRIANGLE);
    shape.setColor(MAGENTA);
    shape.setAlpha(7);
    ASSERT_EQ(shape.setSize(2.5f), 0);
    EXPECT_EQ(shape.toString(), "triangle, size 2.500000, Magenta, 7");
    EXPECT_EQ(shape.setSize(std::numeric_limits<float>::quiet_NaN()), -1);
    EXPECT_FLOAT_EQ(shape.getSize(), 2.5f);
    shape.setType(SHAPE_UNDEFINED);
    EXPECT_EQ(shape.toString(), "undefined, size 2.500000, Magenta, 7");
    LogManager::getInstance().shutDown();
}

TEST_F(ShapeTest, SerializedFormRestoresTheShapeAndRejectsBadBytes) {
    ASSERT_EQ(LogManager::getInstance().startUp(), 0);
    Shape shape;
    shape.setType(SHAPE_SQUARE);
    ASSERT_EQ(shape.setSize(10.5f), 0);
    shape.setColor(RED);
    shape.setAlpha(128);
    std::stringstream stream;
    ASSERT_EQ(shape.serialize(stream), 0);
    const std::string bytes = stream.str();
    ASSERT_EQ(bytes.size(), 13u);

    Shape copy;
    std::stringstream in(bytes);
    ASSERT_EQ(copy.deserialize(in), 0);
    EXPECT_EQ(copy.toString(), "square, size 10.500000, Red, 128");

    Shape untouched;
    std::stringstream truncated(bytes.substr(0, 12));
    EXPECT_EQ(untouched.deserialize(truncated), -1);
    EXPECT_EQ(countLines(logText(), "Shape::deserialize(): Error! Stream eof."), 1);
    EXPECT_EQ(untouched.toString(), "circle, size 24.000000, White, 255");

    std::string bad_type = bytes;
    bad_type[0] = 7;
    std::stringstream bad_type_stream(bad_type);
    EXPECT_EQ(untouched.deserialize(bad_type_stream), -1);
    std::string bad_color = bytes;
    bad_color[8] = 42;
    std::stringstream bad_color_stream(bad_color);
    EXPECT_EQ(untouched.deserialize(bad_color_stream), -1);
    EXPECT_EQ(untouched.toString(), "circle, size 24.000000, White, 255");
    LogManager::getInstance().shutDown();
}

TEST_F(ShapeTest, HeadlessDrawOnlyLogs) {
    LogManager::getInstance().setLogLevel(5);
    ASSERT_EQ(startEngine(), 0);
    Shape shape;
    shape.draw(Vector(3, 3));
    EXPECT_EQ(countLines(logText(), "Shape::draw(): DisplayManager window not defined."), 1);
}

TEST_F(ShapeTest, FiguresLandWhereTheirGeometryPutsThem) {
    ASSERT_EQ(startWindowedEngine(), 0);
    // A square first: its 45-degree turn must not carry over to later figures.
    Shape square;
    square.setType(SHAPE_SQUARE);
    square.setColor(RED);
    square.draw(Vector(30, 10));
    // A character under the circle is covered by it.
    ASSERT_EQ(DisplayManager::getInstance().drawCharacter(Vector(10, 10), 'M', RED), 0);
    Shape circle;
    circle.draw(Vector(10, 10));
    Shape triangle;
    triangle.setType(SHAPE_TRIANGLE);
    triangle.setColor(GREEN);
    triangle.draw(Vector(50, 10));
    Shape custom;
    custom.setColor(CUSTOM);
    custom.setRed(10);
    custom.setGreen(20);
    custom.setBlue(30);
    custom.draw(Vector(70, 10));
    const sf::Image image = captureBackBuffer();

    // Circle of radius 24 placed at (128 - 12, 320 - 12): centred at (140, 332).
    EXPECT_EQ(pixel(image, 140, 332), WHITE_PIXEL);
    EXPECT_EQ(pixel(image, 140 + 20, 332), WHITE_PIXEL);
    EXPECT_EQ(pixel(image, 140 - 20, 332), WHITE_PIXEL);
    EXPECT_EQ(pixel(image, 140 + 27, 332), BLACK_PIXEL);
    EXPECT_EQ(countInCell(image, 10, 10, RED_PIXEL), 0);

    // Square: radius 12, turned 45 degrees about its corner at (396, 306.3):
    // an upright square of side 17 centred at (396, 323.3).
    EXPECT_EQ(pixel(image, 396, 323), RED_PIXEL);
    EXPECT_EQ(pixel(image, 396 + 7, 323 + 7), RED_PIXEL);
    EXPECT_EQ(pixel(image, 396 - 7, 323 - 7), RED_PIXEL);
    EXPECT_EQ(pixel(image, 396 + 11, 323), BLACK_PIXEL);
    EXPECT_EQ(pixel(image, 396, 323 - 11), BLACK_PIXEL);

    // Triangle: radius 12 placed at (640 - 12, 320 - 12), centred on the position.
    EXPECT_EQ(pixel(image, 640, 322), GREEN_PIXEL);
    EXPECT_EQ(pixel(image, 640, 305), BLACK_PIXEL);
    EXPECT_EQ(pixel(image, 640, 329), BLACK_PIXEL);

    EXPECT_EQ(pixel(image, 908, 332), sf::Color(10, 20, 30));
}

TEST_F(ShapeTest, ObjectsDrawTheirShapeAfterTheirSprite) {
    ASSERT_EQ(startWindowedEngine(), 0);
    auto* p_object = new Object;
    ASSERT_EQ(p_object->setPosition(Vector(10, 10)), 0);
    p_object->draw();
    EXPECT_EQ(pixel(captureBackBuffer(), 140, 332), BLACK_PIXEL);

    Shape shape;
    shape.setColor(GREEN);
    p_object->setShape(shape);
    p_object->draw();
    EXPECT_EQ(pixel(captureBackBuffer(), 140, 332), GREEN_PIXEL);
}

} // namespace
} // namespace vt::test
