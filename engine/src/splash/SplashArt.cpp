#include "splash/SplashArt.h"

#include <initializer_list>
#include <string>

#include "vintrel/media/Frame.h"

namespace vt::splash_art {

namespace {

// Rows are written without their trailing blanks; each is filled out to
// the full width here, and missing rows become blank rows.
Frame makeFrame(int width, int height, std::initializer_list<const char*> rows) {
    std::string text;
    text.reserve(static_cast<std::size_t>(width * height));
    int row_count = 0;
    for (const char* row : rows) {
        if (row_count == height)
            break;
        std::string line(row);
        line.resize(static_cast<std::size_t>(width), ' ');
        text += line;
        row_count++;
    }
    for (; row_count < height; row_count++)
        text.append(static_cast<std::size_t>(width), ' ');
    return Frame(width, height, text);
}

std::unique_ptr<Sprite> makeSprite(int width, int height, int frames, Color color, int slowdown,
                                   const std::string& label) {
    auto p_sprite = std::make_unique<Sprite>(frames);
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setColor(color);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setLabel(label);
    return p_sprite;
}

constexpr int BANNER_WIDTH = 47;
constexpr int BANNER_HEIGHT = 8;

} // namespace

std::unique_ptr<Sprite> makeBanner() {
    auto p_sprite = makeSprite(BANNER_WIDTH, BANNER_HEIGHT, 2, GREEN, 1, "splash");
    p_sprite->pushFrame(makeFrame(BANNER_WIDTH, BANNER_HEIGHT,
                                  {
                                      "",
                                      " __      __ _         _                  _",
                                      " \\ \\    / /|_|       | |                | |",
                                      "  \\ \\  / /  _  _ __  | |_   _ __   ___  | |",
                                      "   \\ \\/ /  | || `_ \\ | __| | `__| / _ \\ | |",
                                      "    \\  /   | || | | || |_  | |   |  __/ | |",
                                      "     \\/    |_||_| |_| \\__| |_|    \\___| |_|",
                                  }));
    p_sprite->pushFrame(makeFrame(BANNER_WIDTH, BANNER_HEIGHT,
                                  {
                                      "",
                                      "     __    __ _         _                  _",
                                      "    / /  / //_/       / /                / /",
                                      "   / / / /  _  _ __  / /_   _ __   ___  / /",
                                      "  / // /  / // `_ \\ / __/ / `__/ / _ \\ / /",
                                      " /   /   / // / / // /_  / /   /  __/ / /",
                                      "/__/    /_//_/ /_/ \\__/ /_/    \\___/ /_/",
                                  }));
    return p_sprite;
}

std::unique_ptr<Sprite> makeFlying() {
    auto p_sprite = makeSprite(11, 7, 2, BLUE, 2, "splash-vintrel");
    p_sprite->pushFrame(makeFrame(11, 7,
                                  {
                                      "##       ##",
                                      "  ##(O)##",
                                      "   #\\|/#",
                                      " ##  |  ##",
                                      "##   |   ##",
                                      "     |",
                                      "     |",
                                  }));
    p_sprite->pushFrame(makeFrame(11, 7,
                                  {
                                      "",
                                      "####(O)####",
                                      "   #\\|/#",
                                      "  ## | ##",
                                      " ##  |  ##",
                                      "     |",
                                      "     |",
                                  }));
    return p_sprite;
}

std::unique_ptr<Sprite> makeResting() {
    auto p_sprite = makeSprite(9, 6, 1, GREEN, 1, "splash-vintrel-resting");
    p_sprite->pushFrame(makeFrame(9, 6,
                                  {
                                      "_       _",
                                      " _-(O)-_",
                                      "  _\\|/_",
                                      "   -|-",
                                      "   -|-",
                                      "____/",
                                  }));
    return p_sprite;
}

} // namespace vt::splash_art
