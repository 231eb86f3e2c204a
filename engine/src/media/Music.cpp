#include "vintrel/media/Music.h"

#include "media/SfmlCompat.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

Music::Music() : m_p_music(), m_is_open(false), m_label("[Undefined]") {}

Music::~Music() = default;

int Music::loadMusic(const std::string& file_name) {
    if (!m_p_music)
        m_p_music = std::make_unique<sf::Music>();
    m_is_open = sfml::openMusic(*m_p_music, file_name);
    return m_is_open ? 0 : -1;
}

void Music::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Music::play(): Playing music.");
    // A replay at full speed would only make noise.
    if (ReplayManager::getInstance().isUnthrottled())
        return;
    // A stream that never opened has nothing to play; SFML would only complain.
    if (!m_is_open)
        return;
    // Looping is set before the stream starts: its thread may reach the end
    // of a short piece at once and stop for good if the flag came later.
    sfml::setLooping(*m_p_music, loop);
    m_p_music->play();
}

void Music::stop() {
    LogManager::getInstance().writeLog(5, "Music::stop(): Stopping music.");
    if (m_p_music)
        m_p_music->stop();
}

void Music::unload() {
    m_p_music.reset();
    m_is_open = false;
}

bool Music::isPlaying() const {
    return m_p_music && m_p_music->getStatus() == sf::SoundSource::Status::Playing;
}

bool Music::isLooping() const { return m_p_music && sfml::isLooping(*m_p_music); }

} // namespace vt
