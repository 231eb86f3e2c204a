#include "vintrel/media/Sound.h"

#include "media/SfmlCompat.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

Sound::Sound() : m_p_buffer(), m_p_sound(), m_label("[Undefined]") {}

Sound::~Sound() = default;

int Sound::loadSound(const std::string& file_name) {
    if (!m_p_buffer)
        m_p_buffer = std::make_unique<sf::SoundBuffer>();
    if (!sfml::loadSoundBuffer(*m_p_buffer, file_name))
        return -1;
    if (m_p_sound)
        m_p_sound->setBuffer(*m_p_buffer);
    else
        m_p_sound = std::make_unique<sf::Sound>(*m_p_buffer);
    return 0;
}

void Sound::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Sound::play(): Playing sound.");
    // A replay at full speed would only make noise.
    if (ReplayManager::getInstance().isUnthrottled())
        return;
    if (!m_p_sound)
        return;
    sfml::setLooping(*m_p_sound, loop);
    m_p_sound->play();
}

void Sound::stop() {
    if (m_p_sound)
        m_p_sound->stop();
}

void Sound::unload() {
    m_p_sound.reset();
    m_p_buffer.reset();
}

bool Sound::isPlaying() const {
    return m_p_sound && m_p_sound->getStatus() == sf::SoundSource::Status::Playing;
}

bool Sound::isLooping() const { return m_p_sound && sfml::isLooping(*m_p_sound); }

} // namespace vt
