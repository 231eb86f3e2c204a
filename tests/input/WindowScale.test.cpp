#include <SFML/Graphics.hpp>

#include <cmath>
#include <string>

#include "media/SfmlCompat.h"
#include "support/DisplayScenes.h"
#include "support/WindowedInputTest.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::test {
namespace {

// A window scaled or resized, and where its picture should then lie in it
// (the X display of the tests is 1280 x 1024 pixels).
struct ScaleCase {
    const char* name;
    const char* config;
    sf::Vector2u window;  // size the engine opens
    sf::Vector2u resized; // size the user drags it to, or 0 x 0
    sf::IntRect picture;  // where the picture then lies, in window pixels
};

const ScaleCase CASES[] = {
    {"ScaleOne", "window_scale:1,", {1024, 768}, {0, 0}, {0, 0, 1024, 768}},
    {"ScaleTwo",
     "window_horizontal_pixels:480,window_vertical_pixels:360,window_scale:2,",
     {960, 720},
     {0, 0},
     {0, 0, 960, 720}},
    // Three times 400 x 300 fits the display, four times does not.
    {"ScaleAuto",
     "window_horizontal_pixels:400,window_vertical_pixels:300,window_scale:auto,",
     {1200, 900},
     {0, 0},
     {0, 0, 1200, 900}},
    {"ResizedWider",
     "window_horizontal_pixels:640,window_vertical_pixels:480,window_style:7,",
     {640, 480},
     {1000, 480},
     {180, 0, 640, 480}},
    {"ResizedTaller",
     "window_horizontal_pixels:400,window_vertical_pixels:300,window_scale:2,window_style:7,",
     {800, 600},
     {600, 900},
     {0, 225, 600, 450}},
};

class WindowScaleTest : public WindowedInputTest, public ::testing::WithParamInterface<ScaleCase> {
  protected:
    std::string extraConfig() const override { return GetParam().config; }

    /// The window pixel where the point of the cell at (dx, dy) of its size shows.
    sf::Vector2i windowPixel(int column, int row, float dx, float dy) const {
        const sf::IntRect& picture = GetParam().picture;
        const DisplayManager& display_manager = DisplayManager::getInstance();
        const float scale =
            static_cast<float>(picture.width) / static_cast<float>(display_manager.getHorizontalPixels());
        return {picture.left +
                    static_cast<int>(std::lround((static_cast<float>(column) + dx) * cellWidth() * scale)),
                picture.top +
                    static_cast<int>(std::lround((static_cast<float>(row) + dy) * cellHeight() * scale))};
    }

    /// Points the mouse at a cell and clicks: both events name that cell.
    void expectPointedCell(int column, int row) {
        SCOPED_TRACE("cell " + std::to_string(column) + ", " + std::to_string(row));
        const sf::Vector2i pixel = windowPixel(column, row, 0.25f, 0.5f);
        ASSERT_TRUE(input().moveTo(pixel.x, pixel.y));
        auto inCell = [column, row](const Received& r) {
            return std::floor(r.position.getX()) == static_cast<float>(column) &&
                   std::floor(r.position.getY()) == static_cast<float>(row);
        };
        const std::vector<Received> moved = stepUntil([&](const auto& e) {
            return !e.empty() && e.back().action == MOUSE_ACTION_MOVED && inCell(e.back());
        });
        ASSERT_FALSE(moved.empty()) << "no move to the cell";
        // A pixel of the window is at most a third of a cell here.
        EXPECT_NEAR(moved.back().position.getX(), static_cast<float>(column) + 0.25f, 0.34f);
        EXPECT_NEAR(moved.back().position.getY(), static_cast<float>(row) + 0.5f, 0.34f);

        ASSERT_TRUE(input().buttonDown(1));
        const std::vector<Received> clicked = stepUntil(
            [](const auto& e) { return countMouse(e, MOUSE_ACTION_CLICKED, MOUSE_BUTTON_LEFT) > 0; });
        ASSERT_TRUE(input().buttonUp(1));
        ASSERT_EQ(countMouse(clicked, MOUSE_ACTION_CLICKED, MOUSE_BUTTON_LEFT), 1);
        for (const Received& r : clicked)
            EXPECT_TRUE(inCell(r)) << r.position.getX() << ", " << r.position.getY();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        step();
    }
};

TEST_P(WindowScaleTest, PictureFillsItsPlaceAndTheMouseFindsTheCells) {
    const ScaleCase& scale = GetParam();
    DisplayManager& display_manager = DisplayManager::getInstance();
    sf::RenderWindow* p_window = display_manager.getWindow();
    ASSERT_EQ(p_window->getSize(), scale.window);
    // The grid of cells is the configured one, whatever the window's size.
    EXPECT_EQ(display_manager.getHorizontalChars(), 80);
    EXPECT_EQ(display_manager.getVerticalChars(), 24);
    EXPECT_FLOAT_EQ(cellWidth(), static_cast<float>(scale.window.x) / 80);
    EXPECT_FLOAT_EQ(cellHeight(), static_cast<float>(scale.window.y) / 24);

    if (scale.resized.x != 0) {
        ASSERT_TRUE(input().resize(static_cast<int>(scale.resized.x), static_cast<int>(scale.resized.y)));
        for (int i = 0; i < 300 && p_window->getSize() != scale.resized; i++) {
            step();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(p_window->getSize(), scale.resized);
        // As the game loop does each step: the renderer takes the new size
        // when a frame is shown.
        display_manager.presentFrame();
    }

    // Every cell drawn: the picture is inked, the bars beside it are not.
    scenes::drawFullScreen();
    const sf::Image image = captureBackBuffer();
    display_manager.presentFrame();
    const sf::Vector2u size = p_window->getSize();
    const sf::IntRect& picture = scale.picture;
    const int total = static_cast<int>(size.x * size.y);
    const int background_in_picture =
        countPixels(image, picture.left, picture.top, picture.width, picture.height, BLACK_PIXEL);
    EXPECT_EQ(countPixels(image, 0, 0, static_cast<int>(size.x), static_cast<int>(size.y), BLACK_PIXEL),
              background_in_picture + total - picture.width * picture.height);
    EXPECT_LT(background_in_picture, picture.width * picture.height * 9 / 10);
    // Ink near all four corners of the picture: it is neither cut nor shifted.
    for (const sf::Vector2i cell :
         {sf::Vector2i(0, 0), sf::Vector2i(79, 0), sf::Vector2i(0, 23), sf::Vector2i(79, 23)}) {
        const sf::Vector2i from = windowPixel(cell.x, cell.y, 0, 0);
        const sf::Vector2i to = windowPixel(cell.x + 1, cell.y + 1, 0, 0);
        EXPECT_GT(countPixels(image, from.x, from.y, to.x - from.x, to.y - from.y, BLACK_PIXEL), 0);
        EXPECT_LT(countPixels(image, from.x, from.y, to.x - from.x, to.y - from.y, BLACK_PIXEL),
                  (to.x - from.x) * (to.y - from.y));
    }

    expectPointedCell(10, 2);
    expectPointedCell(57, 19);
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowScaleTest, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<ScaleCase>& param) { return param.param.name; });

} // namespace
} // namespace vt::test
