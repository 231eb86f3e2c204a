#include <cstdio>
#include <string>

#include "support/WindowTest.h"
#include "vintrel/media/DisplayManager.h"

// A windowed game with no font file of its own draws with the font built
// into the library; one that names a font, or has a broken one, does not start.
namespace vt::test {
namespace {

constexpr int INKED = 25;
const char* const BUILT_IN_LINE =
    "DisplayManager::startUp(): No font file 'vt-font.ttf': drawing with the built-in font.";

using BuiltInFontTest = WindowTest;

TEST_F(BuiltInFontTest, AGameWithoutAFontFileDrawsTextWithTheBuiltInFont) {
    // No vt-font.ttf in the working directory, none beside the test program.
    ASSERT_EQ(startEngine(windowedConfig()), 0);
    EXPECT_EQ(countLines(logText(), BUILT_IN_LINE), 1) << logText();
    DisplayManager& display_manager = DisplayManager::getInstance();
    ASSERT_EQ(display_manager.drawText(Vector(10, 5), "MW#", LEFT, GREEN), 0);
    const sf::Image image = captureBackBuffer();
    for (int col = 10; col < 13; col++) {
        SCOPED_TRACE(col);
        EXPECT_GT(countInCell(image, col, 5, GREEN_PIXEL), INKED);
    }
    EXPECT_EQ(countInCell(image, 13, 5, GREEN_PIXEL), 0);
}

TEST_F(BuiltInFontTest, ANamedMissingBrokenOrRefusedFontFailsStartUp) {
    struct Case {
        const char* name;
        const char* settings;
        const char* file_content; // written as vt-font.ttf when not null
        const char* font_named;
    };
    const Case cases[] = {
        {"a broken font file", "", "not a font", "vt-font.ttf"},
        {"a font file named and missing", "font_file:mine.ttf,", nullptr, "mine.ttf"},
        {"the built-in font refused", "builtin_font:false,", nullptr, "vt-font.ttf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file_content != nullptr) {
            ASSERT_TRUE(writeFile(dir().file("vt-font.ttf"), c.file_content));
        }
        EXPECT_EQ(startEngine(windowedConfig() + c.settings), -1);
        const std::string log = logText();
        EXPECT_EQ(
            countLines(log, std::string("DisplayManager::startUp(): Error! Unable to open font from file '") +
                                c.font_named + "'."),
            1)
            << log;
        EXPECT_EQ(countLines(log, "built-in font"), 0);
        stopEngine();
        std::remove(dir().file("vt-font.ttf").c_str());
        resetEngineState();
    }
}

} // namespace
} // namespace vt::test
