#include "SpritePicture.h"

#include <SFML/Graphics.hpp>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "SpriteCanvas.h"
#include "media/SfmlCompat.h"

namespace vt::tools {

namespace {

// PNG pictures past this side take gigabytes to build and few programs open them.
constexpr int MAX_PICTURE_SIDE = 16384;

// Every pixel made a scale x scale square, so that small sprites can be seen.
sf::Image enlarged(const sf::Image& image, unsigned scale) {
    if (scale == 1)
        return image;
    const auto size = image.getSize();
    sf::Image result = sfml::makeImage(size.x * scale, size.y * scale, sf::Color::Black);
    for (unsigned y = 0; y < size.y * scale; y++)
        for (unsigned x = 0; x < size.x * scale; x++)
            sfml::setPixel(result, x, y, sfml::pixelAt(image, x / scale, y / scale));
    return result;
}

} // namespace

std::string SpritePicture::whyUnwritable(const std::string& out_file) {
    namespace fs = std::filesystem;
    const fs::path path(out_file);
    if (path.extension() != ".png")
        return "the picture's file name must end in .png";
    std::error_code error;
    if (fs::is_directory(path, error))
        return "is a directory";
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    if (!fs::is_directory(folder, error))
        return "folder " + folder.string() + " is not there";
    if (::access(folder.c_str(), W_OK) != 0 || (fs::exists(path, error) && ::access(path.c_str(), W_OK) != 0))
        return "not writable";
    return "";
}

int SpritePicture::render(const Sprite& sprite, int frame_number, int scale, const std::string& font_file,
                          const std::string& out_file) {
    const std::string why = whyUnwritable(out_file);
    if (!why.empty()) {
        std::fprintf(stderr, "vintrel-sprite: %s: %s\n", out_file.c_str(), why.c_str());
        return -1;
    }
    if (frame_number >= sprite.getFrameCount()) {
        std::fprintf(stderr, "vintrel-sprite: %s has %d frames (0 to %d): no frame %d\n",
                     sprite.getLabel().c_str(), sprite.getFrameCount(), sprite.getFrameCount() - 1,
                     frame_number);
        return -1;
    }

    const int count = frame_number < 0 ? sprite.getFrameCount() : 1;
    const double picture_width = static_cast<double>(sprite.getWidth()) * count * scale * 12.8;
    const double picture_height =
        static_cast<double>(sprite.getHeight()) * scale * SpriteCanvas::CELL_PIXELS_HIGH;
    if (count < 1 || picture_width > MAX_PICTURE_SIDE || picture_height > MAX_PICTURE_SIDE) {
        std::fprintf(stderr,
                     "vintrel-sprite: %s: a picture of %.0f x %.0f pixels is too large (at most %d a side); "
                     "choose one --frame or a smaller --scale\n",
                     out_file.c_str(), picture_width, picture_height, MAX_PICTURE_SIDE);
        return -1;
    }

    SpriteCanvas canvas;
    if (canvas.open(sprite.getWidth(), sprite.getHeight(), font_file, "vintrel-sprite") != 0)
        return canvas.isDisplayMissing() ? 3 : -1;

    std::vector<sf::Image> frames;
    const int first = frame_number < 0 ? 0 : frame_number;
    const int last = frame_number < 0 ? sprite.getFrameCount() - 1 : frame_number;
    for (int i = first; i <= last; i++)
        frames.push_back(canvas.drawFrame(sprite, i));
    const unsigned frame_width = frames.front().getSize().x;
    const unsigned frame_height = frames.front().getSize().y;
    sf::Image strip =
        sfml::makeImage(frame_width * static_cast<unsigned>(frames.size()), frame_height, sf::Color::Black);
    for (std::size_t i = 0; i < frames.size(); i++)
        sfml::copyPixels(strip, frames[i], static_cast<unsigned>(i) * frame_width, 0, frame_width,
                         frame_height);

    if (!sfml::saveImage(enlarged(strip, static_cast<unsigned>(scale)), out_file)) {
        std::fprintf(stderr, "vintrel-sprite: %s: the picture could not be written\n", out_file.c_str());
        return -1;
    }
    return 0;
}

} // namespace vt::tools
