#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "vintrel/media/Sprite.h"

namespace vt::tools {

/// Largest sprite file the tool reads: far beyond any real sprite, and a
/// bound on what a stray file can make the tool allocate.
inline constexpr std::size_t MAX_SPRITE_FILE_BYTES = 16u << 20;

/// Reads one sprite file with the engine's own reader. A file that cannot
/// be read at all (missing, a directory, too large) gets one line on
/// standard error; one the reader refuses gets the reader's lines, with
/// their line numbers, and a closing line naming the file.
class SpriteFileLoader {
  public:
    /// The sprite the file holds, labelled with the file name; null after
    /// the lines that say why not.
    [[nodiscard]] static std::unique_ptr<Sprite> load(const std::string& path);
};

} // namespace vt::tools
