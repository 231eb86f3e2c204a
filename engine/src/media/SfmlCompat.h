#pragma once

// The one place that hides the differences between SFML 3 and SFML 2.5.
// Engine sources call these instead of the version-specific SFML functions.

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Config.hpp>

#include <string>

#if SFML_VERSION_MAJOR >= 3
#include <filesystem>
#endif

namespace vt::sfml {

/// Decodes a whole audio file into the buffer; false when it cannot be read.
inline bool loadSoundBuffer(sf::SoundBuffer& buffer, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return buffer.loadFromFile(std::filesystem::path(file_name));
#else
    return buffer.loadFromFile(file_name);
#endif
}

/// Opens an audio file for streaming; false when it cannot be opened.
inline bool openMusic(sf::Music& music, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return music.openFromFile(std::filesystem::path(file_name));
#else
    return music.openFromFile(file_name);
#endif
}

/// Makes a sound repeat from the start when it ends.
inline void setLooping(sf::Sound& sound, bool loop) {
#if SFML_VERSION_MAJOR >= 3
    sound.setLooping(loop);
#else
    sound.setLoop(loop);
#endif
}

/// Makes a stream repeat from the start when it ends.
inline void setLooping(sf::SoundStream& stream, bool loop) {
#if SFML_VERSION_MAJOR >= 3
    stream.setLooping(loop);
#else
    stream.setLoop(loop);
#endif
}

/// Whether a sound repeats.
inline bool isLooping(const sf::Sound& sound) {
#if SFML_VERSION_MAJOR >= 3
    return sound.isLooping();
#else
    return sound.getLoop();
#endif
}

/// Whether a stream repeats.
inline bool isLooping(const sf::SoundStream& stream) {
#if SFML_VERSION_MAJOR >= 3
    return stream.isLooping();
#else
    return stream.getLoop();
#endif
}

} // namespace vt::sfml
