#include <SFML/Graphics.hpp>

#include <algorithm>
#include <string>

#include "media/SfmlCompat.h"
#include "support/WindowTest.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::test {
namespace {

// Every printable character, each drawn in the middle of a plus of 'M's: one
// on each side in its row and, drawn after it as a frame's rows are, one
// above and one below.
constexpr int FIRST_PRINTABLE = 33;
constexpr int LAST_PRINTABLE = 126;
constexpr int PLUSES_PER_ROW = 20;

Vector plusCentre(int index) {
    return Vector(static_cast<float>(1 + 4 * (index % PLUSES_PER_ROW)),
                  static_cast<float>(1 + 4 * (index / PLUSES_PER_ROW)));
}

void drawPluses(bool centres, bool neighbours) {
    DisplayManager& display_manager = DisplayManager::getInstance();
    for (int c = FIRST_PRINTABLE; c <= LAST_PRINTABLE; c++) {
        const Vector centre = plusCentre(c - FIRST_PRINTABLE);
        auto at = [&](float dx, float dy) { return Vector(centre.getX() + dx, centre.getY() + dy); };
        if (neighbours)
            display_manager.drawCharacter(at(-1, 0), 'M', WHITE);
        if (centres)
            display_manager.drawCharacter(centre, static_cast<char>(c), WHITE);
        if (neighbours) {
            display_manager.drawCharacter(at(1, 0), 'M', WHITE);
            display_manager.drawCharacter(at(0, -1), 'M', WHITE);
            display_manager.drawCharacter(at(0, 1), 'M', WHITE);
        }
    }
}

class LegibilityTest : public WindowTest {
  protected:
    sf::Image drawn(bool centres, bool neighbours) {
        drawPluses(centres, neighbours);
        sf::Image image = captureBackBuffer();
        DisplayManager::getInstance().presentFrame();
        return image;
    }

    // The characters some of whose pixels, lit when drawn alone, are not lit
    // among their neighbours.
    std::string charactersLosingInk() {
        const sf::Image together = drawn(true, true);
        const sf::Image centres = drawn(true, false);
        const sf::Image neighbours = drawn(false, true);
        const sf::Color background = sfml::pixelAt(together, 0, 0);
        std::string losing;
        for (int c = FIRST_PRINTABLE; c <= LAST_PRINTABLE; c++) {
            // The plus and a cell of margin around it, short of the next pluses.
            const Vector corner = spacesToPixels(plusCentre(c - FIRST_PRINTABLE) - Vector(2, 2));
            const int left = std::max(0, static_cast<int>(corner.getX()));
            const int top = std::max(0, static_cast<int>(corner.getY()));
            const int right =
                std::min(static_cast<int>(together.getSize().x), left + static_cast<int>(5 * cellWidth()));
            const int bottom =
                std::min(static_cast<int>(together.getSize().y), top + static_cast<int>(4 * cellHeight()));
            int lost = 0;
            for (int y = top; y < bottom; y++)
                for (int x = left; x < right; x++) {
                    const auto ux = static_cast<unsigned>(x);
                    const auto uy = static_cast<unsigned>(y);
                    const bool lit_alone = sfml::pixelAt(centres, ux, uy) != background ||
                                           sfml::pixelAt(neighbours, ux, uy) != background;
                    if (lit_alone && sfml::pixelAt(together, ux, uy) == background)
                        lost++;
                }
            if (lost > 0)
                losing += std::string(1, static_cast<char>(c)) + "(" + std::to_string(lost) + ") ";
        }
        return losing;
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
