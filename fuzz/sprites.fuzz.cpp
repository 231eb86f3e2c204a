// Feeds arbitrary bytes to the sprite file readers, as loadSprite would
// after opening a file: the format is chosen from the first line, then the
// simple or the robust reader runs. The readers need no manager, only the
// log. Any sprite that comes back must keep the promise drawing relies on:
// every frame holds width x height characters, bytes when they are ASCII and
// Unicode characters of well-formed UTF-8 otherwise.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "QuietLog.h"
#include "media/SpriteReader.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/media/Sprite.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vt::fuzz::startQuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    vt::SpriteReader reader(stream);
    const std::unique_ptr<vt::Sprite> p_sprite = reader.readSprite();
    if (!p_sprite)
        return 0;

    const long long cells = static_cast<long long>(p_sprite->getWidth()) * p_sprite->getHeight();
    if (p_sprite->getWidth() < 1 || p_sprite->getHeight() < 1 || p_sprite->getFrameCount() < 1 ||
        p_sprite->getFrameCount() != p_sprite->getMaxFrameCount())
        __builtin_trap();
    for (int i = 0; i < p_sprite->getFrameCount(); i++) {
        const vt::Frame frame = p_sprite->getFrame(i);
        // A frame of Unicode characters holds width x height of them, and its
        // text is their well-formed UTF-8; a frame of bytes is ASCII.
        const std::u32string& code_points = frame.getCells();
        const std::string& text = frame.getString();
        const bool ascii = std::all_of(text.begin(), text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        const long long held = static_cast<long long>(code_points.empty() ? text.size() : code_points.size());
        if (held != cells || frame.getWidth() != p_sprite->getWidth() ||
            frame.getHeight() != p_sprite->getHeight() || code_points.empty() != ascii ||
            vt::findInvalidUtf8(text) != std::string::npos ||
            vt::encodeUtf8(code_points).size() != (code_points.empty() ? 0 : text.size()))
            __builtin_trap();
    }
    return 0;
}
