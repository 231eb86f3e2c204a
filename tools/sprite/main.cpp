// vintrel-sprite: checks, renders and shows sprite files with the engine's
// own reader and display.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SpriteFileLoader.h"
#include "SpritePicture.h"
#include "SpritePlayer.h"

namespace {

// Exit codes: what a script calling the tool tells apart.
constexpr int EXIT_OK = 0;
constexpr int EXIT_REFUSED = 1; // a file that does not load, a picture not written
constexpr int EXIT_USAGE = 2;   // a command or flag the tool does not take
constexpr int EXIT_NO_DISPLAY = 3;

const char* const USAGE =
    "usage: vintrel-sprite check FILE...\n"
    "       vintrel-sprite render FILE OUT.png [--frame N] [--scale K] [--font FONT.ttf]\n"
    "       vintrel-sprite show FILE [--font FONT.ttf]\n";

int usageError(const std::string& why) {
    std::fprintf(stderr, "vintrel-sprite: %s\n%s", why.c_str(), USAGE);
    return EXIT_USAGE;
}

// A whole number from lowest to highest, or false.
bool parseNumber(const std::string& text, int lowest, int highest, int& number) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::stoi(text);
    return number >= lowest && number <= highest;
}

// The font the game draws with: vt-font.ttf in the working directory, else
// the one this build was made with.
std::string defaultFont() {
    std::error_code error;
    if (std::filesystem::is_regular_file("vt-font.ttf", error))
        return "vt-font.ttf";
    return VINTREL_TOOL_FONT;
}

// The engine's settings text holds the font's name: no blanks or commas.
bool usableFont(const std::string& font) {
    std::error_code error;
    if (font.empty() || !std::filesystem::is_regular_file(font, error)) {
        std::fprintf(stderr, "vintrel-sprite: font '%s' not found; give one with --font FONT.ttf\n",
                     font.c_str());
        return false;
    }
    if (font.find_first_of(", \t\n") != std::string::npos) {
        std::fprintf(stderr, "vintrel-sprite: font '%s': a font's name may hold no blanks or commas\n",
                     font.c_str());
        return false;
    }
    return true;
}

int check(const std::vector<std::string>& files) {
    if (files.empty())
        return usageError("check needs at least one FILE");
    int failed = 0;
    for (const std::string& file : files) {
        if (std::unique_ptr<vt::Sprite> p_sprite = vt::tools::SpriteFileLoader::load(file))
            std::printf("%s: %d frames of %d x %d, slowdown %d\n", file.c_str(), p_sprite->getFrameCount(),
                        p_sprite->getWidth(), p_sprite->getHeight(), p_sprite->getSlowdown());
        else
            failed++;
    }
    return failed == 0 ? EXIT_OK : EXIT_REFUSED;
}

// What render and show take after their files.
struct Flags {
    int frame = -1;
    int scale = 1;
    std::string font;
};

// Reads the flags from arguments[first] on; empty, or why not.
std::string parseFlags(const std::vector<std::string>& arguments, std::size_t first, bool for_render,
                       Flags& flags) {
    for (std::size_t i = first; i < arguments.size(); i += 2) {
        const std::string& flag = arguments[i];
        if (i + 1 >= arguments.size())
            return flag + " needs a value";
        const std::string& value = arguments[i + 1];
        if (flag == "--font")
            flags.font = value;
        else if (for_render && flag == "--frame") {
            if (!parseNumber(value, 0, 999999, flags.frame))
                return "--frame takes a frame number from 0, not '" + value + "'";
        } else if (for_render && flag == "--scale") {
            if (!parseNumber(value, 1, vt::tools::SpritePicture::MAX_SCALE, flags.scale))
                return "--scale takes a whole factor from 1 to " +
                       std::to_string(vt::tools::SpritePicture::MAX_SCALE) + ", not '" + value + "'";
        } else {
            return "unknown flag '" + flag + "'";
        }
    }
    if (flags.font.empty())
        flags.font = defaultFont();
    return "";
}

int exitCodeOf(int result) {
    if (result == 0)
        return EXIT_OK;
    return result == EXIT_NO_DISPLAY ? EXIT_NO_DISPLAY : EXIT_REFUSED;
}

int render(const std::vector<std::string>& arguments) {
    if (arguments.size() < 3)
        return usageError("render needs FILE and OUT.png");
    Flags flags;
    const std::string why = parseFlags(arguments, 3, true, flags);
    if (!why.empty())
        return usageError(why);
    const std::string unwritable = vt::tools::SpritePicture::whyUnwritable(arguments[2]);
    if (!unwritable.empty()) {
        std::fprintf(stderr, "vintrel-sprite: %s: %s\n", arguments[2].c_str(), unwritable.c_str());
        return EXIT_REFUSED;
    }
    if (!usableFont(flags.font))
        return EXIT_REFUSED;
    std::unique_ptr<vt::Sprite> p_sprite = vt::tools::SpriteFileLoader::load(arguments[1]);
    if (!p_sprite)
        return EXIT_REFUSED;
    return exitCodeOf(
        vt::tools::SpritePicture::render(*p_sprite, flags.frame, flags.scale, flags.font, arguments[2]));
}

int show(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2)
        return usageError("show needs FILE");
    Flags flags;
    const std::string why = parseFlags(arguments, 2, false, flags);
    if (!why.empty())
        return usageError(why);
    if (!usableFont(flags.font))
        return EXIT_REFUSED;
    return exitCodeOf(vt::tools::SpritePlayer::play(arguments[1], flags.font));
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return usageError("no command");
    const std::string& command = arguments[0];
    if (command == "check")
        return check(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    if (command == "render")
        return render(arguments);
    if (command == "show")
        return show(arguments);
    if (command == "--help" || command == "-h") {
        std::printf("%s", USAGE);
        return EXIT_OK;
    }
    return usageError("unknown command '" + command + "'");
}
