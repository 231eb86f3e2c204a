#include <SFML/Graphics.hpp>

#include <string>
#include <vector>

#include "media/SfmlCompat.h"
#include "support/WindowTest.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// A cell holds a character when this many pixels show its colour.
constexpr int INKED = 25;

class UnicodeCellsTest : public WindowTest {
  protected:
    void SetUp() override { ASSERT_EQ(startWindowedEngine(), 0); }

    // The pixels of cell (10, 5) and around it after drawing the character there alone.
    std::vector<bool> drawnAlone(char32_t c) {
        DisplayManager& dm = DisplayManager::getInstance();
        dm.drawCharacter(Vector(10, 5), c, WHITE);
        const sf::Image image = captureBackBuffer();
        dm.presentFrame();
        std::vector<bool> ink;
        for (int y = 4 * 32; y < 7 * 32; y++)
            for (int x = 9 * 13; x < 12 * 13; x++)
                ink.push_back(sfml::pixelAt(image, static_cast<unsigned>(x), static_cast<unsigned>(y)) ==
                              WHITE_PIXEL);
        return ink;
    }

    static int count(const std::vector<bool>& ink) {
        int n = 0;
        for (const bool pixel : ink)
            n += pixel ? 1 : 0;
        return n;
    }

    std::string inkedColumns(const sf::Image& image, int row, sf::Color color, int inked = INKED) const {
        std::string columns;
        for (int col = 0; col <= 30; col++)
            if (countInCell(image, col, row, color) > inked)
                columns += std::to_string(col) + " ";
        return columns;
    }
};

TEST_F(UnicodeCellsTest, CharactersBeyondAsciiComeFromTheFontAndMissingOnesAreABox) {
    // Neither the font (Agave) nor any font need have these.
    const std::vector<bool> box = drawnAlone(0x4E00);
    EXPECT_GT(count(box), INKED);
    EXPECT_EQ(drawnAlone(0x2661), box);
    const std::u32string latin1_greek_arrows_suits = U"éñßÄÿΩλπΣ←↑→↓♠♣♥♦";
    for (const char32_t c : latin1_greek_arrows_suits) {
        SCOPED_TRACE(encodeUtf8(std::u32string(1, c)));
        const std::vector<bool> ink = drawnAlone(c);
        EXPECT_GT(count(ink), INKED);
        EXPECT_NE(ink, box);
    }
    // Values that are no Unicode characters draw as U+FFFD, which this font lacks too.
    EXPECT_EQ(drawnAlone(0x110000), box);
    EXPECT_EQ(drawnAlone(0xD800), box);

    // Once per code point however often it is drawn.
    drawnAlone(0x4E00);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "Warning! The font has no glyph for U+4E00; drawn as a box."), 1);
    EXPECT_EQ(countLines(log, "Warning! The font has no glyph for U+2661; drawn as a box."), 1);
    EXPECT_EQ(countLines(log, "Warning! The font has no glyph for U+FFFD; drawn as a box."), 1);
    EXPECT_EQ(countLines(log, "no glyph for"), 3);
}

TEST_F(UnicodeCellsTest, TextIsUtf8OneCellPerCharacter) {
    DisplayManager& dm = DisplayManager::getInstance();
    EXPECT_EQ(dm.drawText(Vector(10, 2), "\xC3\xA9\xE2\x99\xA0\xC3\xA9", CENTER, RED), 0); // é♠é
    EXPECT_EQ(dm.drawText(Vector(10, 5), "\xCE\xA9\xCE\xA3", RIGHT, RED), 0);              // ΩΣ
    // Each ill-formed part is one U+FFFD cell: 'c', 'a', 'f', FFFD, '!'.
    const std::string latin1 = "caf\xE9!";
    EXPECT_EQ(dm.drawText(Vector(10, 8), latin1, LEFT, RED), 0);
    EXPECT_EQ(dm.drawText(Vector(10, 8), latin1, LEFT, RED), 0);
    EXPECT_EQ(dm.drawText(Vector(10, 11), "\xF0\x80\x80\x80", LEFT, RED), 0); // an overlong NUL: four cells
    const sf::Image image = captureBackBuffer();
    EXPECT_EQ(inkedColumns(image, 2, RED_PIXEL), "9 10 11 ");
    EXPECT_EQ(inkedColumns(image, 5, RED_PIXEL), "8 9 ");
    EXPECT_EQ(inkedColumns(image, 8, RED_PIXEL), "10 11 12 13 14 ");
    EXPECT_EQ(inkedColumns(image, 11, RED_PIXEL), "10 11 12 13 ");

    const std::string log = logText();
    EXPECT_EQ(countLines(log, "DisplayManager::drawText(): Warning! Text is not UTF-8"), 2);
    EXPECT_EQ(countLines(log, "U+FFFD where it is not: 'caf\xEF\xBF\xBD!'."), 1);
}

TEST_F(UnicodeCellsTest, ViewObjectFramesFitTheirCharactersNotTheirBytes) {
    auto* p_view = new ViewObject;
    p_view->setViewString("\xC3\x89t\xC3\xA9 \xE2\x98\x85"); // "Été ★": 5 characters, 9 bytes
    p_view->setDrawValue(false);
    p_view->setColor(GREEN);
    p_view->setPosition(Vector(20, 5));
    WorldManager::getInstance().draw();
    const sf::Image image = captureBackBuffer();
    // " Été ★ " takes 7 cells from 17 to 23, its '|' at 16 and 24.
    // A '-' shows some 18 pixels, no neighbour's spill nearly as many.
    EXPECT_EQ(inkedColumns(image, 4, GREEN_PIXEL, 10), "17 18 19 20 21 22 23 ");
    EXPECT_EQ(inkedColumns(image, 5, GREEN_PIXEL), "16 18 19 20 22 24 ");
}

} // namespace
} // namespace vt::test
