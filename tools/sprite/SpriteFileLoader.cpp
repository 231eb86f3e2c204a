#include "SpriteFileLoader.h"

#include <cstdio>
#include <sstream>

#include "media/SpriteReader.h"
#include "platform/BoundedFileRead.h"

namespace vt::tools {

std::unique_ptr<Sprite> SpriteFileLoader::load(const std::string& path) {
    std::string text;
    std::string reason;
    switch (platform::readRegularFile(path, MAX_SPRITE_FILE_BYTES, &text, &reason)) {
    case platform::FileRead::OK:
        break;
    case platform::FileRead::ABSENT:
        std::fprintf(stderr, "vintrel-sprite: %s: no such file\n", path.c_str());
        return nullptr;
    case platform::FileRead::NOT_REGULAR:
        std::fprintf(stderr, "vintrel-sprite: %s: not a regular file (a directory or device)\n",
                     path.c_str());
        return nullptr;
    case platform::FileRead::UNREADABLE:
        std::fprintf(stderr, "vintrel-sprite: %s: cannot be read: %s\n", path.c_str(), reason.c_str());
        return nullptr;
    case platform::FileRead::TOO_LARGE:
        std::fprintf(stderr, "vintrel-sprite: %s: larger than %zu bytes, not a sprite file\n", path.c_str(),
                     MAX_SPRITE_FILE_BYTES);
        return nullptr;
    }

    // The engine's log writes to standard error while it is not started,
    // so the reader's own messages reach the user as the game would log them.
    std::istringstream stream(text);
    SpriteReader reader(stream);
    std::unique_ptr<Sprite> p_sprite = reader.readSprite();
    if (!p_sprite) {
        std::fprintf(stderr, "vintrel-sprite: %s: not loaded (see the lines above)\n", path.c_str());
        return nullptr;
    }
    p_sprite->setLabel(path);
    return p_sprite;
}

} // namespace vt::tools
