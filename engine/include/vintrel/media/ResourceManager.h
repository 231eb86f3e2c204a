#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "vintrel/core/Manager.h"
#include "vintrel/media/Music.h"
#include "vintrel/media/Sound.h"
#include "vintrel/media/Sprite.h"

namespace vt {

/// Most sprites the resource manager holds.
constexpr int MAX_SPRITES = 1000;
/// Most sound effects the resource manager holds.
constexpr int MAX_SOUNDS = 100;
/// Most music pieces the resource manager holds.
constexpr int MAX_MUSICS = 50;

/// Loads sprites, sounds and music once and hands them out by label. Owns
/// everything it loads; nothing is unloaded before shut-down.
class ResourceManager : public Manager {
  public:
    /// The one resource manager, made on first use.
    static ResourceManager& getInstance();
    ~ResourceManager() override;
    /// Empties the tables; -1 when already started.
    int startUp() override;
    /// Destroys every sprite and stops every sound and music.
    void shutDown() override;

    /// Reads a sprite file (relative to the working directory) in either
    /// format and stores the sprite under label; 0 or -1.
    int loadSprite(const std::string& filename, const std::string& label);
    /// The first sprite loaded with the label, or null.
    Sprite* getSprite(const std::string& label) const;

    /// Decodes a sound file and stores it under label (which may be empty); 0 or -1.
    int loadSound(const std::string& filename, const std::string& label);
    /// The first sound loaded with the label, or null.
    Sound* getSound(const std::string& label);

    /// Opens a music file for streaming and stores it under label (not empty); 0 or -1.
    int loadMusic(const std::string& filename, const std::string& label);
    /// The first music loaded with the label, or null.
    Music* getMusic(const std::string& label);

    /// Reads again each loaded sprite file that changed on disk (its time or
    /// size) since it was read, looking at most once a second; the game loop
    /// calls it every step when `sprite_reload` is on, and not while a run
    /// is recorded or replayed. A sprite that reloads keeps its address, so
    /// objects show its new frames; one that no longer loads keeps its
    /// frames, after the reader's lines and one line naming file and line.
    /// Returns the sprites reloaded.
    int reloadChangedSprites();
    /// The last reload that failed ("player-spr.txt line 7: not reloaded"),
    /// until that file reloads; empty when none did.
    [[nodiscard]] const std::string& getSpriteReloadProblem() const { return m_reload_problem; }

    /// Number of sprites loaded.
    int getSpriteCount() const { return m_sprite_count; }
    /// Number of sounds loaded.
    int getSoundCount() const { return m_sound_count; }
    /// Number of pieces of music loaded.
    int getMusicCount() const { return m_music_count; }

  private:
    ResourceManager();
    /// True, after logging, when the manager is not started.
    bool refuseUnlessStarted() const;

    std::array<std::unique_ptr<Sprite>, MAX_SPRITES> m_sprites;
    int m_sprite_count;
    // Where each sprite came from, and the file's time and size when read.
    struct SpriteSource {
        std::string filename;
        std::filesystem::file_time_type written{};
        std::uintmax_t size = 0;
    };
    std::array<SpriteSource, MAX_SPRITES> m_sprite_sources;
    // Steady-clock time of the last look for changed files, in milliseconds.
    std::int64_t m_last_reload_look_ms = 0;
    std::string m_reload_problem;
    // Reads one sprite file into a new sprite; null after the reader's lines.
    static std::unique_ptr<Sprite> readSpriteFile(const std::string& filename, int* p_failed_line);
    static SpriteSource sourceOf(const std::string& filename);
    std::array<Sound, MAX_SOUNDS> m_sounds;
    int m_sound_count;
    std::array<Music, MAX_MUSICS> m_musics;
    int m_music_count;
};

} // namespace vt
