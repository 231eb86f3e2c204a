#include <gtest/gtest.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <string>

#include "support/WindowTest.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/Frame.h"
#include "vintrel/media/Sprite.h"

namespace vt::test {
namespace {

const sf::Color RED_PIXEL(255, 0, 0);
const sf::Color GREEN_PIXEL(0, 255, 0);
// A cell holds a character when this many pixels show its colour; glyphs
// reach a pixel or two into the neighbouring cell, never this many.
constexpr int INKED = 25;

class FrameTest : public WindowTest {
  protected:
    void SetUp() override { ASSERT_EQ(startWindowedEngine(), 0); }

    /// The columns from first to last of the row whose cells show the colour.
    std::string inkedColumns(const sf::Image& image, int row, sf::Color color, int first, int last) const {
        std::string columns;
        for (int col = first; col <= last; col++)
            if (countInCell(image, col, row, color) > INKED)
                columns += std::to_string(col) + " ";
        return columns;
    }
};

TEST_F(FrameTest, FramesAreCentredOnTheirPosition) {
    const Frame odd(3, 3, "MMMMMMMMM");
    EXPECT_EQ(odd.draw(Vector(10, 5), RED, 0), 0);
    // Even sizes sit half a cell off: a 2 x 2 frame at (30.5, 10.5) covers columns 30-31, rows 10-11.
    const Frame even(2, 2, "MMMM");
    EXPECT_EQ(even.draw(Vector(30.5f, 10.5f), GREEN, 0), 0);
    const sf::Image image = captureBackBuffer();

    for (int row = 3; row <= 7; row++) {
        SCOPED_TRACE(row);
        EXPECT_EQ(inkedColumns(image, row, RED_PIXEL, 5, 15), row >= 4 && row <= 6 ? "9 10 11 " : "");
    }
    for (int row = 9; row <= 12; row++) {
        SCOPED_TRACE(row);
        EXPECT_EQ(inkedColumns(image, row, GREEN_PIXEL, 25, 35), row == 10 || row == 11 ? "30 31 " : "");
    }
}

TEST_F(FrameTest, TransparentCharactersLeaveWhatLiesBeneath) {
    const Frame under(3, 1, "MMM");
    const Frame over(3, 1, "#M#");
    EXPECT_EQ(under.draw(Vector(10, 2), GREEN, 0), 0);
    EXPECT_EQ(over.draw(Vector(10, 2), RED, '#'), 0);
    EXPECT_EQ(under.draw(Vector(10, 4), GREEN, 0), 0);
    EXPECT_EQ(over.draw(Vector(10, 4), RED, 0), 0);
    const sf::Image image = captureBackBuffer();

    EXPECT_EQ(inkedColumns(image, 2, GREEN_PIXEL, 5, 15), "9 11 ");
    EXPECT_EQ(inkedColumns(image, 2, RED_PIXEL, 5, 15), "10 ");
    EXPECT_EQ(inkedColumns(image, 4, GREEN_PIXEL, 5, 15), "");
    EXPECT_EQ(inkedColumns(image, 4, RED_PIXEL, 5, 15), "9 10 11 ");
}

TEST_F(FrameTest, FramesOfUnicodeCharactersLeaveTheirTransparentCharacterUndrawn) {
    const Frame under(3, 1, "MMM");
    Sprite sprite(1);
    sprite.setWidth(3);
    sprite.setHeight(1);
    sprite.setColor(RED);
    ASSERT_EQ(sprite.pushFrame(Frame(3, 1, U"░Ω░")), 0);
    sprite.setTransparency(U'░');
    EXPECT_EQ(sprite.getTransparency(), '\0'); // no char stands for it
    Animation animation;
    animation.setSprite(&sprite);
    EXPECT_EQ(under.draw(Vector(10, 2), GREEN, 0), 0);
    EXPECT_EQ(animation.draw(Vector(10, 2)), 0);
    // The char form's 0xE9 is the character U+00E9 in a frame of Unicode characters.
    EXPECT_EQ(under.draw(Vector(10, 4), GREEN, 0), 0);
    EXPECT_EQ(Frame(3, 1, U"éΩé").draw(Vector(10, 4), RED, '\xE9'), 0);
    const sf::Image image = captureBackBuffer();

    for (const int row : {2, 4}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(inkedColumns(image, row, GREEN_PIXEL, 5, 15), "9 11 ");
        EXPECT_EQ(inkedColumns(image, row, RED_PIXEL, 5, 15), "10 ");
    }
}

TEST_F(FrameTest, AFrameShortOfCharactersDrawsOnlyThoseItHas) {
    // 20 x 2 cells but 25 characters: the second row stops after 5.
    const Frame short_frame(20, 2, std::string(25, 'M'));
    EXPECT_EQ(short_frame.draw(Vector(19.5f, 10.5f), RED, 0), 0);
    EXPECT_EQ(Frame().draw(Vector(5, 5), RED, 0), 0);
    EXPECT_EQ(Frame(4, 0, "MMMM").draw(Vector(5, 5), RED, 0), 0);
    const sf::Image image = captureBackBuffer();

    std::string all_row;
    for (int col = 10; col <= 29; col++)
        all_row += std::to_string(col) + " ";
    EXPECT_EQ(inkedColumns(image, 10, RED_PIXEL, 5, 35), all_row);
    EXPECT_EQ(inkedColumns(image, 11, RED_PIXEL, 5, 35), "10 11 12 13 14 ");
    EXPECT_EQ(inkedColumns(image, 5, RED_PIXEL, 0, 10), "");
}

TEST_F(FrameTest, AnimationsDrawTheirCurrentFrameInTheSpritesColour) {
    Sprite sprite(2);
    sprite.setWidth(1);
    sprite.setHeight(1);
    sprite.setColor(GREEN);
    ASSERT_EQ(sprite.pushFrame(Frame(1, 1, "M")), 0);
    ASSERT_EQ(sprite.pushFrame(Frame(1, 1, " ")), 0);
    Animation animation;
    animation.setSprite(&sprite);

    EXPECT_EQ(animation.draw(Vector(3, 3)), 0);
    EXPECT_GT(countInCell(captureBackBuffer(), 3, 3, GREEN_PIXEL), INKED);
    ASSERT_EQ(DisplayManager::getInstance().presentFrame(), 0);
    EXPECT_EQ(animation.getIndex(), 1);
    EXPECT_EQ(animation.draw(Vector(3, 3)), 0);
    EXPECT_EQ(countInCell(captureBackBuffer(), 3, 3, GREEN_PIXEL), 0);
    EXPECT_EQ(sprite.draw(5, Vector(3, 3), 0), 0);
}

using FrameHeadlessTest = EngineTest;

TEST_F(FrameHeadlessTest, DrawingWithoutAWindowFailsButEmptyFramesDrawNothing) {
    ASSERT_EQ(startEngine(), 0);
    EXPECT_EQ(Frame(1, 1, "M").draw(Vector(3, 3), RED, 0), -1);
    EXPECT_EQ(Frame(1, 1, "#").draw(Vector(3, 3), RED, '#'), 0);
    EXPECT_EQ(Frame().draw(Vector(3, 3), RED, 0), 0);
}

} // namespace
} // namespace vt::test
