#include <gtest/gtest.h>

#include <SFML/Graphics.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/SfmlCompat.h"
#include "support/ChildProcess.h"
#include "support/WindowTest.h"
#include "vintrel/core/Box.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/ResourceManager.h"

namespace vt::test {
namespace {

struct ToolRun {
    int exit_code = -1;
    std::string output; // standard output and error together
};

// Runs vintrel-sprite with the arguments (already quoted for the shell)
// in the directory, with its standard output and error kept.
ToolRun runTool(const std::string& arguments, const std::string& directory,
                const std::string& environment = "") {
    // In a sanitizer build the software GL driver's own allocations look
    // lost at exit; the tool's memory errors still stop it.
    const std::string text =
        runCommand("cd '" + directory + "' && ASAN_OPTIONS=\"${ASAN_OPTIONS}:detect_leaks=0\" " +
                   environment + " '" VINTREL_SPRITE_TOOL "' " + arguments + " 2>&1; echo \"exit:$?\"");
    ToolRun run;
    const std::size_t mark = text.rfind("exit:");
    if (mark != std::string::npos) {
        run.exit_code = std::stoi(text.substr(mark + 5));
        run.output = text.substr(0, mark);
    }
    return run;
}

std::string sourceFile(const std::string& relative) {
    return std::string(VINTREL_SOURCE_DIR) + "/" + relative;
}

// Every sprite file committed with the sources: the shooter's, the examples'
// and the tools tests' own (a UTF-8 frame of box-drawing lines and block shades).
std::vector<std::string> committedSprites() {
    std::vector<std::string> files;
    for (const char* folder : {"game/sprites", "docs/examples", "tests/tools"})
        for (const auto& entry : std::filesystem::recursive_directory_iterator(sourceFile(folder)))
            if (entry.path().extension() == ".txt" && entry.path().parent_path().filename() == "sprites")
                files.push_back(entry.path().string());
    return files;
}

// How many pixels of two images differ; -1 when their sizes do.
long differingPixels(const sf::Image& a, const sf::Image& b) {
    if (a.getSize() != b.getSize())
        return -1;
    long count = 0;
    for (unsigned y = 0; y < a.getSize().y; y++)
        for (unsigned x = 0; x < a.getSize().x; x++)
            if (sfml::pixelAt(a, x, y) != sfml::pixelAt(b, x, y))
                count++;
    return count;
}

class SpriteToolTest : public WindowTest {};

TEST_F(SpriteToolTest, CheckAcceptsEveryCommittedSpriteFile) {
    const std::vector<std::string> files = committedSprites();
    ASSERT_GE(files.size(), 9u);
    std::string arguments = "check";
    for (const std::string& file : files)
        arguments += " '" + file + "'";
    const ToolRun run = runTool(arguments, dir().path());
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(countLines(run.output, "frames of"), static_cast<int>(files.size())) << run.output;
}

// Every refusal is one clear line and a non-zero exit code, never a crash.
TEST_F(SpriteToolTest, BadInputIsRefusedWithAReasonAndAnExitCode) {
    writeFile(dir().file("short-row.txt"), "1\n3\n2\n0\nred\nabc\nab\n");
    writeFile(dir().file("garbage.bin"), std::string("\x7f"
                                                     "ELF\0\0\x01\xff\xfe garbage",
                                                     18));
    std::filesystem::create_directory(dir().file("folder"));
    // A sparse file past the tool's limit costs no disk.
    { std::ofstream(dir().file("huge.txt")); }
    std::filesystem::resize_file(dir().file("huge.txt"), 64u << 20);
    const std::string ship = "'" + sourceFile("game/sprites/player-spr.txt") + "'";
    struct Case {
        std::string arguments;
        int exit_code;
        std::string says;
    };
    const Case cases[] = {
        {"check missing.txt", 1, "missing.txt: no such file"},
        {"check folder", 1, "not a regular file"},
        {"check garbage.bin", 1, "Unknown sprite file format"},
        {"check huge.txt", 1, "larger than"},
        {"check short-row.txt", 1, "line 7"},
        {"check " + ship + " missing.txt", 1, "missing.txt: no such file"},
        {"check", 2, "check needs at least one FILE"},
        {"", 2, "no command"},
        {"paint " + ship, 2, "unknown command 'paint'"},
        {"render " + ship, 2, "render needs FILE and OUT.png"},
        {"render " + ship + " out.png --scale 0", 2, "--scale takes a whole factor"},
        {"render " + ship + " out.png --frame x", 2, "--frame takes a frame number"},
        {"render " + ship + " out.png --frame", 2, "--frame needs a value"},
        {"render " + ship + " out.png --colour red", 2, "unknown flag '--colour'"},
        {"render " + ship + " out.png --frame 2", 1, "no frame 2"},
        {"render " + ship + " out.bmp", 1, "must end in .png"},
        {"render " + ship + " nowhere/out.png", 1, "is not there"},
        {"render " + ship + " folder", 1, "must end in .png"},
        {"render " + ship + " out.png --font none.ttf", 1, "font 'none.ttf' not found"},
        {"render garbage.bin out.png", 1, "not loaded"},
        {"show missing.txt", 1, "no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = runTool(c.arguments, dir().path());
        EXPECT_EQ(run.exit_code, c.exit_code) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir().file("out.png")));

    const ToolRun no_display = runTool("render " + ship + " out.png", dir().path(), "env -u DISPLAY");
    EXPECT_EQ(no_display.exit_code, 3) << no_display.output;
    EXPECT_EQ(countLines(no_display.output, "no display"), 1) << no_display.output;
}

// The committed picture of the ship was made by the tool and looked at; a
// change in how frames are drawn shows here.
TEST_F(SpriteToolTest, RenderMatchesTheCommittedPicture) {
    const ToolRun run =
        runTool("render '" + sourceFile("game/sprites/player-spr.txt") + "' ship.png", dir().path());
    ASSERT_EQ(run.exit_code, 0) << run.output;
    sf::Image rendered;
    sf::Image reference;
    ASSERT_TRUE(sfml::loadImage(rendered, dir().file("ship.png")));
    ASSERT_TRUE(sfml::loadImage(reference, sourceFile("tests/tools/reference/player-spr.png")));
    EXPECT_EQ(differingPixels(rendered, reference), 0);

    ASSERT_EQ(
        runTool("render '" + sourceFile("game/sprites/player-spr.txt") + "' big.png --scale 3 --frame 1",
                dir().path())
            .exit_code,
        0);
    sf::Image big;
    ASSERT_TRUE(sfml::loadImage(big, dir().file("big.png")));
    const unsigned frame_width = reference.getSize().x / 2;
    ASSERT_EQ(big.getSize().x, frame_width * 3);
    ASSERT_EQ(big.getSize().y, reference.getSize().y * 3);
    long differing = 0;
    for (unsigned y = 0; y < big.getSize().y; y++)
        for (unsigned x = 0; x < big.getSize().x; x++)
            if (sfml::pixelAt(big, x, y) != sfml::pixelAt(reference, frame_width + x / 3, y / 3))
                differing++;
    EXPECT_EQ(differing, 0);
}

// The tool's picture of a frame is the game's: the same frame drawn by a
// running engine at the window's top-left, read back from its window.
TEST_F(SpriteToolTest, RenderIsPixelIdenticalToTheEnginesDrawing) {
    ASSERT_EQ(startWindowedEngine(), 0);
    for (const std::string& file : committedSprites()) {
        SCOPED_TRACE(file);
        const std::string label = std::filesystem::path(file).stem().string();
        ASSERT_EQ(ResourceManager::getInstance().loadSprite(file, label), 0);
        const Sprite* p_sprite = ResourceManager::getInstance().getSprite(label);
        const int frame = p_sprite->getFrameCount() - 1;
        const Vector top_left_placement(static_cast<float>(p_sprite->getWidth() - 1) * 0.5f,
                                        static_cast<float>(p_sprite->getHeight() - 1) * 0.5f);
        ASSERT_EQ(p_sprite->draw(frame, top_left_placement, p_sprite->getTransparency()), 0);
        const sf::Image window = captureBackBuffer();
        DisplayManager::getInstance().presentFrame();

        const ToolRun run =
            runTool("render '" + file + "' frame.png --frame " + std::to_string(frame), dir().path());
        ASSERT_EQ(run.exit_code, 0) << run.output;
        sf::Image rendered;
        ASSERT_TRUE(sfml::loadImage(rendered, dir().file("frame.png")));
        ASSERT_GT(rendered.getSize().x, 0u);
        sf::Image drawn = sfml::makeImage(rendered.getSize().x, rendered.getSize().y, sf::Color::Black);
        sfml::copyPixels(drawn, window, 0, 0, rendered.getSize().x, rendered.getSize().y);
        EXPECT_EQ(differingPixels(rendered, drawn), 0);
        // Blank pictures would match too: the frame's ink must be there.
        const int width = static_cast<int>(rendered.getSize().x);
        const int height = static_cast<int>(rendered.getSize().y);
        EXPECT_LT(countPixels(rendered, 0, 0, width, height, BLACK_PIXEL), width * height);
    }
}

} // namespace
} // namespace vt::test
