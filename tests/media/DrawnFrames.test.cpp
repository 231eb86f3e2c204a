#include <SFML/Graphics.hpp>

#include <cstdint>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>

#include "support/DisplayScenes.h"
#include "support/WindowTest.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// The frames the renderer drew for each scene when these were recorded, as
// hashes of the pixels read back. Any change to how characters are drawn
// that moves a single pixel shows here; ways of drawing faster must not.
struct Scene {
    const char* name;
    std::function<void(scenes::Sprites&)> draw;
    std::uint64_t black;
    std::uint64_t blue;
};

std::uint64_t pixelHash(const sf::Image& image) {
    std::uint64_t hash = 14695981039346656037ull;
    const std::uint8_t* p_pixels = image.getPixelsPtr();
    const std::size_t bytes = static_cast<std::size_t>(image.getSize().x) * image.getSize().y * 4;
    for (std::size_t i = 0; i < bytes; i++)
        hash = (hash ^ p_pixels[i]) * 1099511628211ull;
    return hash;
}

std::string hex(std::uint64_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << std::setw(16) << std::setfill('0') << value;
    return out.str();
}

auto inWorld(void (*make)(scenes::Sprites&)) {
    return [make](scenes::Sprites& sprites) {
        make(sprites);
        WorldManager::getInstance().draw();
    };
}

const Scene SCENES[] = {
    {"full screen", [](scenes::Sprites&) { scenes::drawFullScreen(); }, 0xc9b06cd4a3eba03bull,
     0x4627327e55f2debcull},
    {"typical game frame", inWorld([](scenes::Sprites& s) { scenes::makeTypicalGameFrame(s); }),
     0x9e71558fcb3f1727ull, 0x822f029e1c7007cdull},
    {"overlapping altitudes", inWorld(scenes::makeOverlappingAltitudes), 0x07ef03a3bca7cab3ull,
     0x92553e382dc25effull},
    {"rotated characters", [](scenes::Sprites&) { scenes::drawRotatedCharacters(); }, 0xbd0b3040d0b4115full,
     0xbeada789286a7c3aull},
    {"between cells", [](scenes::Sprites&) { scenes::drawBetweenCells(); }, 0x55a67a31a4be43feull,
     0x0755bd3e44be00acull},
    {"view objects", inWorld([](scenes::Sprites&) { scenes::makeViewObjects(); }), 0x4a45b7edbe487b16ull,
     0xf3ff69e1d228ffe3ull},
    {"shape under text", inWorld(scenes::makeShapeUnderText), 0xb46906fb33c58fd9ull, 0xbf81d8eacbe36b47ull},
};

class DrawnFramesTest : public WindowTest {
  protected:
    void expectRecordedFrames(bool blue) {
        DisplayManager& display_manager = DisplayManager::getInstance();
        for (const Scene& scene : SCENES) {
            SCOPED_TRACE(scene.name);
            scenes::Sprites sprites;
            scene.draw(sprites);
            const sf::Image image = captureBackBuffer();
            scenes::clearWorld();
            display_manager.presentFrame();
            EXPECT_EQ(hex(pixelHash(image)), hex(blue ? scene.blue : scene.black));
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
