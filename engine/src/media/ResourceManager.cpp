#include "vintrel/media/ResourceManager.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>

#include "media/SpriteReader.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/DataFile.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/core/Utf8.h"

namespace vt {

namespace {

// Changed sprite files are looked for no more often than this.
constexpr std::int64_t RELOAD_LOOK_MS = 1000;

/// The first of the count entries at(0) .. at(count - 1) whose label is
/// label, or null after a warning. Messages name the lookup operation and
/// the kind of resource.
template <typename At>
auto findByLabel(const std::string& label, int count, At at, const char* operation, const char* kind,
                 const char* kind_title) -> decltype(at(0)) {
    LogManager& lm = LogManager::getInstance();
    lm.writeLog(5, "RM::%s(): Looking for %s '%s'.", operation, kind, label.c_str());
    for (int i = 0; i < count; i++) {
        if (at(i)->getLabel() == label)
            return at(i);
    }
    lm.writeLog("RM::%s(): Warning! %s '%s' not found.", operation, kind_title, label.c_str());
    return nullptr;
}

} // namespace

ResourceManager::ResourceManager() : m_sprites(), m_sprite_count(0), m_sound_count(0), m_music_count(0) {
    setType("ResourceManager");
}

ResourceManager::~ResourceManager() = default;

ResourceManager& ResourceManager::getInstance() {
    static ResourceManager resource_manager;
    return resource_manager;
}

int ResourceManager::startUp() {
    LogManager& lm = LogManager::getInstance();
    if (refuseSecondStart())
        return -1;
    m_sprite_count = 0;
    m_sound_count = 0;
    m_music_count = 0;
    Manager::startUp();
    lm.writeLog(5, "RM::startUp(): successfully started.");
    return 0;
}

void ResourceManager::shutDown() {
    for (int i = 0; i < m_sprite_count; i++) {
        m_sprites[static_cast<std::size_t>(i)].reset();
        m_sprite_sources[static_cast<std::size_t>(i)] = SpriteSource();
    }
    m_sprite_count = 0;
    m_reload_problem.clear();
    // Audio is released now, not at program exit: by then the audio
    // library's error stream may be gone, and a sound that fails to close
    // (no audio device) would write into freed memory.
    for (int i = 0; i < m_sound_count; i++) {
        m_sounds[static_cast<std::size_t>(i)].stop();
        m_sounds[static_cast<std::size_t>(i)].unload();
    }
    for (int i = 0; i < m_music_count; i++) {
        m_musics[static_cast<std::size_t>(i)].stop();
        m_musics[static_cast<std::size_t>(i)].unload();
    }
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "RM::shutDown(): successfully stopped.");
}

bool ResourceManager::refuseUnlessStarted() const {
    if (isStarted())
        return false;
    LogManager::getInstance().writeLog("%s not started!", getType().c_str());
    return true;
}

int ResourceManager::loadSprite(const std::string& filename, const std::string& label) {
    LogManager& lm = LogManager::getInstance();
    if (refuseUnlessStarted())
        return -1;
    if (m_sprite_count == MAX_SPRITES) {
        lm.writeLog("RM::loadRobustSprite(): Error! Cannot add more Sprites (max is %d).", MAX_SPRITES);
        lm.writeLog("RM::loadRobustSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }
    lm.writeLog(1, "RM::loadSprite(): Loading sprite '%s'.", filename.c_str());

    // Only regular files: a device or pipe could stream without end, and the
    // reader must go back to the start after choosing the format.
    const std::string path = findDataFile(filename);
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, error))
        file.open(path);
    if (!file.is_open()) {
        lm.writeLog("RM::loadSprite(): Error! Cannot open file '%s'.", filename.c_str());
        lm.writeLog("RM::loadSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }

    SpriteReader reader(file);
    std::unique_ptr<Sprite> p_sprite = reader.readSprite();
    if (!p_sprite) {
        lm.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
        return -1;
    }

    p_sprite->setLabel(label);
    if (lm.getLogLevel() >= 15) {
        lm.writeLog(15, "RM::loadSprite(): Sprite '%s' frames:", label.c_str());
        const std::size_t width = static_cast<std::size_t>(p_sprite->getWidth());
        for (int i = 0; i < p_sprite->getFrameCount(); i++) {
            lm.writeLog(15, "\tFrame %d:", i + 1);
            const Frame frame = p_sprite->getFrame(i);
            const std::string& frame_str = frame.getString();
            const std::u32string& cells = frame.getCells();
            // Rows of Unicode characters are cut by characters, not bytes.
            const std::size_t length = cells.empty() ? frame_str.size() : cells.size();
            for (std::size_t start = 0; width > 0 && start < length; start += width)
                lm.writeLog(15, "\t%s",
                            cells.empty() ? frame_str.substr(start, width).c_str()
                                          : encodeUtf8(cells.substr(start, width)).c_str());
        }
    }
    m_sprites[static_cast<std::size_t>(m_sprite_count)] = std::move(p_sprite);
    // Only a game that reloads sprites looks at the file again.
    if (Config::getInstance().getSettingNumber("sprite_reload") != 0)
        m_sprite_sources[static_cast<std::size_t>(m_sprite_count)] = sourceOf(filename);
    m_sprite_count++;
    lm.writeLog(5, "RM::loadSprite(): Sprite '%s' loaded.", label.c_str());
    return 0;
}

ResourceManager::SpriteSource ResourceManager::sourceOf(const std::string& filename) {
    std::error_code error;
    SpriteSource source;
    source.filename = filename;
    source.written = std::filesystem::last_write_time(filename, error);
    source.size = std::filesystem::file_size(filename, error);
    if (error)
        source.size = 0;
    return source;
}

std::unique_ptr<Sprite> ResourceManager::readSpriteFile(const std::string& filename, int* p_failed_line) {
    *p_failed_line = 0;
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(filename, error))
        file.open(filename);
    if (!file.is_open())
        return nullptr;
    SpriteReader reader(file);
    std::unique_ptr<Sprite> p_sprite = reader.readSprite();
    if (!p_sprite)
        *p_failed_line = reader.getLineNumber();
    return p_sprite;
}

int ResourceManager::reloadChangedSprites() {
    const std::int64_t now_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
    if (!isStarted() || now_ms - m_last_reload_look_ms < RELOAD_LOOK_MS)
        return 0;
    m_last_reload_look_ms = now_ms;

    LogManager& lm = LogManager::getInstance();
    int reloaded = 0;
    for (int i = 0; i < m_sprite_count; i++) {
        SpriteSource& source = m_sprite_sources[static_cast<std::size_t>(i)];
        if (source.filename.empty())
            continue;
        const SpriteSource now = sourceOf(source.filename);
        if (now.written == source.written && now.size == source.size)
            continue;
        source = now;
        Sprite& sprite = *m_sprites[static_cast<std::size_t>(i)];
        int failed_line = 0;
        std::unique_ptr<Sprite> p_new = readSpriteFile(source.filename, &failed_line);
        if (!p_new) {
            // Line 0: the file could not be opened (an editor may be
            // replacing it); the next change is looked at as usual.
            m_reload_problem = clipForLog(source.filename) + " line " + std::to_string(failed_line) +
                               ": sprite '" + clipForLog(sprite.getLabel()) + "' not reloaded";
            lm.writeLog(
                "RM::reloadChangedSprites(): Error! File '%s' line %d: sprite '%s' not reloaded; it keeps "
                "its frames.",
                clipForLog(source.filename).c_str(), failed_line, clipForLog(sprite.getLabel()).c_str());
            continue;
        }
        sprite.takeFramesOf(*p_new);
        if (m_reload_problem.rfind(clipForLog(source.filename) + " line ", 0) == 0)
            m_reload_problem.clear();
        lm.writeLog("RM::reloadChangedSprites(): Sprite '%s' reloaded from '%s'.",
                    clipForLog(sprite.getLabel()).c_str(), clipForLog(source.filename).c_str());
        reloaded++;
    }
    return reloaded;
}

Sprite* ResourceManager::getSprite(const std::string& label) const {
    return findByLabel(
        label, m_sprite_count, [this](int i) { return m_sprites[static_cast<std::size_t>(i)].get(); },
        "getSprite", "sprite", "Sprite");
}

int ResourceManager::loadSound(const std::string& filename, const std::string& label) {
    LogManager& lm = LogManager::getInstance();
    if (refuseUnlessStarted())
        return -1;
    if (m_sound_count == MAX_SOUNDS) {
        lm.writeLog("RM::loadSound(): Error! Unable to add more sounds (max is %d).", MAX_SOUNDS);
        return -1;
    }
    Sound& sound = m_sounds[static_cast<std::size_t>(m_sound_count)];
    if (sound.loadSound(findDataFile(filename)) != 0) {
        lm.writeLog("RM::loadSound(): Error! Cannot load sound from file '%s'.", filename.c_str());
        return -1;
    }
    sound.setLabel(label);
    lm.writeLog(1, "RM::loadSound(): Sound '%s' successfully loaded.", sound.getLabel().c_str());
    m_sound_count++;
    return 0;
}

Sound* ResourceManager::getSound(const std::string& label) {
    return findByLabel(
        label, m_sound_count, [this](int i) { return &m_sounds[static_cast<std::size_t>(i)]; }, "getSound",
        "sound", "Sound");
}

int ResourceManager::loadMusic(const std::string& filename, const std::string& label) {
    LogManager& lm = LogManager::getInstance();
    if (refuseUnlessStarted())
        return -1;
    if (m_music_count == MAX_MUSICS) {
        lm.writeLog("RM::loadMusic(): Error! Unable to add more musics (max is %d).", MAX_MUSICS);
        return -1;
    }
    if (label.empty()) {
        lm.writeLog("RM::loadMusic(): Error! Must provide label for music.");
        return -1;
    }
    Music& music = m_musics[static_cast<std::size_t>(m_music_count)];
    if (music.loadMusic(findDataFile(filename)) != 0) {
        lm.writeLog("RM::loadmusic(): Error! Cannot load music from file '%s'.", filename.c_str());
        return -1;
    }
    music.setLabel(label);
    lm.writeLog(1, "RM::loadMusic(): Music '%s' successfully loaded.", music.getLabel().c_str());
    m_music_count++;
    return 0;
}

Music* ResourceManager::getMusic(const std::string& label) {
    return findByLabel(
        label, m_music_count, [this](int i) { return &m_musics[static_cast<std::size_t>(i)]; }, "getMusic",
        "music", "Music");
}

} // namespace vt
