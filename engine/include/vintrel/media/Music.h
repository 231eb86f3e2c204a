#pragma once

#include <memory>
#include <string>

namespace sf {
class Music;
} // namespace sf

namespace vt {

/// A long piece of music streamed from its file while it plays. Held by the
/// resource manager and found by label.
class Music {
  public:
    Music();
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    /// Opens the file (relative to the working directory) for streaming; 0 or -1.
    int loadMusic(const std::string& file_name);
    void setLabel(const std::string& label) { m_label = label; }
    /// "[Undefined]" until set.
    std::string getLabel() const { return m_label; }

    /// Starts or resumes the stream, repeating it when loop is true.
    void play(bool loop = true);
    /// Stops the stream and rewinds it.
    void stop();
    /// Closes the stream; nothing plays until a file is loaded again.
    void unload();

    /// True while the stream is being played.
    [[nodiscard]] bool isPlaying() const;
    /// True when the stream repeats.
    [[nodiscard]] bool isLooping() const;

  private:
    // Made when a file is opened, so that unused records hold no audio source.
    std::unique_ptr<sf::Music> m_p_music;
    bool m_is_open;
    std::string m_label;
};

} // namespace vt
