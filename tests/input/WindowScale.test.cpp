#include <SFML/Graphics.hpp>

#include <cmath>
#include <string>

#include "support/DisplayScenes.h"
#include "support/WindowedInputTest.h"

namespace vt::test {
namespace {

// A window scaled, or resized by the user, and where its picture then lies
// in it, in window pixels (the tests' X display is 1280 x 1024).
struct ScaleCase {
    const char* name;
    std::string config;
    sf::Vector2u opened;
    sf::Vector2u resized; // 0 x 0: left as opened
    sf::IntRect picture;
};

// Test listings name the case instead of dumping its bytes.
void PrintTo(const ScaleCase& scale, std::ostream* p_out) { *p_out << scale.name; }

// Settings for a window of width x height pixels, and more.
std::string sized(int width, int height, const std::string& more) {
    return "window_horizontal_pixels:" + std::to_string(width) +
           ",window_vertical_pixels:" + std::to_string(height) + "," + more;
}

const ScaleCase CASES[] = {
    {"One", "window_scale:1,", {1024, 768}, {0, 0}, {0, 0, 1024, 768}},
    {"Two", sized(480, 360, "window_scale:2,"), {960, 720}, {0, 0}, {0, 0, 960, 720}},
    // Three times 400 x 300 fits the display, four times does not.
    {"Auto", sized(400, 300, "window_scale:auto,"), {1200, 900}, {0, 0}, {0, 0, 1200, 900}},
    {"ResizedWider", sized(640, 480, "window_style:7,"), {640, 480}, {1000, 480}, {180, 0, 640, 480}},
    {"ResizedTaller",
     sized(400, 300, "window_scale:2,window_style:7,"),
     {800, 600},
     {600, 900},
     {0, 225, 600, 450}},
};

class WindowScaleTest : public WindowedInputTest, public ::testing::WithParamInterface<ScaleCase> {
  protected:
    std::string extraConfig() const override { return GetParam().config; }

    // The window pixel that shows the point (column, row) of the cell grid.
    sf::Vector2i shownAt(float column, float row) const {
        const sf::IntRect& picture = GetParam().picture;
        const float scale = static_cast<float>(picture.width) / static_cast<float>(GetParam().opened.x);
        return {picture.left + static_cast<int>(std::lround(column * cellWidth() * scale)),
                picture.top + static_cast<int>(std::lround(row * cellHeight() * scale))};
    }
};

TEST_P(WindowScaleTest, PictureKeepsItsCellsAndTheMouseFindsThem) {
    const ScaleCase& scale = GetParam();
    DisplayManager& dm = DisplayManager::getInstance();
    sf::RenderWindow& window = *dm.getWindow();
    ASSERT_EQ(window.getSize(), scale.opened);
    EXPECT_EQ(dm.getHorizontalChars() * 1000 + dm.getVerticalChars(), 80024);
    EXPECT_FLOAT_EQ(cellWidth() * 80, static_cast<float>(scale.opened.x));
    if (scale.resized.x != 0) {
        ASSERT_TRUE(input().resize(static_cast<int>(scale.resized.x), static_cast<int>(scale.resized.y)));
        stepUntil([&](const auto&) { return window.getSize() == scale.resized; });
        ASSERT_EQ(window.getSize(), scale.resized);
        dm.presentFrame(); // as each step does: the picture takes the new size
    }

    // A full screen inks the picture's corner cells and nothing beside the picture.
    scenes::drawFullScreen();
    const sf::Image image = captureBackBuffer();
    const sf::IntRect& p = scale.picture;
    const int size = static_cast<int>(window.getSize().x * window.getSize().y);
    EXPECT_EQ(countPixels(image, 0, 0, 4096, 4096, BLACK_PIXEL) -
                  countPixels(image, p.left, p.top, p.width, p.height, BLACK_PIXEL),
              size - p.width * p.height);
    for (const sf::Vector2f cell :
         {sf::Vector2f(0, 0), sf::Vector2f(79, 0), sf::Vector2f(0, 23), sf::Vector2f(79, 23)}) {
        const sf::Vector2i from = shownAt(cell.x, cell.y);
        const sf::Vector2i to = shownAt(cell.x + 1, cell.y + 1);
        const int area = (to.x - from.x) * (to.y - from.y);
        EXPECT_LT(countPixels(image, from.x, from.y, to.x - from.x, to.y - from.y, BLACK_PIXEL), area);
    }

    // Real pointer moves land in the cells under the pointer.
    for (const sf::Vector2f cell : {sf::Vector2f(10, 2), sf::Vector2f(57, 19)}) {
        const sf::Vector2i pixel = shownAt(cell.x + 0.25f, cell.y + 0.5f);
        ASSERT_TRUE(input().moveTo(pixel.x, pixel.y));
        const std::vector<Received> moved = stepUntil([&](const auto& e) {
            return !e.empty() && e.back().action == MOUSE_ACTION_MOVED &&
                   std::floor(e.back().position.getX()) == cell.x &&
                   std::floor(e.back().position.getY()) == cell.y;
        });
        ASSERT_FALSE(moved.empty()) << "no move into cell " << cell.x << ", " << cell.y;
        // A window pixel is at most a third of a cell in these windows.
        EXPECT_NEAR(moved.back().position.getX(), cell.x + 0.25f, 0.34f);
        EXPECT_NEAR(moved.back().position.getY(), cell.y + 0.5f, 0.34f);
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowScaleTest, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<ScaleCase>& param) { return param.param.name; });

} // namespace
} // namespace vt::test
