#include "vintrel/save/SaveData.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/AtomicFileWrite.h"
#include "platform/BoundedFileRead.h"
#include "platform/UserDataDirectory.h"
#include "save/SaveFile.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/replay/ReplayFile.h"
#include "vintrel/replay/ReplayManager.h"

namespace vt {

namespace {

static_assert(SaveData::MAX_KEY_BYTES <= ReplayFile::MAX_NAME_BYTES &&
                  SaveData::MAX_VALUE_BYTES <= ReplayFile::MAX_VALUE_BYTES &&
                  SaveData::MAX_ENTRIES <= ReplayFile::MAX_NAMED_VALUES,
              "a recording holds every key a save can");

// A game's name becomes a folder: nothing that could climb out of the data
// directory, hide itself or need quoting.
bool validGameName(const std::string& name) {
    return !name.empty() && name.size() <= SaveData::MAX_GAME_NAME_BYTES && name[0] != '.' &&
           save::validKey(name);
}

// The decimal number the whole text is ("-12", not "+12", " 12" or "12x"), or false.
bool wholeNumber(const std::string& text, int* p_number) {
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits || text.size() > 11 ||
        text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (number < INT_MIN || number > INT_MAX)
        return false;
    *p_number = static_cast<int>(number);
    return true;
}

} // namespace

SaveData& SaveData::getInstance() {
    static SaveData save_data;
    return save_data;
}

void SaveData::reset() {
    m_open = false;
    m_open_tried = false;
    m_refused = false;
    m_folder.clear();
    m_path.clear();
    m_values.clear();
    m_first_file.clear();
    m_first_file_read = false;
    m_replayed_file.clear();
    m_replayed_file_made = false;
}

int SaveData::open(const std::string& game_name) {
    LogManager& log_manager = LogManager::getInstance();
    m_open_tried = true;
    const std::string configured = Config::getInstance().getGameName();
    const std::string name = configured.empty() ? game_name : configured;
    if (!validGameName(name)) {
        log_manager.writeLog(
            "SaveData::open(): Error! '%s' cannot name a game's save: it takes 1 to %zu letters, "
            "digits, '.', '_' or '-', and no '.' first (game_name in the configuration, or "
            "the name given to open()).",
            clipForLog(name).c_str(), MAX_GAME_NAME_BYTES);
        return -1;
    }
    std::string reason;
    if (platform::userDataDirectory(name, &m_folder, &reason) != 0) {
        log_manager.writeLog("SaveData::open(): Error! No folder for the save of '%s': %s.", name.c_str(),
                             reason.c_str());
        return -1;
    }
    m_path = m_folder + "/" + FILE_NAME;
    m_open = true;
    m_refused = false;

    if (ReplayManager::getInstance().isReplaying()) {
        // The file as the recorded run found it, never the one on this disk.
        if (!m_replayed_file_made) {
            for (const ReplayFile::SavedValue& saved : ReplayManager::getInstance().getFile().saved_values)
                if (saved.present)
                    m_replayed_file[saved.key] = saved.value;
            m_replayed_file_made = true;
        }
        m_values = m_replayed_file;
        return 0;
    }
    const int result = readFile();
    if (!m_first_file_read) {
        m_first_file = m_values;
        m_first_file_read = true;
    }
    return result;
}

int SaveData::readFile() {
    m_values.clear();
    std::string text;
    std::string reason;
    std::string refusal;
    switch (platform::readRegularFile(m_path, MAX_FILE_BYTES, &text, &reason)) {
    case platform::FileRead::OK:
        if (save::decodeSave(text, &m_values, &refusal))
            return 0;
        break;
    case platform::FileRead::ABSENT:
        return 0;
    case platform::FileRead::NOT_REGULAR:
        refusal = "not a regular file";
        break;
    case platform::FileRead::UNREADABLE:
        refusal = "cannot be read: " + reason;
        break;
    case platform::FileRead::TOO_LARGE:
        refusal = "larger than " + std::to_string(MAX_FILE_BYTES) + " bytes";
        break;
    }
    m_refused = true;
    LogManager::getInstance().writeLog(
        "SaveData::open(): Error! Save file '%s' refused (%s); the game starts "
        "from its defaults.",
        clipForLog(m_path).c_str(), refusal.c_str());
    return -1;
}

bool SaveData::openOnFirstUse() {
    if (!m_open_tried)
        open();
    return m_open;
}

void SaveData::noteRead(const std::string& key) {
    ReplayManager& replay_manager = ReplayManager::getInstance();
    if (!replay_manager.isRecording())
        return;
    const auto found = m_first_file.find(key);
    replay_manager.noteSavedValue(key, found != m_first_file.end(),
                                  found != m_first_file.end() ? found->second : std::string());
}

bool SaveData::has(const std::string& key) {
    openOnFirstUse();
    noteRead(key);
    return m_values.count(key) != 0;
}

std::string SaveData::getString(const std::string& key, const std::string& fallback) {
    openOnFirstUse();
    noteRead(key);
    const auto found = m_values.find(key);
    return found != m_values.end() ? found->second : fallback;
}

int SaveData::getInt(const std::string& key, int fallback) {
    int number = fallback;
    return wholeNumber(getString(key), &number) ? number : fallback;
}

int SaveData::setString(const std::string& key, const std::string& value) {
    openOnFirstUse();
    LogManager& log_manager = LogManager::getInstance();
    if (!save::validKey(key) || value.size() > MAX_VALUE_BYTES) {
        log_manager.writeLog(
            "SaveData::setString(): Error! Key '%s' or its value of %zu bytes is beyond what a "
            "save holds (keys of 1 to %zu letters, digits, '.', '_' or '-'; values of at most "
            "%zu bytes).",
            clipForLog(key).c_str(), value.size(), MAX_KEY_BYTES, MAX_VALUE_BYTES);
        return -1;
    }
    if (m_values.count(key) == 0 && m_values.size() >= MAX_ENTRIES) {
        log_manager.writeLog(
            "SaveData::setString(): Error! Key '%s' would be one more than the %zu a save holds.",
            key.c_str(), MAX_ENTRIES);
        return -1;
    }
    m_values[key] = value;
    return 0;
}

int SaveData::setInt(const std::string& key, int value) { return setString(key, std::to_string(value)); }

int SaveData::remove(const std::string& key) {
    openOnFirstUse();
    return m_values.erase(key) == 1 ? 0 : -1;
}

int SaveData::save() {
    LogManager& log_manager = LogManager::getInstance();
    if (!openOnFirstUse()) {
        log_manager.writeLog("SaveData::save(): Error! The save has no file: no game name.");
        return -1;
    }
    if (ReplayManager::getInstance().isReplaying()) {
        m_replayed_file = m_values;
        log_manager.writeLog(1, "SaveData::save(): Replaying: '%s' is left as it was.", m_path.c_str());
        return 0;
    }
    std::string reason;
    if (platform::makeDirectories(m_folder, &reason) != 0) {
        log_manager.writeLog("SaveData::save(): Error! Cannot save: %s.", reason.c_str());
        return -1;
    }
    if (m_refused) {
        // Kept for whoever wants to look into it, rather than overwritten.
        const std::string aside = m_path + ".refused";
        if (std::rename(m_path.c_str(), aside.c_str()) == 0)
            log_manager.writeLog("SaveData::save(): The refused save file is kept as '%s'.", aside.c_str());
        m_refused = false;
    }
    std::string kept;
    if (platform::writeFileAtomically(m_path, save::encodeSave(m_values), &reason, &kept) != 0) {
        log_manager.writeLog(
            "SaveData::save(): Error! Cannot write '%s': %s. The previous save is left as it "
            "was%s%s.",
            m_path.c_str(), reason.c_str(), kept.empty() ? "" : "; the new one is in ", kept.c_str());
        return -1;
    }
    // The rename itself survives a crash of the machine only once the folder is synced.
    platform::syncDirectory(m_folder);
    return 0;
}

} // namespace vt
