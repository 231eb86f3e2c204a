#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace vt {

/// A game's saved values (high scores, settings), key -> text, kept in one
/// file per game in the user's data directory: `$XDG_DATA_HOME/GAME/save.txt`,
/// else `~/.local/share/GAME/save.txt`, GAME being the game's name. save() replaces the file whole (a new
/// file beside it, synced, then renamed), so that a crash, a kill or a full
/// disk leaves the previous save as it was. Under record and replay, each key
/// the game reads is stored in the recording with the value the file held; a
/// replay reads those instead of the file, and writes nothing (docs/replays.md).
class SaveData {
  public:
    /// Longest game name, in bytes.
    static constexpr std::size_t MAX_GAME_NAME_BYTES = 64;
    /// Longest key, in bytes: letters, digits, '.', '_' and '-'.
    static constexpr std::size_t MAX_KEY_BYTES = 64;
    /// Longest value, in bytes (any bytes).
    static constexpr std::size_t MAX_VALUE_BYTES = 1024;
    /// Most keys one save holds.
    static constexpr std::size_t MAX_ENTRIES = 256;
    /// Save files larger than this are refused unread, in bytes: every key
    /// at its longest, with every value byte escaped, stays well below it.
    static constexpr std::size_t MAX_FILE_BYTES = 1u << 20;
    /// The file's name in the game's folder.
    static constexpr char FILE_NAME[] = "save.txt";

    /// The one save of this game, made on first use (empty, not open).
    static SaveData& getInstance();
    SaveData(const SaveData&) = delete;
    SaveData& operator=(const SaveData&) = delete;

    /// Reads the game's save. The folder is named by the configuration's
    /// `game_name` when it has one, else by `game_name` here: 1 to
    /// MAX_GAME_NAME_BYTES letters, digits, '.', '_' or '-', not starting
    /// with '.'. No file yet is an empty save. A file that is corrupt,
    /// foreign or over MAX_FILE_BYTES is refused with one log line and the
    /// save starts empty; the next save() keeps it as save.txt.refused.
    /// 0, or -1 after a log line (no usable name, a refused file). The
    /// first read or write opens the save with the configuration's name.
    /// Open it after ReplayManager::startRecording or startReplay, as the
    /// game's start-up does: a replay reads the recorded values instead.
    int open(const std::string& game_name = "");
    /// True once open() found a name (even when the file was refused).
    [[nodiscard]] bool isOpen() const { return m_open; }
    /// The save file's path; empty until open.
    [[nodiscard]] const std::string& getPath() const { return m_path; }

    /// True when the save holds the key.
    bool has(const std::string& key);
    /// The key's value; `fallback` when the save does not hold it.
    std::string getString(const std::string& key, const std::string& fallback = "");
    /// The key's value as a whole number; `fallback` when the save does not
    /// hold it or it is not one.
    int getInt(const std::string& key, int fallback = 0);
    /// Sets the key's value (kept in memory until save()); 0, or -1 after a
    /// log line for a key or value beyond the limits, or one key too many.
    int setString(const std::string& key, const std::string& value);
    /// Sets the key to the number's decimal text, as setString does.
    int setInt(const std::string& key, int value);
    /// Removes the key; 0, or -1 when the save does not hold it.
    int remove(const std::string& key);
    /// Writes every value to the file, replacing it whole; while a replay
    /// runs, nothing is written. 0, or -1 after a log line (the file is then
    /// as it was).
    int save();
    /// Forgets the save and its file, as a new process has it.
    void reset();

  private:
    SaveData() = default;

    // Opens with the configuration's name unless open() was tried; false
    // when the save has no file.
    bool openOnFirstUse();
    // A read of the key: a recording notes what the file held.
    void noteRead(const std::string& key);
    // Reads the file into m_values; -1 after a log line when it is refused.
    int readFile();

    bool m_open = false;
    bool m_open_tried = false;
    // The file was refused: it is kept aside before a save replaces it.
    bool m_refused = false;
    std::string m_folder;
    std::string m_path;
    // What the game sees.
    std::map<std::string, std::string> m_values;
    // The file as this process first found it: what a recording notes.
    std::map<std::string, std::string> m_first_file;
    bool m_first_file_read = false;
    // While replaying, the file as the replay has it: the recorded values,
    // then whatever the replay saved.
    std::map<std::string, std::string> m_replayed_file;
    bool m_replayed_file_made = false;
};

} // namespace vt
