#include "splash/SplashArt.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "vintrel/media/Frame.h"

namespace vt::splash_art {

namespace {

// The art of a frame reads as it shows, one row a line from the line after
// the opening quote. Rows are written without their trailing blanks; each is
// filled out to the full width here, and missing rows become blank rows.
Frame makeFrame(int width, int height, const std::string& art) {
    std::string text;
    text.reserve(static_cast<std::size_t>(width * height));
    std::size_t at = !art.empty() && art[0] == '\n' ? 1 : 0;
    int row_count = 0;
    for (; row_count < height && at < art.size(); row_count++) {
        const std::size_t end = std::min(art.find('\n', at), art.size());
        std::string line = art.substr(at, end - at);
        line.resize(static_cast<std::size_t>(width), ' ');
        text += line;
        at = end + 1;
    }
    for (; row_count < height; row_count++)
        text.append(static_cast<std::size_t>(width), ' ');
    return Frame(width, height, text);
}

// A sprite of the frames' art, in order.
std::unique_ptr<Sprite> makeSprite(int width, int height, Color color, int slowdown, const std::string& label,
                                   std::initializer_list<const char*> frames) {
    auto p_sprite = std::make_unique<Sprite>(static_cast<int>(frames.size()));
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setColor(color);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setLabel(label);
    for (const char* art : frames)
        p_sprite->pushFrame(makeFrame(width, height, art));
    return p_sprite;
}

} // namespace

std::unique_ptr<Sprite> makeBanner() {
    return makeSprite(47, 8, GREEN, 1, "splash",
                      {R"(

 __      __ _         _                  _
 \ \    / /|_|       | |                | |
  \ \  / /  _  _ __  | |_   _ __   ___  | |
   \ \/ /  | || `_ \ | __| | `__| / _ \ | |
    \  /   | || | | || |_  | |   |  __/ | |
     \/    |_||_| |_| \__| |_|    \___| |_|
)",
                       R"(

     __    __ _         _                  _
    / /  / //_/       / /                / /
   / / / /  _  _ __  / /_   _ __   ___  / /
  / // /  / // `_ \ / __/ / `__/ / _ \ / /
 /   /   / // / / // /_  / /   /  __/ / /
/__/    /_//_/ /_/ \__/ /_/    \___/ /_/
)"});
}

std::unique_ptr<Sprite> makeFlying() {
    return makeSprite(11, 7, BLUE, 2, "splash-vintrel",
                      {R"(
##       ##
  ##(O)##
   #\|/#
 ##  |  ##
##   |   ##
     |
     |
)",
                       R"(

####(O)####
   #\|/#
  ## | ##
 ##  |  ##
     |
     |
)"});
}

std::unique_ptr<Sprite> makeResting() {
    return makeSprite(9, 6, GREEN, 1, "splash-vintrel-resting", {R"(
_       _
 _-(O)-_
  _\|/_
   -|-
   -|-
____/
)"});
}

} // namespace vt::splash_art
