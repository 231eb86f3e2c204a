#include <SFML/Graphics.hpp>

#include <set>
#include <string>

#include "media/SfmlCompat.h"
#include "support/WindowTest.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::test {
namespace {

class LegibilityTest : public WindowTest {
  protected:
    // Each printable character in the middle of a plus of 'M's, four cells from
    // the next: one on each side in its row and, drawn after it as the rows of a
    // frame are, one above and one below. Returns what the window then holds.
    sf::Image drawPluses(bool centres, bool neighbours) {
        DisplayManager& dm = DisplayManager::getInstance();
        for (int c = '!'; c <= '~'; c++) {
            const auto x = static_cast<float>(1 + 4 * ((c - '!') % 20));
            const auto y = static_cast<float>(1 + 4 * ((c - '!') / 20));
            for (const Vector& at :
                 {Vector(x - 1, y), Vector(x, y), Vector(x + 1, y), Vector(x, y - 1), Vector(x, y + 1)})
                if (at == Vector(x, y) ? centres : neighbours)
                    dm.drawCharacter(at, at == Vector(x, y) ? static_cast<char>(c) : 'M', WHITE);
        }
        sf::Image image = captureBackBuffer();
        dm.presentFrame();
        return image;
    }

    // The characters of which a pixel lit when drawn alone, or lit by a
    // neighbour drawn alone, is not lit when they are drawn together.
    std::string charactersLosingInk() {
        const sf::Image together = drawPluses(true, true);
        const sf::Image centres = drawPluses(true, false);
        const sf::Image neighbours = drawPluses(false, true);
        const sf::Color background = sfml::pixelAt(together, 0, 0);
        std::set<char> losing;
        for (unsigned y = 0; y < together.getSize().y; y++)
            for (unsigned x = 0; x < together.getSize().x; x++)
                if (sfml::pixelAt(together, x, y) == background &&
                    (sfml::pixelAt(centres, x, y) != background ||
                     sfml::pixelAt(neighbours, x, y) != background))
                    losing.insert(
                        static_cast<char>('!' + static_cast<int>(static_cast<float>(x) / cellWidth() / 4) +
                                          20 * static_cast<int>(static_cast<float>(y) / cellHeight() / 4)));
        return std::string(losing.begin(), losing.end());
    }
};

TEST_F(LegibilityTest, NoCharacterOfTheShippedFontLosesInkToItsNeighbours) {
    ASSERT_EQ(startWindowedEngine(), 0);
    EXPECT_EQ(charactersLosingInk(), "");
}

TEST_F(LegibilityTest, GlyphsWiderThanTheirCellsKeepTheirInkToo) {
    ASSERT_EQ(startWindowedEngine("font_file:" + wideTestFontSource() + ",window_background_color:blue,"), 0);
    EXPECT_EQ(charactersLosingInk(), "");
}

} // namespace
} // namespace vt::test
