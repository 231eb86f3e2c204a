#include "SpritePlayer.h"

#include <SFML/Graphics.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "SpriteCanvas.h"
#include "SpriteFileLoader.h"
#include "media/SfmlCompat.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::tools {

namespace {

// The game's default step, so that slowdowns play at the game's pace.
constexpr auto STEP = std::chrono::milliseconds(33);
// A file being saved is looked at again this often, not every step.
constexpr int STEPS_BETWEEN_FILE_LOOKS = 8;
// Room around the frame, so that a sprite that grows a little still fits.
constexpr int MARGIN_CELLS = 2;

// What tells a file's change: its time of last writing and its size.
struct FileStamp {
    std::filesystem::file_time_type time{};
    std::uintmax_t size = 0;
    bool operator!=(const FileStamp& other) const { return time != other.time || size != other.size; }
};

FileStamp stampOf(const std::string& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.time = std::filesystem::last_write_time(path, error);
    stamp.size = std::filesystem::file_size(path, error);
    return stamp;
}

// True when Q, Escape or the window's close button asked to stop.
bool askedToStop(sf::RenderWindow& window) {
    while (const std::optional<sf::Event> event = sfml::pollEvent(window)) {
        const sfml::InputEvent described = sfml::describeEvent(*event);
        if (described.kind == sfml::InputEvent::Kind::Closed)
            return true;
        if (described.kind == sfml::InputEvent::Kind::KeyPressed &&
            (described.key == sf::Keyboard::Key::Q || described.key == sf::Keyboard::Key::Escape))
            return true;
    }
    return false;
}

} // namespace

int SpritePlayer::play(const std::string& sprite_file, const std::string& font_file) {
    std::unique_ptr<Sprite> p_sprite = SpriteFileLoader::load(sprite_file);
    if (!p_sprite)
        return -1;
    FileStamp stamp = stampOf(sprite_file);

    SpriteCanvas canvas;
    if (canvas.open(p_sprite->getWidth() + 2 * MARGIN_CELLS, p_sprite->getHeight() + 2 * MARGIN_CELLS,
                    font_file, "vintrel-sprite") != 0)
        return canvas.isDisplayMissing() ? 3 : -1;
    const Vector centre(static_cast<float>(canvas.getColumns() - 1) * 0.5f,
                        static_cast<float>(canvas.getRows() - 1) * 0.5f);

    DisplayManager& display_manager = DisplayManager::getInstance();
    Animation animation;
    animation.setSprite(p_sprite.get());
    for (int step = 1; !askedToStop(*display_manager.getWindow()); step++) {
        if (step % STEPS_BETWEEN_FILE_LOOKS == 0 && stampOf(sprite_file) != stamp) {
            stamp = stampOf(sprite_file);
            std::unique_ptr<Sprite> p_new = SpriteFileLoader::load(sprite_file);
            if (p_new) {
                const int index = animation.getIndex();
                animation.setSprite(p_new.get());
                if (index < p_new->getFrameCount())
                    animation.setIndex(index);
                p_sprite = std::move(p_new);
                std::fprintf(stderr, "vintrel-sprite: %s: reloaded\n", sprite_file.c_str());
            } else {
                std::fprintf(stderr, "vintrel-sprite: %s: keeps showing the last sprite that loaded\n",
                             sprite_file.c_str());
            }
        }
        animation.draw(centre);
        display_manager.presentFrame();
        std::this_thread::sleep_for(STEP);
    }
    return 0;
}

} // namespace vt::tools
