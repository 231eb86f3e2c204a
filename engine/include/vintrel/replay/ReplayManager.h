#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vintrel/replay/ReplayFile.h"
#include "vintrel/replay/WorldChecksum.h"

namespace vt {

class Event;
class EventKeyboard;
class EventMouse;
class Manager;

namespace replay {
class CheckpointDetail;
}

/// The first point at which a replay stopped matching its recording.
struct ReplayDivergence {
    /// Step (counted across every game loop run) at whose end it was seen.
    int step = -1;
    /// One line: what differs.
    std::string reason;
    /// The objects that differ, when the world did.
    std::vector<ObjectDifference> objects;
    /// Of the objects that changed, the attributes that differ and both
    /// values; empty when the recording holds no detail of its checkpoints
    /// (recordings made before it did).
    std::vector<AttributeDifference> attributes;
};

/// Records a run to a replay file, or plays one back: the same
/// configuration and seed, the recorded input delivered at the recorded
/// steps instead of the window's, and the world's checksums compared along
/// the way. Set up before GameManager::startUp(); the game manager and the
/// input manager call the hooks below. While recording or replaying, nothing
/// that depends on wall time changes what happens (docs/replays.md).
class ReplayManager {
  public:
    /// Steps between two checkpoints unless the recorder says otherwise.
    static constexpr int DEFAULT_CHECKPOINT_INTERVAL = 30;
    /// Path expansions made in each step while recording or replaying.
    static constexpr int DEFAULT_PATH_EXPANSIONS = 1000;

    /// The one replay manager, made on first use.
    static ReplayManager& getInstance();
    ReplayManager(const ReplayManager&) = delete;
    ReplayManager& operator=(const ReplayManager&) = delete;

    /// Records the coming run; the file is written at shut-down, through a new
    /// file beside it that replaces it only once whole. The path must take a
    /// file now (no folder, nothing read-only). Intervals are in steps (1 to
    /// 1,000,000). 0 or -1.
    int startRecording(const std::string& path, int checkpoint_interval = DEFAULT_CHECKPOINT_INTERVAL,
                       int path_expansions = DEFAULT_PATH_EXPANSIONS);
    /// Plays back a replay file, read and checked now: -1 and nothing set up
    /// when it is missing, truncated, corrupted or of another version, or
    /// when its settings are ones the engine cannot start with.
    /// Headless: without a window; unthrottled: without sleeping between steps
    /// (and silent). 0 or -1.
    int startReplay(const std::string& path, bool headless = true, bool unthrottled = true);
    /// Plays back a replay already in memory (checked when it was read); its
    /// settings, and that its checkpoints cover the run
    /// (ReplayFile::checkCoverage), are checked now.
    int startReplay(const ReplayFile& file, bool headless = true, bool unthrottled = true);
    /// Why the last start, or the writing of the recording, failed.
    [[nodiscard]] const std::string& getError() const { return m_error; }
    /// Stops recording or replaying without writing anything; forgets results.
    void reset();

    /// True while a run is being recorded.
    [[nodiscard]] bool isRecording() const { return m_mode == Mode::RECORDING; }
    /// True while a recording is being replayed.
    [[nodiscard]] bool isReplaying() const { return m_mode == Mode::REPLAYING; }
    /// Recording or replaying: wall time must not change the outcome.
    [[nodiscard]] bool isDeterministic() const { return m_mode != Mode::OFF; }
    /// Replaying without sleeping between steps, and without sound.
    [[nodiscard]] bool isUnthrottled() const { return isReplaying() && m_unthrottled; }
    /// Path expansions per step while deterministic.
    [[nodiscard]] int getPathExpansions() const { return m_file.path_expansions; }

    /// The settings start-up applies over the replayer's own configuration
    /// file: headless as the replayer chose, and of the recording's settings
    /// only those that decide what happens in the run (Config::replayedSettingsText).
    [[nodiscard]] std::string getConfigText() const;
    /// Given the seed start-up chose: the one to use (the recorded one when
    /// replaying); a recording notes it with the configuration in effect.
    int chooseSeed(int seed);
    /// The game's own setting (a command-line flag, say) under `name`: while
    /// recording, `value` is stored in the recording and returned; while
    /// replaying, the recorded value is returned (or `value`, when the
    /// recording holds none); otherwise `value`. Call it after
    /// startRecording or startReplay. Names take 1 to ReplayFile::MAX_NAME_BYTES
    /// bytes, values at most ReplayFile::MAX_VALUE_BYTES: others are not
    /// stored, after a log line.
    std::string gameSetting(const std::string& name, const std::string& value);
    /// Notes, while recording, the value a key of the game's save data held
    /// in its file (or that it held none) when the game first read it; later
    /// notes of the same key are ignored. SaveData calls it.
    void noteSavedValue(const std::string& key, bool present, const std::string& value);
    /// Notes input the input manager delivers (while recording).
    void recordInput(const EventKeyboard& keyboard);
    /// Notes a mouse event the input manager delivers (while recording).
    void recordInput(const EventMouse& mouse);
    /// Notes that closing the window set game over (while recording).
    void recordClose();
    /// A stop signal ends the game loop after this step: noted while
    /// recording; while replaying, the person watching stopped the replay.
    void stopRequested();
    /// Delivers this step's recorded input through the input manager (while replaying).
    void deliverInput(const Manager& input_manager);
    /// Hands this step's recorded keyboard and mouse events to `deliver`, in
    /// their order (while replaying); a recorded window close sets game over.
    void deliverInput(const std::function<void(const Event&)>& deliver);
    /// The game loop's last act in each step: checkpoints, and the end of a replay.
    void endStep();
    /// The person watching a replay closed its window, or stopped it: stop.
    void interrupt();
    /// At shut-down, before the world goes: writes the recording (unless no
    /// step ran), or checks that the replay ended where the recording did.
    void finish();

    /// Steps run so far, counted across every game loop run.
    [[nodiscard]] int getStepCount() const { return m_step; }
    /// Checkpoints written (recording) or found equal (replaying) so far.
    [[nodiscard]] int getCheckpointCount() const { return m_checkpoints_done; }
    /// The recording being replayed, or made.
    [[nodiscard]] const ReplayFile& getFile() const { return m_file; }
    /// True once a checkpoint differed from the recording.
    [[nodiscard]] bool hasDiverged() const { return m_divergence.step >= 0; }
    /// The first divergence (step -1 when there is none).
    [[nodiscard]] const ReplayDivergence& getDivergence() const { return m_divergence; }
    /// True when the replay was stopped before the recording's end.
    [[nodiscard]] bool wasInterrupted() const { return m_interrupted; }
    /// True once a replay reached the recording's end, matching all the way.
    [[nodiscard]] bool hasMatched() const { return m_matched; }

  private:
    enum class Mode { OFF, RECORDING, REPLAYING };
    ReplayManager();
    ~ReplayManager();

    int refuseUnlessBeforeStartUp(const char* where);
    [[nodiscard]] bool isFinalCheckpoint(std::size_t index) const;
    void verify(const ReplayFile::Checkpoint& expected);
    void takeCheckpoint(int step);
    void diverge(int step, const std::string& reason, std::vector<ObjectDifference> objects = {},
                 std::vector<AttributeDifference> attributes = {});
    [[nodiscard]] bool isStopped() const { return hasDiverged() || m_interrupted; }

    Mode m_mode = Mode::OFF;
    ReplayFile m_file;
    std::string m_path;
    std::string m_error;
    bool m_headless = true;
    bool m_unthrottled = true;
    // The step in progress, counted across runs.
    int m_step = 0;
    std::size_t m_next_input = 0;
    std::size_t m_next_checkpoint = 0;
    int m_checkpoints_done = 0;
    ReplayDivergence m_divergence;
    bool m_interrupted = false;
    bool m_matched = false;
    // What the recording keeps of each checkpoint's objects beside their hashes.
    std::unique_ptr<replay::CheckpointDetail> m_p_detail;
    // The saved keys noted so far (recording).
    std::set<std::string> m_noted_keys;
};

} // namespace vt
