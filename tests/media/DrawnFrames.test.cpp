#include <SFML/Graphics.hpp>

#include <cstdint>
#include <functional>

#include "support/DisplayScenes.h"
#include "support/WindowTest.h"

namespace vt::test {
namespace {

// Hashes of the frames the renderer drew for each scene, on black and on a
// blue window, when these were recorded (Mesa's software renderer and
// FreeType of Debian 12). Moving a single pixel shows here; ways of drawing
// faster must not.
struct Scene {
    const char* name;
    std::function<void(scenes::Sprites&)> draw;
    std::uint64_t on_black;
    std::uint64_t on_blue;
};

const Scene SCENES[] = {
    {"full screen", [](scenes::Sprites&) { scenes::drawFullScreen(); }, 0xc9b06cd4a3eba03b,
     0x4627327e55f2debc},
    {"game frame", [](scenes::Sprites& s) { scenes::makeTypicalGameFrame(s); }, 0x9e71558fcb3f1727,
     0x822f029e1c7007cd},
    {"altitudes", scenes::makeOverlappingAltitudes, 0x07ef03a3bca7cab3, 0x92553e382dc25eff},
    {"rotated", [](scenes::Sprites&) { scenes::drawRotatedCharacters(); }, 0xbd0b3040d0b4115f,
     0xbeada789286a7c3a},
    {"between cells", [](scenes::Sprites&) { scenes::drawBetweenCells(); }, 0x55a67a31a4be43fe,
     0x0755bd3e44be00ac},
    {"view objects", [](scenes::Sprites&) { scenes::makeViewObjects(); }, 0x4a45b7edbe487b16,
     0xf3ff69e1d228ffe3},
    {"shape under text", scenes::makeShapeUnderText, 0xb46906fb33c58fd9, 0xbf81d8eacbe36b47},
    // ASCII through the char32_t form draws exactly as through the char form.
    {"full screen, char32_t",
     [](scenes::Sprites&) {
         DisplayManager& dm = DisplayManager::getInstance();
         for (int y = 0; y < dm.getVerticalChars(); y++)
             for (int x = 0; x < dm.getHorizontalChars(); x++)
                 dm.drawCharacter(Vector(static_cast<float>(x), static_cast<float>(y)),
                                  static_cast<char32_t>('!' + (x + y) % 90),
                                  static_cast<Color>(1 + (x + y) % 7));
     },
     0xc9b06cd4a3eba03b, 0x4627327e55f2debc},
    {"full screen of boxes", [](scenes::Sprites&) { scenes::drawFullScreenOfBoxes(); }, 0xb7d949b39133f9c3,
     0x6b27bfadec761310},
    {"high bytes", scenes::drawHighBytes, 0x5b362a89d84c4c77, 0xd4bdab42669ba7f3},
};

class DrawnFramesTest : public WindowTest {
  protected:
    void expectRecordedFrames(bool on_blue) {
        for (const Scene& scene : SCENES) {
            SCOPED_TRACE(scene.name);
            scenes::Sprites sprites;
            scene.draw(sprites);
            WorldManager::getInstance().draw();
            const sf::Image image = captureBackBuffer();
            scenes::clearWorld();
            DisplayManager::getInstance().presentFrame();
            std::uint64_t hash = 14695981039346656037u;
            const std::uint8_t* p_pixel = image.getPixelsPtr();
            for (std::size_t i = 0; i < std::size_t{image.getSize().x} * image.getSize().y * 4; i++)
                hash = (hash ^ p_pixel[i]) * 1099511628211u;
            EXPECT_EQ(hash, on_blue ? scene.on_blue : scene.on_black) << std::hex << hash;
        }
    }
};

TEST_F(DrawnFramesTest, ScenesOnBlackDrawTheRecordedPixels) {
    ASSERT_EQ(startWindowedEngine(), 0);
    expectRecordedFrames(false);
}

TEST_F(DrawnFramesTest, ScenesOnAColouredBackgroundDrawTheRecordedPixels) {
    ASSERT_EQ(startWindowedEngine("window_background_color:blue,"), 0);
    expectRecordedFrames(true);
}

} // namespace
} // namespace vt::test
