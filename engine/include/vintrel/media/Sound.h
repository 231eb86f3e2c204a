#pragma once

#include <memory>
#include <string>

namespace sf {
class Sound;
class SoundBuffer;
} // namespace sf

namespace vt {

/// A short sound effect decoded into memory, played on demand. Held by the
/// resource manager and found by label.
class Sound {
  public:
    Sound();
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    /// Decodes the file (relative to the working directory); 0, or -1 when it cannot be loaded.
    int loadSound(const std::string& file_name);
    void setLabel(const std::string& label) { m_label = label; }
    /// "[Undefined]" until set.
    std::string getLabel() const { return m_label; }

    /// Starts the sound from the beginning, repeating when loop is true. A
    /// sound that never loaded plays nothing.
    void play(bool loop = false);
    void stop();
    /// Frees the samples and the player; nothing plays until loaded again.
    void unload();

    /// True while the sound is being played.
    [[nodiscard]] bool isPlaying() const;
    /// True when the sound repeats.
    [[nodiscard]] bool isLooping() const;
    /// True once samples have been loaded.
    [[nodiscard]] bool isLoaded() const { return m_p_sound != nullptr; }

  private:
    // The player is declared after the buffer so that it is destroyed first.
    std::unique_ptr<sf::SoundBuffer> m_p_buffer;
    std::unique_ptr<sf::Sound> m_p_sound;
    std::string m_label;
};

} // namespace vt
