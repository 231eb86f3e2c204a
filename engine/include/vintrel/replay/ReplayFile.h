#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vintrel/core/Vector.h"

namespace vt {

/// Everything that makes one recorded run differ from another: the
/// configuration, the random seed, the input delivered at each step, and
/// checksums of the world along the way. Reads and writes the binary replay
/// format (docs/replays.md); whatever is read is checked before it is kept.
class ReplayFile {
  public:
    /// First bytes of every replay file.
    static constexpr char MAGIC[8] = {'V', 'T', 'R', 'E', 'P', 'L', 'A', 'Y'};
    /// The format version written and the only one read.
    static constexpr std::uint16_t VERSION = 1;
    /// Files larger than this are refused unread, in bytes.
    static constexpr std::uint64_t MAX_FILE_BYTES = 256u << 20;
    /// Longest configuration text, in bytes.
    static constexpr std::uint32_t MAX_CONFIG_BYTES = 64u << 10;
    /// Longest object type name, in bytes.
    static constexpr std::size_t MAX_TYPE_BYTES = 255;
    /// Most steps between two checkpoints, and most path expansions per step.
    static constexpr int MAX_INTERVAL = 1000000;
    /// Longest name of a game setting or key of a saved value, in bytes.
    static constexpr std::size_t MAX_NAME_BYTES = 255;
    /// Longest value of a game setting or a saved value, in bytes.
    static constexpr std::size_t MAX_VALUE_BYTES = 64u << 10;
    /// Most game settings, and most saved values, one recording holds.
    static constexpr std::size_t MAX_NAMED_VALUES = 1024;

    /// One input event as the input manager delivered it, or a stop signal
    /// that ended the game loop after its step.
    struct Input {
        /// What the input was.
        enum Kind : std::uint8_t { KEYBOARD = 1, MOUSE = 2, CLOSE = 3, STOP = 7 };
        /// Step of the run (counted across every game loop run) it was delivered in.
        int step = 0;
        /// What the input was.
        Kind kind = KEYBOARD;
        /// Keyboard or mouse action.
        int action = 0;
        /// Key code (keyboard) or mouse button (mouse).
        int code = 0;
        /// Pointer position in spaces (mouse only).
        Vector position;
    };

    /// One object's share of a checkpoint.
    struct ObjectSum {
        int id = 0;       ///< the object's id
        std::string type; ///< its type name
        /// Hash of the object's complete serialized record.
        std::uint32_t hash = 0;
    };

    /// The world at the end of a step: a hash per object, in id order.
    struct Checkpoint {
        int step = 0; ///< the step at whose end the world was summed
        /// Hash over every object's id and record hash, in id order.
        std::uint64_t world_hash = 0;
        std::vector<ObjectSum> objects; ///< one sum per object, in id order
    };

    /// A value the game read from its save data, as the file held it when
    /// the recorded run first read it (SaveData).
    struct SavedValue {
        std::string key;      ///< the saved key
        bool present = false; ///< false: the file did not hold the key
        std::string value;    ///< the value, when present
    };

    /// One of the game's own settings (its command line, say), stored by
    /// ReplayManager::gameSetting.
    struct GameSetting {
        std::string name;  ///< the game's name for it
        std::string value; ///< its value in the recorded run
    };

    /// The configuration in effect, as key:value entries.
    std::string config;
    /// The seed given to srand (-1: the generator was left unseeded).
    int seed = 0;
    /// Steps between two checkpoints.
    int checkpoint_interval = 30;
    /// Path expansions made in every step.
    int path_expansions = 1000;
    /// In delivery order; steps never decrease.
    std::vector<Input> inputs;
    /// Steps strictly increase; the last one is taken when the run ended.
    std::vector<Checkpoint> checkpoints;
    /// Steps the whole run lasted.
    int step_count = 0;
    /// The game's own settings, in the order first stored; names are unique.
    std::vector<GameSetting> game_settings;
    /// The saved values the run read, in the order first read; keys are unique.
    std::vector<SavedValue> saved_values;
    /// By checkpoint step: what changed in the attributes of that
    /// checkpoint's objects since the checkpoint before, so that a replay can
    /// say which attribute differs and both values. Encoded as the recorder
    /// writes it (docs/replays.md); recordings made before it have none.
    std::map<int, std::string> details;

    /// The file's bytes, ending with a checksum of everything before it.
    [[nodiscard]] std::string encode() const;
    /// Reads a whole file's bytes; 0, or -1 with one line in `error` saying what is wrong.
    [[nodiscard]] int decode(const std::string& bytes, std::string& error);
    /// Writes encode() to a new file beside `path` and renames it into place,
    /// so that an earlier file there stays whole until the new one is; 0 or
    /// -1 with the reason in `error` (naming the new file when it was kept).
    [[nodiscard]] int save(const std::string& path, std::string& error) const;
    /// Reads and checks a file (regular, at most MAX_FILE_BYTES); 0 or -1 with
    /// the reason in `error`.
    [[nodiscard]] int load(const std::string& path, std::string& error);
    /// Checks that the checkpoints cover the whole run, as a recorder takes
    /// them: one within every checkpoint_interval steps and one at the last
    /// step, so that a replay never runs far, nor ends, without a comparison.
    /// 0, or -1 with the reason in `error`. decode() checks this too.
    [[nodiscard]] int checkCoverage(std::string& error) const;
};

} // namespace vt
